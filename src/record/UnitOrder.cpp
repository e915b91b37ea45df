#include "UnitOrder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <string_view>
#include <span>
#include <utility>

#include "CRecordData.h"
#include "FindSearch.h"
#include "GlobalShared.h"
#include "ValueChange.h"

namespace {

// A byte's weight in the alphabet: its letter case folded, an accented letter its base letter's.
const std::array<unsigned char, 256>& alphabet() {
  static const std::array<unsigned char, 256> weights = [] {
    std::array<unsigned char, 256> made{};
    constexpr std::string_view latin = "aaaaaaaceeeeiiiidnooooo?ouuuuyty";  // 0xE0 to 0xFF, ? left as it is
    for (int b = 0; b < 256; ++b) {
      const unsigned char folded = FindSearch::fold(char(b));
      made[std::size_t(b)] = folded >= 0xE0 && latin[folded - 0xE0] != '?' ? latin[folded - 0xE0] : folded;
    }
    made[0x9A] = 's', made[0x9C] = 'o', made[0x9E] = 'z', made[0xDF] = 's';  // š œ ž ß
    made[0] = 'A';  // a weight that folding left free: 0 marks a value's end
    return made;
  }();
  return weights;
}

// Chunks of eight bytes as one number each, in the order of the text: a sort compares numbers.
// Primary chunks are the alphabet's weights, 0 past the end (no byte weighs 0); secondary
// chunks the bytes with letter case folded, for values that the alphabet finds equal (and so of
// one length).
std::uint64_t chunkOf(std::string_view value, std::size_t depth, bool secondary) {
  const auto& weights = alphabet();
  std::uint64_t chunk = 0;
  for (std::size_t i = depth * 8; i < depth * 8 + 8; ++i) {
    const auto byte = i < value.size() ? static_cast<unsigned char>(value[i]) : 0;
    chunk = chunk << 8 | (i >= value.size() ? 0 : secondary ? FindSearch::fold(char(byte)) : weights[byte]);
  }
  return chunk;
}

// The number's value, which isNumber accepted. Up to 15 digits, the digits read as a whole
// number are exact, and one division by an exact power of ten rounds as from_chars does; longer
// numbers are rare. One too long for a double is infinite or 0.
double numberOf(std::string_view value) {
  static constexpr std::array<double, 16> kTens{1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::uint64_t whole = 0;
  std::size_t digits = 0;
  for (const char c : value)
    if (c != '-' && c != '.') whole = whole * 10 + std::uint64_t(c - '0'), ++digits;
  const std::size_t point = value.find('.');
  const std::size_t decimals = point == std::string_view::npos ? 0 : value.size() - point - 1;
  double number = 0;
  if (digits <= 15) {
    number = double(whole) / kTens[decimals];
    number = value.starts_with('-') ? -number : number;
  } else if (std::from_chars(value.data(), value.data() + value.size(), number).ec == std::errc::result_out_of_range) {
    const bool large = value.find_first_not_of("-0") < value.find('.');
    number = value.starts_with('-') ? -(large ? HUGE_VAL : 0.0) : (large ? HUGE_VAL : 0.0);
  }
  return number == 0 ? 0.0 : number;  // -0 equals 0
}

// Unsigned keys in the order of the doubles.
std::uint64_t orderOf(double number) {
  const auto bits = std::bit_cast<std::uint64_t>(number);
  return bits >> 63 ? ~bits : bits | (std::uint64_t(1) << 63);
}

// Room for n items in fresh memory, which is mapped fast only in huge pages.
template <class T>
void reserveLarge(std::vector<T>& items, std::size_t n) {
  items.reserve(n);
  GlobalShared::adviseLarge(items.data(), n * sizeof(T));
}

struct Keyed {
  std::uint64_t key;
  std::uint32_t at;  // the record's place among those sorted
};

// Stable: equal keys keep the order they came in, file order. Least significant byte first,
// a pass left out where every key has the same byte.
void sortByKey(std::span<Keyed> items, std::vector<Keyed>& scratch) {
  if (items.size() < 256) {
    std::ranges::stable_sort(items, {}, &Keyed::key);
    return;
  }
  std::array<std::array<std::size_t, 256>, 8> counts{};
  for (const Keyed& item : items)
    for (std::size_t d = 0; d < 8; ++d) ++counts[d][(item.key >> (8 * d)) & 0xFF];
  if (scratch.size() < items.size()) {
    reserveLarge(scratch, items.size());
    scratch.resize(items.size());
  }
  std::span<Keyed> from = items, to(scratch.data(), items.size());
  for (std::size_t d = 0; d < 8; ++d) {
    auto& count = counts[d];
    if (std::ranges::find(count, items.size()) != count.end()) continue;
    std::size_t sum = 0;
    for (std::size_t& c : count) sum += std::exchange(c, sum);
    for (const Keyed& item : from) to[count[(item.key >> (8 * d)) & 0xFF]++] = item;
    std::swap(from, to);
  }
  if (from.data() != items.data()) std::ranges::copy(from, items.begin());
}

// Texts sorted a chunk at a time: a run of values equal so far is sorted by the next chunk.
// Mostly one or two chunks decide, however many values repeat.
struct TextSort {
  std::span<const std::string_view> values;  // by place
  std::uint64_t flip;  // all ones for descending
  std::vector<Keyed> scratch;

  void sort(std::span<Keyed> items, std::size_t depth, bool secondary) {
    for (Keyed& item : items) item.key = chunkOf(values[item.at], depth, secondary) ^ flip;
    sortByKey(items, scratch);
    for (auto begin = items.begin(); begin != items.end();) {
      const auto end = std::find_if(begin + 1, items.end(), [&](const Keyed& item) { return item.key != begin->key; });
      // A run of one value repeated (a field of few values) is in file order already.
      const auto same = [&](const Keyed& item) { return values[item.at] == values[begin->at]; };
      if (end - begin > 1 && !std::all_of(begin + 1, end, same)) {
        const bool longer = std::any_of(begin, end, [&](const Keyed& item) { return values[item.at].size() > depth * 8 + 8; });
        if (longer)
          sort({begin, end}, depth + 1, secondary);
        else if (!secondary)
          sort({begin, end}, 0, true);
      }
      begin = end;
    }
  }
};

}  // namespace

void sortUnits(const CRecordData& store, std::int32_t field, bool descending, std::vector<std::int32_t>& records) {
  if (!std::ranges::is_sorted(records)) std::ranges::sort(records);
  const std::uint64_t flip = descending ? ~std::uint64_t(0) : 0;
  std::vector<Keyed> numbers, texts;  // numbers by place in records, texts by place in textValues
  std::vector<std::string_view> textValues;
  std::vector<std::int32_t> textRecords, empty;
  reserveLarge(numbers, records.size());  // untouched room costs nothing
  reserveLarge(texts, records.size());
  reserveLarge(textValues, records.size());
  reserveLarge(textRecords, records.size());
  for (std::size_t at = 0; at < records.size(); ++at) {
    const std::string_view value = store.value(records[at], field);
    if (value.empty()) {
      empty.push_back(records[at]);
    } else if (ValueChange::isNumber(value)) {
      numbers.push_back({orderOf(numberOf(value)) ^ flip, std::uint32_t(at)});
    } else {
      texts.push_back({0, std::uint32_t(textValues.size())});
      textValues.push_back(value);
      textRecords.push_back(records[at]);
    }
  }
  TextSort byText{textValues, flip, {}};
  sortByKey(numbers, byText.scratch);
  byText.sort(texts, 0, false);
  std::vector<std::int32_t> sorted;
  reserveLarge(sorted, records.size());
  const auto putNumbers = [&] {
    for (const Keyed& item : numbers) sorted.push_back(records[item.at]);
  };
  const auto putTexts = [&] {
    for (const Keyed& item : texts) sorted.push_back(textRecords[item.at]);
  };
  descending ? putTexts() : putNumbers();
  descending ? putNumbers() : putTexts();
  sorted.insert(sorted.end(), empty.begin(), empty.end());
  records = std::move(sorted);
}
