// replace_bench: what Replace All costs on a unit file of 140,000 units (about 100 MB), against
// find's walk over the same values, the yardstick of a search as the user types: working out
// the values that change (nothing matching; a name in every unit; one field's value in every
// unit among all values), making them one undo step, and undoing it. The step's bytes are
// reported beside the bytes of the values it changed.
//   replace_bench --benchmark_repetitions=7 --benchmark_enable_random_interleaving=true
//       --benchmark_report_aggregates_only=true      (one line) in turns, with min and median
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "EditedFile.h"
#include "FindSearch.h"
#include "grid/UnitFile.h"

namespace {

const std::string& unitText() {
  static const std::string text = unitFile(140000);
  return text;
}

void load(EditedFile& file) {
  file.record().initRanges(1);
  if (!file.record().createRecord(unitText(), "units.txt")) std::abort();
}

const EditedFile& loaded() {
  static const EditedFile file = [] {
    EditedFile made;
    load(made);
    return made;
  }();
  return file;
}

// The values are "Unit<n>_<field>": "Unit" is in every name, "_44" in one field of every unit.
FindSearch::Request request(const char* text, bool allValues) {
  FindSearch::Request made;
  made.text = text;
  made.firstUnit = 5;
  made.allValues = allValues;
  return made;
}

FindSearch::Replacement replaceAll(const CRecordData& store, const FindSearch::Request& find) {
  return FindSearch::replaceAll(store, find, {"Troop_"}, FindSearch::inUnits(store, find));
}

void findWalk(benchmark::State& state, const char* text, bool allValues) {
  for (auto _ : state) benchmark::DoNotOptimize(FindSearch::next(loaded().record(), request(text, allValues)));
}

void replaceValues(benchmark::State& state, const char* text, bool allValues) {
  std::size_t changed = 0;
  for (auto _ : state) changed = replaceAll(loaded().record(), request(text, allValues)).cells.size();
  state.counters["values"] = double(changed);
}

// A fresh store each time: an undone step leaves its records stored apart from the loaded text.
void stepAndUndo(benchmark::State& state, bool undo) {
  std::size_t valueBytes = 0, stepBytes = 0;
  std::unique_ptr<EditedFile> file;  // freed while the clock stands
  for (auto _ : state) {
    state.PauseTiming();
    file = std::make_unique<EditedFile>();
    load(*file);
    FindSearch::Replacement made = replaceAll(file->record(), request("_44", true));
    valueBytes = 0;
    for (const CellChanges::Cell& cell : made.cells) valueBytes += cell.before.size() + cell.after.size();
    if (undo) file->makeStep(std::move(made.cells));
    state.ResumeTiming();
    if (undo)
      file->undo();
    else
      file->makeStep(std::move(made.cells));
    state.PauseTiming();
    stepBytes = file->steps().back().cells.bytes();
    file.reset();
    state.ResumeTiming();
  }
  state.counters["valueBytes"] = double(valueBytes);
  state.counters["stepBytes"] = double(stepBytes);
}

void oncePerRun(benchmark::internal::Benchmark* benchmark) {
  benchmark->Iterations(1)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", [](const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
  });
}

}  // namespace

BENCHMARK_CAPTURE(findWalk, names_no_match, "qqq", false)->Apply(oncePerRun);
BENCHMARK_CAPTURE(replaceValues, names_no_match, "qqq", false)->Apply(oncePerRun);
BENCHMARK_CAPTURE(replaceValues, names_every_unit, "Unit", false)->Apply(oncePerRun);
BENCHMARK_CAPTURE(findWalk, all_values_no_match, "qqq", true)->Apply(oncePerRun);
BENCHMARK_CAPTURE(replaceValues, all_values_no_match, "qqq", true)->Apply(oncePerRun);
BENCHMARK_CAPTURE(replaceValues, all_values_one_field_each, "_44", true)->Apply(oncePerRun);
BENCHMARK_CAPTURE(stepAndUndo, makeStep_one_field_each, false)->Apply(oncePerRun);
BENCHMARK_CAPTURE(stepAndUndo, undo_one_field_each, true)->Apply(oncePerRun);

BENCHMARK_MAIN();
