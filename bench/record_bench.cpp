// record_bench: how fast the record store loads and saves ~100 MB data files, measured against
// the plain copy of the same bytes into fresh memory; and what comparing a unit file with its
// default copy costs, records paired by number or by unit.
//   record_bench [benchmark flags]   runs the benchmarks
//   record_bench --benchmark_filter=compare --benchmark_repetitions=9
//       --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
//                                    (one line) the comparisons in turns, with min and median
//   record_bench --write-files DIR   writes the generated files to DIR and exits
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "CRecordData.h"
#include "DataDiff.h"
#include "ContentHash.h"
#include "DataFile.h"
#include "EditJournal.h"
#include "EditedFile.h"
#include "GlobalShared.h"
#include "SaveGuard.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kTargetBytes = 100'000'000;
constexpr int kHeaderRows = 4;

// A few names carry bytes above 127, as files written on Latin-1 systems do.
constexpr const char* kBuildingNames[] = {"Stone_Keep", "Wooden_Wall", "Watch_Tower", "Barracks",
                                          "Armoury", "Ch\xE2teau_Fort", "Church", "Granary",
                                          "Sp\xE9" "cial_Hall", "Mosque", "Stables", "Siege_Works"};
constexpr const char* kUnitNames[] = {"Spearmen", "Crossbowmen", "Knights", "Militia",
                                      "Templars", "Hospitallers", "Saracen_Archers", "Chevaliers",
                                      "G\xE9n\xE9ral_Guard", "Ghazis", "Varangians", "Pavise_Men"};
constexpr const char* kWords[] = {"none", "wood", "stone", "iron", "gold", "yes", "no", "ALL", "infantry",
                                  "cavalry", "archer", "siege", "catholic", "orthodox", "muslim", "pagan",
                                  "fort", "town"};
constexpr const char* kProse[] = {"the", "garrison", "holds", "walls", "against", "raids", "from",
                                  "north", "and", "must", "be", "paid", "every", "turn", "while",
                                  "peasants", "bring", "grain", "to", "market", "slowly"};

// How a kind of file lays out its lines.
struct Layout {
  GlobalShared::FileType kind;
  const char* label;
  const char* fileName;
  const char* firstTitle;  // the kind is detected from the first header cell
  int cells;               // TAB-separated cells per line
  int nameCell;
  int listCell;            // the cell packing fields 22-43 as a quoted list; 0 for none
  int listValues;
  std::span<const char* const> names;
};

const Layout kBuild{GlobalShared::kBuildProd, "build_prod", "crusader_build_prod13.txt", "Number", 28, 2, 0, 0,
                    kBuildingNames};
const Layout kUnit{GlobalShared::kUnitProd, "unit_prod", "crusaders_unit_prod11.txt", "Name", 50, 1, 22, 22,
                   kUnitNames};
const Layout* const kLayouts[] = {&kBuild, &kUnit};

struct DataText {
  std::string text;
  std::int32_t records = 0;
};

// Writes a whole file of one kind; the same seed always gives the same bytes.
class Generator {
 public:
  explicit Generator(const Layout& layout) : mLayout(layout), mRandom(20240611u + layout.kind) {
    for (int c = 1; c <= layout.cells; ++c) mColumns.push_back(pickColumn(c));
  }

  DataText generate() {
    DataText data;
    mOut = &data.text;
    mOut->reserve(kTargetBytes + 64 * 1024);
    for (int row = 1; row <= kHeaderRows; ++row) line([&](int c) { headerCell(row, c); });
    while (mOut->size() < kTargetBytes) line([&](int c) { dataCell(mColumns[c - 1]); });
    *mOut += "\r\n\r\n";
    data.records = mLines;
    return data;
  }

 private:
  enum class Column { Integer, Decimal, Name, Word, Text, List };

  std::uint64_t below(std::uint64_t n) { return mRandom() % n; }
  template <std::size_t N>
  const char* pick(const char* const (&pool)[N]) { return pool[below(N)]; }

  Column pickColumn(int c) {
    if (c == mLayout.nameCell) return Column::Name;
    if (c == mLayout.listCell) return Column::List;
    if (c == 1) return Column::Integer;
    const auto roll = below(10);
    return roll < 5 ? Column::Integer : roll < 7 ? Column::Decimal : roll < 9 ? Column::Word : Column::Text;
  }

  template <typename CellFn>
  void line(CellFn cell) {
    for (int c = 1; c <= mLayout.cells; ++c) {
      if (c > 1) *mOut += '\t';
      cell(c);
    }
    *mOut += "\r\n";
    ++mLines;
  }

