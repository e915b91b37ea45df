#include "UnitFilter.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <optional>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "CRecordData.h"
#include "GlobalShared.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Where the search's text next starts in `text`, at or after `from`. A place is tried only when
// both the text's first and its last byte are there (in either letter case): a common first
// letter alone would stop the scan at nearly every name.
std::size_t nextMatch(std::string_view text, std::size_t from, const FindSearch::Matcher& search,
                      const std::array<char, 2>& first, const std::array<char, 2>& last) {
  const std::size_t n = search.size();
  if (n == 0 || text.size() < n || from > text.size() - n) return npos;
  const char* const data = text.data();
  const char* const end = data + (text.size() - n + 1);  // past the last place a match can start
  const char* at = data + from;
#if defined(__SSE2__)
  const __m128i first0 = _mm_set1_epi8(first[0]), first1 = _mm_set1_epi8(first[1]);
  const __m128i last0 = _mm_set1_epi8(last[0]), last1 = _mm_set1_epi8(last[1]);
  for (; end - at >= 16; at += 16) {
    const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + n - 1));
    const __m128i both = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(heads, first0), _mm_cmpeq_epi8(heads, first1)),
                                       _mm_or_si128(_mm_cmpeq_epi8(tails, last0), _mm_cmpeq_epi8(tails, last1)));
    for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(both)); mask != 0; mask &= mask - 1) {
      const char* candidate = at + std::countr_zero(mask);
      if (search.sameAt(candidate)) return static_cast<std::size_t>(candidate - data);
    }
  }
#endif
  for (; at < end; ++at)
    if ((*at == first[0] || *at == first[1]) && search.sameAt(at)) return static_cast<std::size_t>(at - data);
  return npos;
}

}  // namespace

std::vector<std::int32_t> UnitFilter::matching(const CRecordData& store, const FindSearch::Request& request) {
  const std::int32_t first = std::max(request.firstUnit, 1);
  const std::int32_t last = store.NoUnits();
  std::vector<std::int32_t> units;
  if (request.text.empty()) {
    units.resize(static_cast<std::size_t>(std::max(last - first + 1, 0)));
    std::iota(units.begin(), units.end(), first);
    return units;
  }
  const FindSearch::Matcher search(request);
  if (!request.allValues) {
    index(store, request);
    return byName(store, search, request.text);
  }
  std::vector<std::int32_t> fields;  // the selected range's, as find's
  for (std::int32_t column = 1; column <= store.NoFieldsInSelectedRange(); ++column)
    fields.push_back(store.actualFieldNoInSelectedRange(column));
  std::vector<std::string_view> values;
  const auto matches = [&](std::int32_t field) {
    return field >= 1 && std::size_t(field) <= values.size() && search.matches(values[std::size_t(field - 1)]);
  };
  // An unedited record holds its values in its loaded text: one scan of the whole text finds the
  // few records worth splitting into values.
  const std::string_view loaded = store.loadedText();
  const std::array<char, 2> firstByte = search.forms(request.text.front()), lastByte = search.forms(request.text.back());
  std::optional<std::size_t> found;  // the text's next place in the loaded text
  for (std::int32_t record = first; record <= last; ++record) {
    if (const auto text = store.unchangedText(record)) {
      const auto begin = static_cast<std::size_t>(text->data() - loaded.data());
      if (!found || *found < begin) found = nextMatch(loaded, begin, search, firstByte, lastByte);
      if (*found >= begin + text->size()) continue;
    }
    store.recordValues(record, values);
    if (std::ranges::any_of(fields, matches)) units.push_back(record);
  }
  return units;
}

// The names as loaded: edits are looked up at each call, so the buffer changes only with a load.
void UnitFilter::index(const CRecordData& store, const FindSearch::Request& request) {
  const std::int32_t first = std::max(request.firstUnit, 1);
  if (!mStarts.empty() && mLoadId == store.loadId() && mFirstUnit == first && mNameField == request.nameField) return;
  mNames = std::string();
  mStarts = {};
  mLoadId = store.loadId();
  mFirstUnit = first;
  mNameField = request.nameField;
  const auto count = static_cast<std::size_t>(std::max(store.NoUnits() - first + 1, 0));
  mStarts.reserve(count + 1);
  GlobalShared::adviseLarge(mStarts.data(), (count + 1) * sizeof(std::uint64_t));
  for (std::int32_t record = first; record <= store.NoUnits(); ++record) {
    // Room guessed from the first names, so that a large file's buffer is not copied as it grows.
    if (record - first == 1000) GlobalShared::reserveLarge(mNames, mNames.size() * (count / 800 + 1));
    mStarts.push_back(mNames.size());
    mNames.append(store.loadedValue(record, mNameField));
  }
  mStarts.push_back(mNames.size());
}

std::vector<std::int32_t> UnitFilter::byName(const CRecordData& store, const FindSearch::Matcher& search,
                                             const std::string& text) const {
  const std::vector<std::int32_t> edited = store.editedRecords();
  auto nextEdited = std::ranges::lower_bound(edited, mFirstUnit);
  std::vector<std::int32_t> units;
  // An edited record is judged by its name as it is now, wherever the loaded one matched or not.
  const auto editedBefore = [&](std::int32_t record) {
    for (; nextEdited != edited.end() && *nextEdited < record; ++nextEdited)
      if (search.matches(store.value(*nextEdited, mNameField))) units.push_back(*nextEdited);
  };
  const std::array<char, 2> firstByte = search.forms(text.front()), lastByte = search.forms(text.back());
  const std::size_t n = search.size();
  std::size_t name = 0;
  for (std::size_t at = nextMatch(mNames, 0, search, firstByte, lastByte); at != npos;
       at = nextMatch(mNames, at, search, firstByte, lastByte)) {
    while (mStarts[name + 1] <= at) ++name;
    const std::size_t start = mStarts[name], end = mStarts[name + 1];
    if (at + n > end || (search.wholeValue() && (at != start || at + n != end))) {
      at = search.wholeValue() ? end : at + 1;
      continue;
    }
    const auto record = static_cast<std::int32_t>(mFirstUnit + std::int64_t(name));
    editedBefore(record);
    if (nextEdited == edited.end() || *nextEdited != record) units.push_back(record);
    at = end;
  }
  editedBefore(store.NoUnits() + 1);
  return units;
}
