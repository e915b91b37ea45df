#include "UnitOrder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <string_view>
#include <utility>

#include "CRecordData.h"
#include "FindSearch.h"
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
    return made;
  }();
  return weights;
}

int compareBy(std::string_view a, std::string_view b, auto weight) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i)
    if (const int d = int(weight(a[i])) - int(weight(b[i])); d != 0) return d;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int compareText(std::string_view a, std::string_view b) {
  const auto& weights = alphabet();
  if (const int d = compareBy(a, b, [&](char c) { return weights[static_cast<unsigned char>(c)]; }); d != 0) return d;
  return compareBy(a, b, FindSearch::fold);
}

struct Text {
  std::uint64_t prefix;  // the first eight weights: most comparisons end there
  std::string_view value;
  std::int32_t record;
};

std::uint64_t prefixOf(std::string_view value) {
  const auto& weights = alphabet();
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i)
    prefix = prefix << 8 | (i < value.size() ? weights[static_cast<unsigned char>(value[i])] : 0);
  return prefix;
}

// The number's value, which isNumber accepted; one too long for a double is infinite or 0.
double numberOf(std::string_view value) {
  double number = 0;
  if (std::from_chars(value.data(), value.data() + value.size(), number).ec == std::errc::result_out_of_range) {
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

struct Keyed {
  std::uint64_t key;
  std::int32_t record;
};

// Least significant byte first, each pass stable: equal keys keep the order they came in.
void radixSort(std::vector<Keyed>& items) {
  std::array<std::array<std::size_t, 256>, 8> counts{};
  for (const Keyed& item : items)
    for (std::size_t d = 0; d < 8; ++d) ++counts[d][(item.key >> (8 * d)) & 0xFF];
  std::vector<Keyed> sorted;
  for (std::size_t d = 0; d < 8; ++d) {
    auto& count = counts[d];
    if (std::ranges::find(count, items.size()) != count.end()) continue;  // one byte for all: nothing moves
    if (sorted.empty()) sorted.resize(items.size());
    std::size_t sum = 0;
    for (std::size_t& c : count) sum += std::exchange(c, sum);
    for (const Keyed& item : items) sorted[count[(item.key >> (8 * d)) & 0xFF]++] = item;
    items.swap(sorted);
  }
}

}  // namespace

void sortUnits(const CRecordData& store, std::int32_t field, bool descending, std::vector<std::int32_t>& records) {
  if (!std::ranges::is_sorted(records)) std::ranges::sort(records);
  std::vector<Keyed> numbers;
  std::vector<Text> texts;
  std::vector<std::int32_t> empty;
  for (const std::int32_t record : records) {
    const std::string_view value = store.value(record, field);
    if (value.empty()) {
      empty.push_back(record);
    } else if (ValueChange::isNumber(value)) {
      const std::uint64_t key = orderOf(numberOf(value));
      numbers.push_back({descending ? ~key : key, record});
    } else {
      texts.push_back({prefixOf(value), value, record});
    }
  }
  radixSort(numbers);
  std::ranges::sort(texts, [descending](const Text& a, const Text& b) {
    int d = a.prefix < b.prefix ? -1 : a.prefix > b.prefix ? 1 : compareText(a.value, b.value);
    if (descending) d = -d;
    return d != 0 ? d < 0 : a.record < b.record;
  });
  auto out = records.begin();
  const auto putNumbers = [&] { out = std::ranges::transform(numbers, out, &Keyed::record).out; };
  const auto putTexts = [&] { out = std::ranges::transform(texts, out, &Text::record).out; };
  if (descending) {
    putTexts();
    putNumbers();
  } else {
    putNumbers();
    putTexts();
  }
  std::ranges::copy(empty, out);
}
