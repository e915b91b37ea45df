// merge_bench: what comparing the loaded ~100 MB unit file with another file costs against what
// reading and parsing that file costs alone, and what the comparison keeps in memory afterwards.
// The files are record_bench's:
//   record_bench --write-files DIR
//   merge_bench DIR --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
//       --benchmark_report_aggregates_only=true   (one line) min and median, in turns
// The loaded file ("ours") and the other mod ("theirs") are the file with values changed in
// every 50th and 40th unit (some alike, some conflicting); the file itself is the default copy.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "CRecordData.h"
#include "DataFile.h"
#include "EditedFile.h"

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kUnitKind = 1;

void require(bool ok, const std::string& what) {
  if (ok) return;
  std::cerr << "merge_bench: " << what << " failed\n";
  std::abort();
}

// The copy with a mark put before field `field` of every `every`th line after the header rows.
std::string marked(const std::string& copy, std::initializer_list<std::tuple<int, int, const char*>> marks) {
  std::string text;
  text.reserve(copy.size() + copy.size() / 1000);
  std::size_t from = 0;
  for (int line = 1; from < copy.size(); ++line) {
    std::size_t end = copy.find("\r\n", from);
    end = end == std::string::npos ? copy.size() : end + 2;
    std::string record = copy.substr(from, end - from);
    for (const auto& [every, field, mark] : marks) {
      if (line <= 4 || line % every != 0) continue;
      std::size_t at = 0;
      for (int f = 1; f < field && at != std::string::npos; ++f) at = record.find('\t', at) + 1;
      if (at != std::string::npos && at != 0) record.insert(at, mark);
    }
    text += record;
    from = end;
  }
  return text;
}

struct Files {
  fs::path copy, theirs;
  std::string oursText;
};
Files* gFiles = nullptr;

void loadStore(CRecordData& store, const fs::path& path) {
  const FileResult<std::int32_t> loaded = DataFile::readDataFile(path.string(), kUnitKind, store);
  require(loaded.has_value(), "reading " + path.string());
}

template <typename Work>
double secondsFor(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What the window pays to compare: reading and parsing the other file (and, three-way, the
// default copy) and the comparison; `compare` false: the reading and parsing alone.
void compareWith(benchmark::State& state, bool compare, bool threeWay) {
  EditedFile file;
  file.record().initRanges(kUnitKind);
  require(file.record().createRecord(std::string(gFiles->oursText), "ours.txt").has_value(), "parsing ours");
  for (auto _ : state) {
    state.SetIterationTime(secondsFor([&] {
      CRecordData other, copy;
      loadStore(other, gFiles->theirs);
      if (threeWay) loadStore(copy, gFiles->copy);
      if (!compare) return;
      if (threeWay) file.mergeWith(copy, other, gFiles->theirs.string());
      else file.compareWithOther(other, gFiles->theirs.string());
    }));
  }
  if (!compare) return;
  const MergeComparison& kept = file.comparison();
  state.counters["differing"] = static_cast<double>(kept.count());
  state.counters["kept_bytes"] = static_cast<double>(kept.keptBytes());
  state.counters["bytes_per_value"] = static_cast<double>(kept.keptBytes()) / static_cast<double>(std::max<std::size_t>(1, kept.count()));
  state.SetLabel(std::to_string(kept.count(Difference::CanTake)) + " take, " + std::to_string(kept.count(Difference::Same)) + " same, " +
                 std::to_string(kept.count(Difference::Conflict)) + " conflicts, " + std::to_string(kept.count(Difference::OursOnly)) +
                 " ours only, " + std::to_string(kept.count(Difference::Differs)) + " differ");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string_view(argv[1]).starts_with("--")) {
    std::cerr << "usage: merge_bench DIR [benchmark flags], DIR written by record_bench --write-files DIR\n";
    return EXIT_FAILURE;
  }
  Files files;
  files.copy = fs::path(argv[1]) / "crusaders_unit_prod11.txt";
  const FileResult<std::string> copy = DataFile::readText(files.copy.string());
  require(copy.has_value(), "reading " + files.copy.string());
  files.oursText = marked(*copy, {{50, 3, "X"}, {60, 4, "Z"}});
  files.theirs = fs::temp_directory_path() / "merge_bench_theirs.txt";
  {
    const std::string theirs = marked(*copy, {{40, 3, "X"}, {30, 4, "Y"}});
    std::ofstream out(files.theirs, std::ios::binary);
    out.write(theirs.data(), static_cast<std::streamsize>(theirs.size()));
    require(static_cast<bool>(out), "writing " + files.theirs.string());
  }
  gFiles = &files;
  const std::tuple<const char*, bool, bool> runs[] = {{"read_parse/other", false, false},
                                                      {"compare/two_way", true, false},
                                                      {"read_parse/other_and_copy", false, true},
                                                      {"compare/three_way", true, true}};
  for (const auto& [name, compare, threeWay] : runs)
    benchmark::RegisterBenchmark(name, [compare, threeWay](benchmark::State& state) { compareWith(state, compare, threeWay); })
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
  argv[1] = argv[0];
  ++argv;
  --argc;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return EXIT_FAILURE;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove(files.theirs);
  return EXIT_SUCCESS;
}