  void headerCell(int row, int c) {
    static constexpr const char* kTypeNames[] = {"int", "float", "name", "word", "text", "troop stats"};
    if (row == 1 && c == 1) *mOut += mLayout.firstTitle;
    else if (row == 1 && c == mLayout.listCell) *mOut += "TroopStats";
    else if (row == 1) *mOut += std::string(pick(kWords)) + "_" + std::to_string(c);
    else if (row == 2) *mOut += kTypeNames[static_cast<int>(mColumns[c - 1])];
    else if (row == 3) prose(10, 40);
    else *mOut += '-';
  }

  void dataCell(Column column) {
    switch (column) {
      case Column::Integer: return integer();
      case Column::Decimal: return decimal();
      case Column::Name: {
        const auto n = below(100);
        *mOut += mLayout.names[below(mLayout.names.size())];
        *mOut += '_';
        *mOut += static_cast<char>('0' + n / 10);
        *mOut += static_cast<char>('0' + n % 10);
        return;
      }
      case Column::Word:
        if (below(30) != 0) *mOut += pick(kWords);  // now and then left empty
        return;
      case Column::Text:
        if (below(8) == 0) prose(40, 120); else *mOut += pick(kWords);
        return;
      case Column::List:
        *mOut += '"';
        for (int v = 0; v < mLayout.listValues; ++v) {
          if (v > 0) *mOut += ", ";
          if (below(4) == 0) decimal(); else *mOut += std::to_string(below(30));
        }
        *mOut += '"';
        return;
    }
  }

  void integer() {
    const auto roll = below(20);
    *mOut += roll == 0 ? "-1" : std::to_string(roll == 1 ? below(100000) : below(200));
  }

  void decimal() {
    auto fraction = 1 + below(99);
    *mOut += std::to_string(below(20));
    *mOut += fraction < 10 ? ".0" : ".";
    if (fraction % 10 == 0) fraction /= 10;
    *mOut += std::to_string(fraction);
  }

  // Words until the text reaches a length between least and most.
  void prose(std::uint64_t least, std::uint64_t most) {
    const std::size_t start = mOut->size();
    const std::size_t target = start + least + below(most - least + 1);
    const std::size_t limit = start + most;
    while (mOut->size() < target) {
      const std::string_view word = pick(kProse);
      const std::size_t blank = mOut->size() > start ? 1 : 0;
      if (mOut->size() + blank + word.size() + 1 > limit) break;
      if (blank) *mOut += below(6) == 0 ? ", " : " ";
      *mOut += word;
    }
    *mOut += '.';
  }

  const Layout& mLayout;
  std::mt19937_64 mRandom;
  std::vector<Column> mColumns;
  std::string* mOut = nullptr;
  std::int32_t mLines = 0;
};

const DataText& dataFor(const Layout& layout) {
  if (&layout == &kBuild) {
    static const DataText build = Generator(kBuild).generate();
    return build;
  }
  static const DataText unit = Generator(kUnit).generate();
  return unit;
}

void require(bool ok, const std::string& what) {
  if (ok) return;
  std::cerr << "record_bench: " << what << " failed\n";
  std::abort();
}

const fs::path& tempFolder() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "record_bench_XXXXXX").string();
    require(::mkdtemp(pattern.data()) != nullptr, "creating a temporary folder");
    return fs::path(pattern);
  }();
  return folder;
}

// Each benchmark times only its work: preparing the input and freeing the result stay outside,
// so the copy, the load and the save are measured alike.
template <typename Work>
double secondsFor(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void describe(benchmark::State& state, const DataText& data) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.text.size()));
  state.SetLabel(std::to_string(data.text.size() / 1000000) + " MB, " + std::to_string(data.records) +
                 " records");
}

// The practical limit: fresh memory is mapped slowly, and any load has to fill that much.
void copyYardstick(benchmark::State& state, const Layout* layout) {
  const DataText& data = dataFor(*layout);
  for (auto _ : state) {
    std::string copy;
    state.SetIterationTime(secondsFor([&] {
      copy = data.text;
      benchmark::DoNotOptimize(copy.data());
      benchmark::ClobberMemory();
    }));
  }
  describe(state, data);
}

void createRecord(benchmark::State& state, const Layout* layout) {
  const DataText& data = dataFor(*layout);
  for (auto _ : state) {
    std::string text = data.text;  // the store takes its text over, so every load needs its own
    CRecordData store;
    store.initRanges(layout->kind);
    bool loaded = false;
    state.SetIterationTime(secondsFor([&] { loaded = store.createRecord(std::move(text), layout->fileName).has_value(); }));
    require(loaded && store.NoUnits() == data.records, std::string("createRecord of ") + layout->fileName);
  }
  describe(state, data);
}

