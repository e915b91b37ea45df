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

}  // namespace

unsigned char fold(char c) {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> made{};
    for (int b = 0; b < 256; ++b) made[std::size_t(b)] = lowerCase(static_cast<unsigned char>(b));
    return made;
  }();
  return table[static_cast<unsigned char>(c)];
}

// Candidates are found with memchr for the two cases of the text's first character: a file of
// 100 MB is searched at every key typed.
Matcher::Matcher(std::string needle, bool matchCase, bool wholeValue)
    : mNeedle(std::move(needle)), mMatchCase(matchCase), mWholeValue(wholeValue) {
  if (!mNeedle.empty()) mFirst = forms(mNeedle[0]);
}

std::array<char, 2> Matcher::forms(char c) const {
  std::array<char, 2> both{c, c};
  if (!mMatchCase)
    for (int b = 0; b < 256; ++b)
      if (fold(char(b)) == fold(c) && char(b) != c) both[1] = char(b);
  return both;
}

std::size_t Matcher::find(std::string_view value, std::size_t from) const {
  const std::size_t n = mNeedle.size();
  if (n == 0 || from > value.size() || value.size() - from < n) return std::string_view::npos;
  const char* const data = value.data();
  const char* const end = data + (value.size() - n + 1);  // past the last place a match can start
  std::array<const char*, 2> next{};                      // each case's next place, found lazily
  for (const char* at = data + from; at < end;) {
    for (std::size_t c = 0; c < 2; ++c)
      if (next[c] != end && next[c] < at) {
        const void* found = std::memchr(at, mFirst[c], static_cast<std::size_t>(end - at));
        next[c] = found ? static_cast<const char*>(found) : end;
      }
    const char* candidate = std::min(next[0], next[1]);
    if (candidate == end) return std::string_view::npos;
    if (sameAt(candidate)) return static_cast<std::size_t>(candidate - data);
    at = candidate + 1;
  }
  return std::string_view::npos;
}

bool Matcher::matches(std::string_view value) const {
  if (!mWholeValue) return find(value) != std::string_view::npos;
  return !mNeedle.empty() && value.size() == mNeedle.size() && sameAt(value.data());
}

bool Matcher::sameAt(const char* at) const {
  if (mMatchCase) return std::memcmp(at, mNeedle.data(), mNeedle.size()) == 0;
  return std::equal(mNeedle.begin(), mNeedle.end(), at, [](char a, char b) { return fold(a) == fold(b); });
}

namespace {

Matcher matcher(const Request& request) { return Matcher(request); }

// A matching value with its matches replaced, into `out`; false, `out` then of no use, when
// that would be longer than replace.longest. The length is counted first, so that a value that
// would grow enormous is never built.
bool replaceIn(std::string_view value, const Matcher& search, const Replace& replace, std::string& out) {
  out.clear();
  const std::string_view with = replace.with;
  if (search.wholeValue()) {
    if (with.size() > replace.longest) return false;
    out = with;
    return true;
  }
  constexpr std::size_t none = std::string_view::npos;
  std::size_t count = 0;
  for (std::size_t at = search.find(value); at != none; at = search.find(value, at + search.size())) ++count;
  const std::size_t length = value.size() - count * search.size() + count * with.size();
  if (length > replace.longest) return false;
  out.reserve(length);
  std::size_t from = 0;
  for (std::size_t at = search.find(value); at != none; at = search.find(value, from)) {
    out.append(value.substr(from, at - from)).append(with);
    from = at + search.size();
  }
  out.append(value.substr(from));
  return true;
}

// The units walked: request.view, or else every unit in file order, made in `every`.
const UnitView& viewOf(const CRecordData& store, const Request& request, UnitView& every) {
  if (request.view) return *request.view;
  every.showAll(request.firstUnit, store.NoUnits());
  return every;
}

}  // namespace

