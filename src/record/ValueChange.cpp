#include "ValueChange.h"

#include <algorithm>
#include <optional>

namespace {

__extension__ typedef __int128 Wide;

// Mantissas stay below 10^38, so that no negation or rounding step can overflow.
constexpr Wide kLimit = [] {
  Wide limit = 1;
  for (int i = 0; i < 38; ++i) limit *= 10;
  return limit;
}();

struct Decimal {
  Wide mantissa = 0;
  std::int32_t scale = 0;  // decimals: the value is mantissa / 10^scale
};

using Result = std::optional<Decimal>;

Result checked(Wide mantissa, std::int32_t scale) {
  if (mantissa <= -kLimit || mantissa >= kLimit) return std::nullopt;
  return Decimal{mantissa, scale};
}

Wide magnitude(Wide mantissa) { return mantissa < 0 ? -mantissa : mantissa; }

// a * b when it stays below the limit. Checked by hand: clang's overflow builtin needs a runtime
// function for 128 bits that libgcc lacks.
std::optional<Wide> product(Wide a, Wide b) {
  if (a != 0 && magnitude(b) > (kLimit - 1) / magnitude(a)) return std::nullopt;
  return a * b;
}

std::optional<Wide> timesTen(Wide mantissa, std::int32_t times) {
  std::optional<Wide> result = mantissa;
  for (; times > 0 && result; --times) result = product(*result, 10);
  return result;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Text that isNumber accepts, or an operand with its minus; nullopt when it has too many digits.
Result readDecimal(std::string_view text) {
  const bool negative = text.starts_with('-');
  if (negative) text.remove_prefix(1);
  Decimal number;
  bool afterPoint = false;
  for (const char c : text) {
    if (c == '.') {
      afterPoint = true;
      continue;
    }
    const std::optional<Wide> shifted = timesTen(number.mantissa, 1);
    if (!shifted || *shifted + (c - '0') >= kLimit) return std::nullopt;
    number.mantissa = *shifted + (c - '0');
    number.scale += afterPoint ? 1 : 0;
  }
  if (negative) number.mantissa = -number.mantissa;
  return number;
}

// numerator / denominator, rounded half away from zero.
Wide divideRounded(Wide numerator, Wide denominator) {
  const Wide quotient = numerator / denominator;
  const Wide rest = numerator % denominator;
  if (magnitude(rest) < magnitude(denominator) - magnitude(rest)) return quotient;
  return (numerator < 0) != (denominator < 0) ? quotient - 1 : quotient + 1;
}

Result add(Decimal a, Decimal b) {
  const std::int32_t scale = std::max(a.scale, b.scale);
  const std::optional<Wide> x = timesTen(a.mantissa, scale - a.scale), y = timesTen(b.mantissa, scale - b.scale);
  if (!x || !y) return std::nullopt;
  return checked(*x + *y, scale);
}

Result multiply(Decimal a, Decimal b) {
  const std::optional<Wide> mantissa = product(a.mantissa, b.mantissa);
  if (!mantissa) return std::nullopt;
  return Decimal{*mantissa, a.scale + b.scale};
}

Result divide(Decimal a, Decimal b) {
  const std::optional<Wide> numerator = timesTen(a.mantissa, ValueChange::kDivisionDecimals + b.scale);
  if (!numerator) return std::nullopt;
  return checked(divideRounded(*numerator, b.mantissa), a.scale + ValueChange::kDivisionDecimals);
}

// The factor 1 + percent / 100, exact.
Result percentFactor(Decimal percent) {
  const std::optional<Wide> one = timesTen(1, percent.scale + 2);
  if (!one) return std::nullopt;
  return checked(*one + percent.mantissa, percent.scale + 2);
}

Decimal rounded(Decimal number, bool whole) {
  // Below 10^38 a mantissa is less than 1 at 38 decimals, and less than 0.1 at more.
  if (whole && number.scale > 38) return {};
  if (whole && number.scale > 0)
    return {divideRounded(number.mantissa, number.scale == 38 ? kLimit : *timesTen(1, number.scale)), 0};
  while (number.scale > 0 && number.mantissa % 10 == 0) {
    number.mantissa /= 10;
    --number.scale;
  }
  return number;
}

std::string text(Decimal number) {
  std::string digits;
  for (Wide rest = magnitude(number.mantissa); rest != 0; rest /= 10)
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(rest % 10)));
  if (digits.size() <= static_cast<std::size_t>(number.scale))
    digits.insert(0, static_cast<std::size_t>(number.scale) + 1 - digits.size(), '0');
  if (number.scale > 0) digits.insert(digits.size() - static_cast<std::size_t>(number.scale), 1, '.');
  return number.mantissa < 0 ? "-" + digits : digits;
}

Result applied(ValueChange::Operation operation, Decimal value, Decimal operand) {
  using Operation = ValueChange::Operation;
  switch (operation) {
    case Operation::Set:
      return operand;
    case Operation::Add:
      return add(value, operand);
    case Operation::Subtract:
      return add(value, {-operand.mantissa, operand.scale});
    case Operation::Multiply:
      return multiply(value, operand);
    case Operation::Divide:
      return divide(value, operand);
    case Operation::AddPercent:
      break;
    case Operation::SubtractPercent:
      operand.mantissa = -operand.mantissa;
      break;
  }
  const Result factor = percentFactor(operand);
  return factor ? multiply(value, *factor) : std::nullopt;
}

// Reads the expression left to right; a failure names the character the reader stopped at.
class ExpressionReader {
 public:
  using Kind = ValueChange::ParseError::Kind;

  explicit ExpressionReader(std::string_view expression) : mText(expression) {}

