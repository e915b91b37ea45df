#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace NumberText {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Collects the number's characters without blanks into an ASCII form strtod reads exactly.
class Collector {
 public:
  Collector(std::string_view text, Blanks blanks) : mText(text), mBlanks(blanks) {}

  std::string collect() {
    skipBlanks();
    if (peek() == '+' || peek() == '-') take();
    bool digits = takeDigits();
    if (peek() == '.') {
      take();
      digits = takeDigits() || digits;
    }
    if (!digits) return {};
    takeExponent();
    return mOut;
  }

 private:
  void skipBlanks() {
    while (mPos < mText.size() && isBlank(mText[mPos])) ++mPos;
  }
  // The next character that counts; blanks inside the number are passed over when allowed.
  char peek() {
    if (mBlanks == Blanks::Anywhere && mStarted) skipBlanks();
    return mPos < mText.size() ? mText[mPos] : '\0';
  }
  void take() {
    mOut += mText[mPos++];
    mStarted = true;
  }
  bool takeDigits() {
    bool any = false;
    while (isDigit(peek())) {
      take();
      any = true;
    }
    return any;
  }
  void takeExponent() {
    const char e = peek();
    if (e != 'e' && e != 'E' && e != 'd' && e != 'D') return;
    const std::size_t markPos = mPos;
    const std::size_t markOut = mOut.size();
    ++mPos;
    mOut += 'e';
    if (peek() == '+' || peek() == '-') take();
    if (!takeDigits()) {  // "12e" or "12e+" is just 12
      mPos = markPos;
      mOut.resize(markOut);
    }
  }

  std::string_view mText;
  Blanks mBlanks;
  std::size_t mPos = 0;
  bool mStarted = false;
  std::string mOut;
};

// Whether a number that does not fit a double is too large (rather than too small) to fit.
bool overflowsUpwards(std::string_view digits) {
  constexpr long kExponentLimit = 100000;  // far beyond any double; keeps the sums below in range
  const std::size_t e = digits.find('e');
  long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view ex = digits.substr(e + 1);
    if (!ex.empty() && ex.front() == '+') ex.remove_prefix(1);
    if (std::from_chars(ex.data(), ex.data() + ex.size(), exponent).ec == std::errc::result_out_of_range)
      exponent = !ex.empty() && ex.front() == '-' ? -kExponentLimit : kExponentLimit;
    exponent = std::clamp(exponent, -kExponentLimit, kExponentLimit);
  }
  std::string_view mantissa = digits.substr(0, e);
  const std::size_t point = mantissa.find('.');
  const std::string_view whole = mantissa.substr(0, point);
  const std::size_t firstNonZero = whole.find_first_not_of('0');
  if (firstNonZero != std::string_view::npos) return exponent + long(whole.size() - firstNonZero) > 0;
  const std::string_view fraction = point == std::string_view::npos ? "" : mantissa.substr(point + 1);
  const std::size_t leadingZeros = fraction.find_first_not_of('0');
  return leadingZeros != std::string_view::npos && exponent - long(leadingZeros) > 0;
}

}  // namespace

double leadingNumber(std::string_view text, Blanks blanks) {
  std::string number = Collector(text, blanks).collect();
  if (number.empty()) return 0.0;
  // from_chars, unlike strtod, ignores the user's locale: a point is always the decimal sign.
  const bool negative = number.front() == '-';
  std::string_view digits(number);
  if (negative || number.front() == '+') digits.remove_prefix(1);
  double value = 0.0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec == std::errc::result_out_of_range)
    value = overflowsUpwards(digits) ? HUGE_VAL : 0.0;
  return negative ? -value : value;
}

}  // namespace NumberText