std::optional<Match> next(const CRecordData& store, const Request& request) {
  const std::int32_t first = request.firstUnit;
  UnitView every;
  const UnitView& view = viewOf(store, request, every);
  const std::int64_t columns = request.allValues ? store.NoFieldsInSelectedRange() : 1;
  const std::int64_t total = std::int64_t(view.shownUnits()) * columns;
  if (request.text.empty() || total <= 0) return std::nullopt;
  const std::int32_t column = std::clamp(request.column, 1, std::max(1, store.NoFieldsInSelectedRange()));
  const std::int64_t here = std::int64_t(request.record - first) * columns + (request.allValues ? column - 1 : 0);
  const std::int64_t direction = request.backwards ? -1 : 1;
  const std::int64_t start = (here + (request.startCounts ? 0 : direction) + total) % total;
  const Matcher search = matcher(request);
  std::int32_t checked = 0;  // the record whose whole text was searched last, and the outcome
  bool mayMatch = false;
  for (std::int64_t k = 0; k < total; ++k) {
    const std::int64_t at = ((start + direction * k) % total + total) % total;
    const std::int32_t found = view.record(static_cast<std::int32_t>(first + at / columns));
    if (found != checked) {
      const auto text = store.unchangedText(found);
      checked = found;
      mayMatch = !text || search.find(*text) != std::string_view::npos;
    }
    if (!mayMatch) continue;
    const auto shown = static_cast<std::int32_t>(request.allValues ? at % columns + 1 : 0);
    const std::int32_t field = request.allValues ? store.actualFieldNoInSelectedRange(shown) : request.nameField;
    if (!search.matches(store.value(found, field))) continue;
    return Match{found, shown, direction > 0 ? at < start : at > start};
  }
  return std::nullopt;
}

std::optional<std::int32_t> fieldByTitle(const CRecordData& store, std::string_view text, std::int32_t firstUnit,
                                         std::int32_t startColumn, bool backwards) {
  const std::int32_t columns = store.NoFieldsInSelectedRange();
  const Matcher search(std::string(text), false, false);
  if (search.size() == 0 || columns <= 0) return std::nullopt;
  const std::int32_t start = ((startColumn - 1) % columns + columns) % columns;
  for (std::int32_t k = 0; k < columns; ++k) {
    const std::int32_t column = ((start + (backwards ? -k : k)) % columns + columns) % columns + 1;
    const std::int32_t field = store.actualFieldNoInSelectedRange(column);
    for (std::int32_t record = 1; record < firstUnit && record <= store.NoUnits(); ++record)
      if (search.matches(store.value(record, field))) return column;
  }
  return std::nullopt;
}

Cells inUnits(const CRecordData& store, const Request& request) {
  UnitView every;
  const UnitView& view = viewOf(store, request, every);
  Cells cells{view.records(view.firstRow(), view.lastRow()), {}};
  if (!request.allValues)
    cells.fields.push_back(request.nameField);
  else
    for (std::int32_t column = 1; column <= store.NoFieldsInSelectedRange(); ++column)
      cells.fields.push_back(store.actualFieldNoInSelectedRange(column));
  return cells;
}

Cells inBlock(const CRecordData& store, const Request& request, const CellBlock& block) {
  UnitView every;
  Cells cells{viewOf(store, request, every).records(block.firstRecord, block.lastRecord), {}};
  if (!request.allValues) {
    cells.fields.push_back(request.nameField);
    return cells;
  }
  const std::int32_t last = std::min(block.lastColumn, store.NoFieldsInSelectedRange());
  for (std::int32_t column = std::max(block.firstColumn, 1); column <= last; ++column)
    cells.fields.push_back(store.actualFieldNoInSelectedRange(column));
  return cells;
}

Replacement replaceAll(const CRecordData& store, const Request& request, const Replace& replace, const Cells& where) {
  Replacement result;
  const Matcher search = matcher(request);
  if (search.size() == 0) return result;
  std::string after;
  for (const std::int32_t record : where.records) {
    if (const auto text = store.unchangedText(record); text && search.find(*text) == std::string_view::npos) continue;
    for (const std::int32_t field : where.fields) {
      const std::string_view before = store.value(record, field);
      if (!search.matches(before)) continue;
      if (!replaceIn(before, search, replace, after))
        ++result.tooLong;
      else if (after != before)
        result.cells.add(record, field, before, after);
    }
  }
  return result;
}

}  // namespace FindSearch