  pelko::expected<ValueChange::Operation, ValueChange::ParseError> operation() {
    using Operation = ValueChange::Operation;
    skipBlanks();
    constexpr std::string_view kSigns = "=+-*/";
    constexpr Operation kOperations[] = {Operation::Set, Operation::Add, Operation::Subtract, Operation::Multiply,
                                         Operation::Divide};
    const std::size_t at = kSigns.find(peek());
    if (peek() == '\0' || at == std::string_view::npos) return fail(Kind::NoOperator);
    ++mPos;
    return kOperations[at];
  }

  // The number with its minus, if any ("+" is dropped).
  pelko::expected<std::string, ValueChange::ParseError> number(bool signAllowed) {
    skipBlanks();
    mNumberAt = mPos;
    std::string number;
    if (peek() == '-' || peek() == '+') {
      if (!signAllowed) return fail(Kind::SignNotAllowed);
      if (peek() == '-') number += '-';
      ++mPos;
    }
    if (!digitsInto(number)) return fail(Kind::NoNumber);
    if (peek() == '.') {
      ++mPos;
      number += '.';
      if (!digitsInto(number)) return fail(Kind::NoNumber);
    }
    return number;
  }

  // Whether a '%' follows; the expression must end then.
  pelko::expected<bool, ValueChange::ParseError> percentAndEnd(bool percentAllowed) {
    skipBlanks();
    const bool percent = peek() == '%';
    if (percent && !percentAllowed) return fail(Kind::PercentNotAllowed);
    if (percent) ++mPos;
    skipBlanks();
    if (mPos < mText.size()) return fail(Kind::Trailing);
    return percent;
  }

  pelko::unexpected<ValueChange::ParseError> failAtNumber(Kind kind) const {
    return pelko::unexpected(ValueChange::ParseError{kind, mNumberAt});
  }

 private:
  pelko::unexpected<ValueChange::ParseError> fail(Kind kind) const {
    return pelko::unexpected(ValueChange::ParseError{kind, mPos});
  }
  void skipBlanks() {
    while (peek() == ' ' || peek() == '\t') ++mPos;
  }
  char peek() const { return mPos < mText.size() ? mText[mPos] : '\0'; }
  bool digitsInto(std::string& out) {
    const std::size_t start = mPos;
    while (isDigit(peek())) out += mText[mPos++];
    return mPos > start;
  }

  std::string_view mText;
  std::size_t mPos = 0;
  std::size_t mNumberAt = 0;
};

}  // namespace

pelko::expected<ValueChange, ValueChange::ParseError> ValueChange::parse(std::string_view expression) {
  ExpressionReader reader(expression);
  const auto operation = reader.operation();
  if (!operation) return pelko::unexpected(operation.error());
  const bool additive = *operation == Operation::Add || *operation == Operation::Subtract;
  const auto operand = reader.number(!additive);
  if (!operand) return pelko::unexpected(operand.error());
  const auto percent = reader.percentAndEnd(additive);
  if (!percent) return pelko::unexpected(percent.error());
  const Result value = readDecimal(*operand);
  if (!value) return reader.failAtNumber(ParseError::Kind::TooLong);
  if (*operation == Operation::Divide && value->mantissa == 0)
    return reader.failAtNumber(ParseError::Kind::DivisionByZero);
  if (!*percent) return ValueChange(*operation, *operand);
  return ValueChange(*operation == Operation::Add ? Operation::AddPercent : Operation::SubtractPercent, *operand);
}

std::string ValueChange::errorText(const ParseError& error) {
  const std::string column = "column " + std::to_string(error.position + 1);
  switch (error.kind) {
    case ParseError::Kind::NoOperator:
      return "the expression must start with =, +, -, * or / (" + column + ")";
    case ParseError::Kind::NoNumber:
      return "a number such as 5 or 1.25 is expected at " + column;
    case ParseError::Kind::SignNotAllowed:
      return "no sign may follow + or - (" + column + ")";
    case ParseError::Kind::Trailing:
      return "unexpected text after the number at " + column;
    case ParseError::Kind::PercentNotAllowed:
      return "% may only follow a number after + or - (" + column + ")";
    case ParseError::Kind::DivisionByZero:
      return "division by zero (" + column + ")";
    case ParseError::Kind::TooLong:
      return "the number at " + column + " has too many digits";
  }
  return {};
}

pelko::expected<std::string, ValueChange::ApplyError> ValueChange::apply(std::string_view value, bool whole) const {
  if (!isNumber(value)) return pelko::unexpected(ApplyError::NotANumber);
  const Result number = readDecimal(value);
  const Result result = number ? applied(mOperation, *number, *readDecimal(mOperand)) : std::nullopt;
  if (!result) return pelko::unexpected(ApplyError::TooLarge);
  return text(rounded(*result, whole));
}

bool ValueChange::isNumber(std::string_view text) {
  if (text.starts_with('-')) text.remove_prefix(1);
  const std::size_t point = text.find('.');
  const std::string_view integral = text.substr(0, point);
  const std::string_view decimals = point == std::string_view::npos ? std::string_view("0") : text.substr(point + 1);
  const auto digits = [](std::string_view part) { return !part.empty() && std::ranges::all_of(part, isDigit); };
  return digits(integral) && digits(decimals);
}

ValueChange::FieldNumbers ValueChange::fieldNumbers(std::span<const std::string_view> values) {
  FieldNumbers numbers;
  for (const std::string_view value : values) {
    const bool number = isNumber(value);
    numbers.numbers += number ? 1 : 0;
    numbers.others += number ? 0 : 1;
    numbers.whole = numbers.whole && (!number || value.find('.') == std::string_view::npos);
  }
  return numbers;
}
