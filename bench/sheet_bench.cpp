// sheet_bench: how fast a ~100 MB clipboard block decodes and encodes, against the plain copy of
// the same bytes into fresh memory. Two shapes: a selection of short cells, as copied from a
// whole data file, and a few long values full of line breaks and quotes.
//   sheet_bench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
//       --benchmark_report_aggregates_only=true      (one line) in turns, with min and median
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "SpreadsheetText.h"

namespace {

constexpr std::size_t kTargetBytes = 100'000'000;
constexpr int kColumns = 40;

// Values of 1 to 12 bytes, some above 127, one in twenty quoted for a TAB inside.
SpreadsheetText::Rows shortCells() {
  const char* const words[] = {"0", "12", "yes", "none", "Knights", "Sp\xE9" "cial_Hall", "a\tb", "-1500", "archer"};
  SpreadsheetText::Rows rows;
  std::size_t bytes = 0;
  for (std::size_t n = 0; bytes < kTargetBytes; ++n) {
    std::vector<std::string>& row = rows.emplace_back();
    for (int column = 0; column < kColumns; ++column) {
      row.emplace_back(words[(n * 7 + static_cast<std::size_t>(column) * 3) % std::size(words)]);
      bytes += row.back().size() + 1;
    }
  }
  return rows;
}

// Ten values of 10 MB: lines of prose with quoted words.
SpreadsheetText::Rows longValues() {
  std::string value;
  while (value.size() < kTargetBytes / 10) value += "the \"garrison\" holds the walls\r\nagainst raids\tfrom the north\n";
  return {std::vector<std::string>(10, value)};
}

const SpreadsheetText::Rows& rowsOf(int shape) {
  static const SpreadsheetText::Rows cells = shortCells();
  static const SpreadsheetText::Rows longs = longValues();
  return shape == 0 ? cells : longs;
}

const std::string& textOf(int shape) {
  static const std::string cells = SpreadsheetText::encode(rowsOf(0), "\r\n");
  static const std::string longs = SpreadsheetText::encode(rowsOf(1), "\r\n");
  return shape == 0 ? cells : longs;
}

template <typename Work>
double secondsFor(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Freeing a result stays outside the time, as in record_bench.
void copyYardstick(benchmark::State& state, int shape) {
  const std::string& text = textOf(shape);
  for (auto _ : state) {
    std::string copy;
    state.SetIterationTime(secondsFor([&] {
      copy = text;
      benchmark::DoNotOptimize(copy.data());
    }));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void decode(benchmark::State& state, int shape) {
  const std::string& text = textOf(shape);
  for (auto _ : state) {
    SpreadsheetText::Rows rows;
    state.SetIterationTime(secondsFor([&] { rows = SpreadsheetText::decode(text); }));
    if (rows != rowsOf(shape)) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void encode(benchmark::State& state, int shape) {
  const SpreadsheetText::Rows& rows = rowsOf(shape);
  for (auto _ : state) {
    std::string text;
    state.SetIterationTime(secondsFor([&] { text = SpreadsheetText::encode(rows, "\r\n"); }));
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(textOf(shape).size()));
}

// One pass each, timed by hand, so that repetitions give the min and the median.
void oncePerRun(benchmark::internal::Benchmark* benchmark) {
  benchmark->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
  benchmark->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

}  // namespace

BENCHMARK_CAPTURE(copyYardstick, short_cells, 0)->Apply(oncePerRun);
BENCHMARK_CAPTURE(copyYardstick, long_values, 1)->Apply(oncePerRun);
BENCHMARK_CAPTURE(decode, short_cells, 0)->Apply(oncePerRun);
BENCHMARK_CAPTURE(decode, long_values, 1)->Apply(oncePerRun);
BENCHMARK_CAPTURE(encode, short_cells, 0)->Apply(oncePerRun);
BENCHMARK_CAPTURE(encode, long_values, 1)->Apply(oncePerRun);

BENCHMARK_MAIN();
