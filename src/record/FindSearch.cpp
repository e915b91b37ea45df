#include "FindSearch.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "CRecordData.h"

namespace FindSearch {

namespace {

// The byte's lower-case partner in windows-1252, as Qt's toLower() gives it; itself when it has none.
unsigned char lowerCase(unsigned char byte) {
  if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)) return byte + 0x20;
  switch (byte) {
    case 0x8A:  // Š
    case 0x8C:  // Œ
    case 0x8E:  // Ž
      return byte + 0x10;
    case 0x9F:  // Ÿ
      return 0xFF;
    default:
      return byte;
  }
}

unsigned char fold(char c) {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> made{};
    for (int b = 0; b < 256; ++b) made[std::size_t(b)] = lowerCase(static_cast<unsigned char>(b));
    return made;
  }();
  return table[static_cast<unsigned char>(c)];
}

// Finds a text in values, letter case aside. Candidates are found with memchr for the two cases
// of the text's first character: a file of 100 MB is searched at every key typed.
class FoldedSearch {
 public:
  explicit FoldedSearch(std::string needle) : mNeedle(std::move(needle)) {
    if (mNeedle.empty()) return;
    mFirst[0] = mFirst[1] = mNeedle[0];
    for (int b = 0; b < 256; ++b)
      if (fold(char(b)) == fold(mNeedle[0]) && char(b) != mNeedle[0]) mFirst[1] = char(b);
  }

  bool in(std::string_view value) const {
    const std::size_t n = mNeedle.size();
    if (n == 0 || value.size() < n) return n == 0;
    const char* const data = value.data();
    const char* const end = data + (value.size() - n + 1);  // past the last place a match can start
    std::array<const char*, 2> next{};                     // each case's next place, found lazily
    for (const char* from = data; from < end;) {
      for (std::size_t c = 0; c < 2; ++c)
        if (next[c] != end && next[c] < from) {
          const void* found = std::memchr(from, mFirst[c], static_cast<std::size_t>(end - from));
          next[c] = found ? static_cast<const char*>(found) : end;
        }
      const char* at = std::min(next[0], next[1]);
      if (at == end) return false;
      if (std::equal(at + 1, at + n, mNeedle.begin() + 1, [](char a, char b) { return fold(a) == fold(b); })) return true;
      from = at + 1;
    }
    return false;
  }

 private:
  std::string mNeedle;
  std::array<char, 2> mFirst{};
};

}  // namespace

std::optional<Match> next(const CRecordData& store, const Request& request) {
  const std::int32_t first = request.firstUnit;
  const std::int64_t columns = request.allValues ? store.NoFieldsInSelectedRange() : 1;
  const std::int64_t total = std::int64_t(store.NoUnits() - first + 1) * columns;
  if (request.text.empty() || total <= 0) return std::nullopt;
  const std::int32_t column = std::clamp(request.column, 1, std::max(1, store.NoFieldsInSelectedRange()));
  const std::int64_t here = std::int64_t(request.record - first) * columns + (request.allValues ? column - 1 : 0);
  const std::int64_t direction = request.backwards ? -1 : 1;
  const std::int64_t start = (here + (request.startCounts ? 0 : direction) + total) % total;
  const FoldedSearch search(request.text);
  std::int32_t checked = 0;  // the record whose whole text was searched last, and the outcome
  bool mayMatch = false;
  for (std::int64_t k = 0; k < total; ++k) {
    const std::int64_t at = ((start + direction * k) % total + total) % total;
    const auto found = static_cast<std::int32_t>(first + at / columns);
    if (found != checked) {
      const auto text = store.unchangedText(found);
      checked = found;
      mayMatch = !text || search.in(*text);
    }
    if (!mayMatch) continue;
    const auto shown = static_cast<std::int32_t>(request.allValues ? at % columns + 1 : 0);
    const std::int32_t field = request.allValues ? store.actualFieldNoInSelectedRange(shown) : request.nameField;
    if (!search.in(store.value(found, field))) continue;
    return Match{found, shown, direction > 0 ? at < start : at > start};
  }
  return std::nullopt;
}

}  // namespace FindSearch
