// change_bench: Change Values "*1.1" on one number field of every unit of the 100 MB unit file,
// the undo of that step, and the memory the step keeps against the bytes of the values it
// changed; and what the grid pays to learn whether a field holds numbers.
//   record_bench --write-files DIR      first, for DIR/crusaders_unit_prod11.txt
//   change_bench FILE --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
//       --benchmark_report_aggregates_only=true      (one line) in turns, with min and median
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "BlockChange.h"
#include "DataFile.h"
#include "EditedFile.h"
#include "NumericFields.h"

namespace {

std::string gPath;

void require(bool ok, const char* what) {
  if (ok) return;
  std::cerr << "change_bench: " << what << " failed\n";
  std::abort();
}

// Each repetition starts from the file as loaded: an undone step leaves every record edited.
std::unique_ptr<EditedFile> loaded() {
  auto file = std::make_unique<EditedFile>();
  require(DataFile::readDataFile(gPath, 0, file->record()).has_value(), "loading the unit file");
  return file;
}

std::vector<std::string_view> dataValues(const CRecordData& record, std::int32_t field) {
  std::vector<std::string_view> values;
  for (std::int32_t unit = FileKind::of(record.FormID()).firstUnit; unit <= record.NoUnits(); ++unit)
    values.push_back(record.value(unit, field));
  return values;
}

// The first field of whole numbers (rounding each result), and the first of text.
std::int32_t firstField(const CRecordData& record, bool numbers) {
  for (std::int32_t field = 2; field <= record.NoFields(); ++field) {
    const ValueChange::FieldNumbers found = ValueChange::fieldNumbers(dataValues(record, field));
    if (numbers ? found.numeric() && found.whole : found.numbers == 0) return field;
  }
  require(false, "finding the fields");
  return 0;
}

BlockChange timesOnePointOne(const CRecordData& record, std::int32_t field) {
  auto change = changeValues(record, *ValueChange::parse("*1.1"), ChangeTargets::allUnits(record, {field}));
  require(change.has_value() && change->changed > 0, "the change");
  return std::move(*change);
}

template <typename Work>
double secondsFor(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Working the new values out, and that plus storing them as one step: what Enter in the dialog costs.
void change(benchmark::State& state, bool applied) {
  for (auto _ : state) {
    const auto file = loaded();
    const std::int32_t field = firstField(file->record(), true);
    std::size_t cells = 0;
    state.SetIterationTime(secondsFor([&] {
      BlockChange change = timesOnePointOne(file->record(), field);
      cells = change.cells.size();
      if (applied) require(file->makeStep(std::move(change.cells)), "the step");
    }));
    state.counters["values"] = static_cast<double>(cells);
  }
}

void undo(benchmark::State& state) {
  for (auto _ : state) {
    const auto file = loaded();
    const std::int32_t field = firstField(file->record(), true);
    const std::string before(file->record().value(5, field));
    require(file->makeStep(timesOnePointOne(file->record(), field).cells), "the step");
    const EditedFile::Step* step = nullptr;
    state.SetIterationTime(secondsFor([&] { step = file->undo(); }));
    require(step && file->record().value(5, field) == before, "the undo");
    std::size_t valueBytes = 0;
    for (const CellChanges::Cell& cell : step->cells) valueBytes += cell.before.size() + cell.after.size();
    state.counters["step_bytes"] = static_cast<double>(step->cells.bytes());
    state.counters["value_bytes"] = static_cast<double>(valueBytes);
    state.counters["bytes_ratio"] = static_cast<double>(step->cells.bytes()) / static_cast<double>(valueBytes);
  }
}

// The grid asks only for a value that is no number: a number field is read whole once, a text
// field stops at its second text, and then the answer is kept.
void numericField(benchmark::State& state, bool numbers, bool asked) {
  for (auto _ : state) {
    const auto file = loaded();
    const std::int32_t field = firstField(file->record(), numbers);
    NumericFields fields;
    if (asked) fields.othersHoldNumbers(file->record(), 5, field);
    bool answer = false;
    state.SetIterationTime(secondsFor([&] { answer = fields.othersHoldNumbers(file->record(), 5, field); }));
    require(answer == numbers, "the numeric field's answer");
  }
}

void oncePerRun(benchmark::internal::Benchmark* benchmark) {
  benchmark->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
  benchmark->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

}  // namespace

BENCHMARK_CAPTURE(change, values_worked_out, false)->Apply(oncePerRun);
BENCHMARK_CAPTURE(change, stored_as_one_step, true)->Apply(oncePerRun);
BENCHMARK(undo)->Apply(oncePerRun);
BENCHMARK_CAPTURE(numericField, number_field_first_asked, true, false)->Apply(oncePerRun);
BENCHMARK_CAPTURE(numericField, text_field_first_asked, false, false)->Apply(oncePerRun);
BENCHMARK_CAPTURE(numericField, number_field_asked_again, true, true)->Apply(oncePerRun);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);  // takes its own flags out: the file is what is left
  if (argc != 2) {
    std::cerr << "usage: change_bench FILE [benchmark flags]   (FILE: a unit file, as record_bench --write-files makes)\n";
    return EXIT_FAILURE;
  }
  gPath = argv[1];
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return EXIT_SUCCESS;
}