// The window's save also hashes what it writes, for the journal that may follow it.
void writeDataFile(benchmark::State& state, const Layout* layout, bool hashed) {
  const DataText& data = dataFor(*layout);
  CRecordData store;
  store.initRanges(layout->kind);
  require(store.createRecord(data.text, layout->fileName).has_value(), std::string("createRecord of ") + layout->fileName);
  const std::string path = (tempFolder() / layout->fileName).string();
  for (auto _ : state) {
    bool written = false;
    FileIdentity identity;
    state.SetIterationTime(
        secondsFor([&] { written = DataFile::writeDataFile(store, layout->kind, path, hashed ? &identity : nullptr).has_value(); }));
    require(written && fs::file_size(path) == data.text.size(), "writeDataFile to " + path);
    fs::remove(path);  // every save creates its file anew
  }
  describe(state, data);
}

// What a load pays when the file has a journal to check against: the hash of the loaded text.
void contentHash(benchmark::State& state, const Layout* layout) {
  const DataText& data = dataFor(*layout);
  for (auto _ : state) {
    FileIdentity identity;
    state.SetIterationTime(secondsFor([&] { identity = ContentHash::of(data.text); }));
    require(identity.size == data.text.size(), "the hash");
  }
  describe(state, data);
}

// What verifying a save costs, the record texts made beforehand: records written as loaded are
// compared byte for byte; with every record edited, each is read again and compared field by
// field, the worst case.
void saveGuard(benchmark::State& state, const Layout* layout, bool everyRecordEdited) {
  const DataText& data = dataFor(*layout);
  CRecordData store;
  store.initRanges(layout->kind);
  require(store.createRecord(data.text, layout->fileName).has_value(), std::string("createRecord of ") + layout->fileName);
  for (std::int32_t r = 1; everyRecordEdited && r <= store.NoUnits(); ++r)
    store.setField(1, r, store.returnArrayFieldXUnit(r, 1, 1, 1)[0][0]);
  std::string written;
  std::vector<std::size_t> ends;
  for (std::int32_t r = 1; r <= store.NoUnits(); ++r) {
    store.appendStr2Write(r, written);
    ends.push_back(written.size());
  }
  for (auto _ : state) {
    bool readBack = true;
    state.SetIterationTime(secondsFor([&] {
      SaveGuard guard(store);
      std::size_t from = 0;
      for (std::int32_t r = 1; r <= store.NoUnits(); ++r) {
        const std::size_t to = ends[static_cast<std::size_t>(r - 1)];
        readBack = readBack && !guard.check(r, std::string_view(written).substr(from, to - from));
        from = to;
      }
    }));
    require(readBack, std::string("the save check of ") + layout->fileName);
  }
  describe(state, data);
}

// The unit file as a game holds it, every unit's name its own, and variants of it: the default
// copy differs in a value of every 50th unit; a mod may hold a unit more near the start, and may
// also have moved a unit from the start to the end, which leaves no agreeing run to pair in order.
enum class Variant { Copy, Same, Inserted, InsertedAndMoved };

std::string unitText(Variant variant) {
  const std::string& generated = dataFor(kUnit).text;
  std::vector<std::string_view> lines;
  for (std::size_t from = 0, end; (end = generated.find("\r\n", from)) != std::string::npos; from = end + 2)
    lines.push_back(std::string_view(generated).substr(from, end - from));
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  std::vector<std::string> units;
  for (std::size_t k = kHeaderRows; k < lines.size(); ++k) {
    const std::size_t tab = lines[k].find('\t');
    std::string line = std::string(lines[k].substr(0, tab)) + '#' + std::to_string(k) + std::string(lines[k].substr(tab));
    if (variant == Variant::Copy && k % 50 == 0) line.insert(line.find('\t') + 1, "X");
    units.push_back(std::move(line));
  }
  if (variant == Variant::Inserted || variant == Variant::InsertedAndMoved)
    units.insert(units.begin() + 5, "Inserted" + units[5].substr(units[5].find('\t')));
  if (variant == Variant::InsertedAndMoved) std::rotate(units.begin(), units.begin() + 1, units.end());
  std::string text;
  text.reserve(generated.size() + units.size() * 8);
  for (std::size_t k = 0; k < kHeaderRows; ++k) (text += lines[k]) += "\r\n";
  for (const std::string& unit : units) (text += unit) += "\r\n";
  return text + "\r\n";
}

const CRecordData& unitStore(Variant variant) {
  static std::map<Variant, std::unique_ptr<CRecordData>> stores;
  std::unique_ptr<CRecordData>& store = stores[variant];
  if (!store) {
    store = std::make_unique<CRecordData>();
    store->initRanges(kUnit.kind);
    require(store->createRecord(unitText(variant), kUnit.fileName).has_value(), "createRecord of a unit file variant");
  }
  return *store;
}

