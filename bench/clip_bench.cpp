// clip_bench: Copy and Paste of blocks on a ~100 MB unit file (the one record_bench writes):
// every unit × every field copied as clipboard text, that text pasted back over the same block
// (planned and made one undo step), and one value filled into a field of every unit.
//   record_bench --write-files DIR
//   clip_bench DIR/crusaders_unit_prod11.txt --benchmark_repetitions=5
//       --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "BlockTransfer.h"
#include "DataFile.h"
#include "EditedFile.h"
#include "FileKind.h"
#include "SpreadsheetText.h"

namespace {

std::string gPath;

// A fresh store each run: a paste's edits must not carry over to the next.
void load(EditedFile& file) {
  auto text = DataFile::readText(gPath);
  if (!text) std::abort();
  file.reset().initRanges(DataFile::detectFileType(*text));
  if (!file.record().createRecord(std::move(*text), gPath)) std::abort();
}

UnitView inOrder(const CRecordData& store) { return UnitView::every(FileKind::of(store.FormID()).firstUnit, store.NoUnits()); }

CellBlock everything(const CRecordData& store) {
  return {FileKind::of(store.FormID()).firstUnit, store.NoUnits(), 1, store.NoFieldsInSelectedRange()};
}

template <typename Work>
double secondsFor(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void copyAll(benchmark::State& state) {
  EditedFile file;
  load(file);
  for (auto _ : state) {
    std::string text;
    state.SetIterationTime(
        secondsFor([&] { text = BlockTransfer::copyText(file.record(), inOrder(file.record()), everything(file.record()), false, "\r\n"); }));
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
  }
}

// Paste of a text: planned and made one step; what changed is counted.
void paste(benchmark::State& state, bool whole) {
  EditedFile file;
  load(file);
  const CellBlock all = everything(file.record());
  const std::string text = whole ? BlockTransfer::copyText(file.record(), inOrder(file.record()), all, false, "\r\n") : "7";
  const CellBlock target = whole ? all : CellBlock{all.firstRecord, all.lastRecord, 15, 15};
  for (auto _ : state) {
    state.PauseTiming();
    load(file);
    state.ResumeTiming();
    std::size_t changed = 0;
    state.SetIterationTime(secondsFor([&] {
      BlockTransfer::PastePlan plan = BlockTransfer::planPaste(file.record(), inOrder(file.record()), text, target);
      if (plan.refusal != BlockTransfer::PastePlan::Refusal::None) std::abort();
      changed = plan.changes.size();
      file.makeStep(std::move(plan.changes));
    }));
    state.counters["changed"] = static_cast<double>(changed);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string_view(argv[1]).starts_with("--")) {
    std::cerr << "clip_bench UNIT_FILE [benchmark flags]\n";
    return EXIT_FAILURE;
  }
  gPath = argv[1];
  using Fn = void (*)(benchmark::State&);
  const std::pair<const char*, Fn> runs[] = {
      {"copy/every_unit_every_field", copyAll},
      {"paste/the_copy_back", [](benchmark::State& state) { paste(state, true); }},
      {"paste/one_value_into_a_field_of_every_unit", [](benchmark::State& state) { paste(state, false); }}};
  // One pass each, timed by hand, so that repetitions give the min and the median.
  for (const auto& [name, fn] : runs)
    benchmark::RegisterBenchmark(name, fn)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
  argv[1] = argv[0];
  --argc;
  ++argv;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return EXIT_FAILURE;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return EXIT_SUCCESS;
}
