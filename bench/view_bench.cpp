// view_bench: the unit filter and the sorted view's order on a large building file, such as the
// 1 GB one of `python3 bench/building_file.py /dev/shm/big.txt 1000`.
//   view_bench FILE --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
//       --benchmark_report_aggregates_only=true     (one line) min and median of each
// "filter/first_key" makes a new filter for each run, so it holds the names' index;
// "filter/next_key/N" types the Nth letter of "church" into a filter that has it; "sort/.../1"
// sorts descending.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <numeric>
#include <string>
#include <vector>

#include "CRecordData.h"
#include "UnitFilter.h"
#include "UnitOrder.h"

namespace {

constexpr std::int32_t kFirstUnit = 5;
constexpr std::int32_t kNameField = 2;
constexpr std::int32_t kHitpointsField = 14;
constexpr std::string_view kTyped = "church";

CRecordData gStore;

FindSearch::Request request(std::string_view text, bool allValues = false) {
  FindSearch::Request made;
  made.text = text;
  made.firstUnit = kFirstUnit;
  made.nameField = kNameField;
  made.allValues = allValues;
  return made;
}

void report(benchmark::State& state, std::size_t units) { state.counters["units"] = double(units); }

void firstKey(benchmark::State& state) {
  std::size_t units = 0;
  for (auto _ : state) {
    UnitFilter filter;
    units = filter.matching(gStore, request(kTyped.substr(0, 1))).size();
  }
  report(state, units);
}

void nextKey(benchmark::State& state) {
  const auto typed = std::size_t(state.range(0));
  UnitFilter filter;
  filter.matching(gStore, request(kTyped.substr(0, typed - 1)));
  std::size_t units = 0;
  for (auto _ : state) units = filter.matching(gStore, request(kTyped.substr(0, typed))).size();
  report(state, units);
}

void allValues(benchmark::State& state) {
  UnitFilter filter;
  std::size_t units = 0;
  for (auto _ : state) units = filter.matching(gStore, request(kTyped, true)).size();
  report(state, units);
}

void sortBy(benchmark::State& state, std::int32_t field) {
  std::vector<std::int32_t> records;
  for (auto _ : state) {
    state.PauseTiming();
    records.resize(std::size_t(std::max(gStore.NoUnits() - kFirstUnit + 1, 0)));
    std::iota(records.begin(), records.end(), kFirstUnit);
    state.ResumeTiming();
    sortUnits(gStore, field, state.range(0) != 0, records);
  }
  report(state, records.size());
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::cerr << "usage: view_bench BUILDING_FILE [benchmark flags]\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary | std::ios::ate);
  std::string text(std::size_t(std::max<std::streamoff>(in.tellg(), 0)), '\0');
  in.seekg(0).read(text.data(), std::streamsize(text.size()));
  gStore.initRanges(2);
  if (!in || !gStore.createRecord(std::move(text), argv[1])) {
    std::cerr << "not a building file: " << argv[1] << "\n";
    return 1;
  }
  const auto min = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
  for (auto* bench : {benchmark::RegisterBenchmark("filter/first_key", firstKey),
                      benchmark::RegisterBenchmark("filter/next_key", nextKey)->DenseRange(2, int(kTyped.size())),
                      benchmark::RegisterBenchmark("filter/all_values", allValues),
                      benchmark::RegisterBenchmark("sort/number", sortBy, kHitpointsField)->Arg(0)->Arg(1),
                      benchmark::RegisterBenchmark("sort/text", sortBy, kNameField)->Arg(0)->Arg(1)})
    bench->Unit(benchmark::kMillisecond)->ComputeStatistics("min", min);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