// How the default copy was compared before records were paired by unit: record n with record n.
std::vector<DataDiff::Change> compareByNumber(const CRecordData& before, const CRecordData& after) {
  std::vector<DataDiff::Change> changes;
  const std::int32_t records = std::min(before.NoUnits(), after.NoUnits());
  for (std::int32_t r = 1; r <= records; ++r)
    for (std::int32_t f = 1; f <= after.NoFields() && !after.sameText(before, r); ++f) {
      const std::string_view old = before.value(r, f), now = after.value(r, f);
      if (old != now && !after.writtenWithField22(r, f)) changes.push_back({r, f, std::string(old), std::string(now), r, {}, {}});
    }
  return changes;
}

void compare(benchmark::State& state, Variant variant, bool byUnit) {
  const CRecordData& copy = unitStore(Variant::Copy);
  const CRecordData& file = unitStore(variant);
  std::size_t differences = 0;
  for (auto _ : state) {
    std::vector<DataDiff::Change> changes;
    state.SetIterationTime(secondsFor([&] {
      changes = byUnit ? DataDiff::compare(copy, file).changes : compareByNumber(copy, file);
    }));
    differences = changes.size();
  }
  state.SetLabel(std::to_string(file.NoUnits()) + " records, " + std::to_string(differences) + " differences");
}

// What the journal adds to editing: 10,000 steps on a loaded 100 MB file, with the journal off and
// on (every step written at once, the first one hashing the file, one sync at the end), so that
// its cost per edit can be set against the window's own (journal_edits).
void journalSteps(benchmark::State& state, const Layout* layout, bool journal) {
  constexpr int kSteps = 10000;
  const DataText& data = dataFor(*layout);
  const std::string path = (tempFolder() / layout->fileName).string();
  for (auto _ : state) {
    EditedFile file;
    file.record().initRanges(layout->kind);
    require(file.record().createRecord(data.text, path).has_value(), std::string("createRecord of ") + layout->fileName);
    EditJournal journaled((tempFolder() / "state").string());
    if (journal) journaled.follow(file, path, [&file] { return ContentHash::of(file.record().loadedText()); });
    state.SetIterationTime(secondsFor([&] {
      for (int i = 0; i < kSteps; ++i) {
        const std::int32_t record = 5 + i / 20;
        const std::int32_t field = 3 + i % 20;
        file.makeStep({record, field, std::string(file.record().value(record, field)), std::to_string(i)});
      }
      journaled.flush();
    }));
    require(file.stepsDone() == kSteps && !journaled.hasNotices(), "the journal's steps");
    journaled.discard();
  }
  state.SetLabel(std::to_string(kSteps) + " steps");
}

int writeFiles(const fs::path& folder) {
  fs::create_directories(folder);
  for (const Layout* layout : kLayouts) {
    const fs::path path = folder / layout->fileName;
    const std::string& text = dataFor(*layout).text;
    std::ofstream file(path, std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    require(static_cast<bool>(file), "writing " + path.string());
    std::cout << path.string() << ' ' << text.size() << '\n';
  }
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--write-files") return writeFiles(argv[2]);

  using Fn = void (*)(benchmark::State&, const Layout*);
  const std::pair<const char*, Fn> kinds[] = {
      {"copy_yardstick", copyYardstick},
      {"createRecord", createRecord},
      {"contentHash", contentHash},
      {"writeDataFile", [](benchmark::State& state, const Layout* layout) { writeDataFile(state, layout, false); }},
      {"writeDataFile_hashed", [](benchmark::State& state, const Layout* layout) { writeDataFile(state, layout, true); }},
      {"journalSteps_off", [](benchmark::State& state, const Layout* layout) { journalSteps(state, layout, false); }},
      {"journalSteps_on", [](benchmark::State& state, const Layout* layout) { journalSteps(state, layout, true); }},
      {"saveGuard", [](benchmark::State& state, const Layout* layout) { saveGuard(state, layout, false); }},
      {"saveGuard_everyRecordEdited", [](benchmark::State& state, const Layout* layout) { saveGuard(state, layout, true); }}};
  for (const auto& [name, fn] : kinds)
    for (const Layout* layout : kLayouts)
      benchmark::RegisterBenchmark((std::string(name) + "/" + layout->label).c_str(), fn, layout)
          ->Iterations(5)
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond);

  const std::tuple<const char*, Variant, bool> comparisons[] = {
      {"compare/by_number/same_order", Variant::Same, false},
      {"compare/by_unit/same_order", Variant::Same, true},
      {"compare/by_number/inserted", Variant::Inserted, false},
      {"compare/by_unit/inserted", Variant::Inserted, true},
      {"compare/by_unit/inserted_and_moved", Variant::InsertedAndMoved, true}};
  for (const auto& [name, variant, byUnit] : comparisons)
    benchmark::RegisterBenchmark(name, [variant, byUnit](benchmark::State& state) { compare(state, variant, byUnit); })
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return EXIT_FAILURE;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(tempFolder());
  return EXIT_SUCCESS;
}
