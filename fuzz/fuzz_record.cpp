// Drives the record store with arbitrary bytes. The first byte picks the kind of file, the field
// range and the positions to browse and edit; the rest is the text, read alike as a data file, a
// range text and a width list. Violations abort with a line on standard error.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CRecordData.h"
#include "DataFile.h"
#include "RecordScan.h"
#include "ReferenceSplit.h"
#include "Require.h"
#include "SaveGuard.h"
#include "StoreChecks.h"

namespace {

constexpr std::int32_t kUnitProd = 1;
constexpr std::int32_t kProjectileStats = 3;
constexpr std::size_t kHeaderRecords = 4;  // a unit file's rows whose packed cell is kept as read
constexpr std::int32_t kPackedFirst = 22;  // cell 22 of a unit file's line packs fields 22 to 43
constexpr std::int32_t kPackedLast = 43;

// `ends` gets, per record, the offset past its CR and the character after it, as the load's
// progress reports give it.
bool load(CRecordData& store, const std::string& text, std::vector<std::size_t>& ends) {
  store.setUnitLoadedHandler([&](std::int32_t, std::int64_t, std::int64_t left) {
    ends.push_back(text.size() - static_cast<std::size_t>(left));
  });
  const FileResult<void> loaded = store.createRecord(text, "fuzz");
  store.setUnitLoadedHandler(nullptr);
  require(loaded || failureMessages(loaded.error()).size() == 1, "a failed load gives one message");
  return loaded.has_value();
}

// What a save writes, in memory; nothing when the save's check refuses a record.
std::optional<std::string> save(CRecordData& store, std::int32_t kind) {
  std::string out;
  std::optional<SaveProblem> problem;
  const bool written = DataFile::writeText(store, kind, [&out](std::string_view piece) {
    out += piece;
    return true;
  }, problem);
  require(written != problem.has_value(), "a save in memory fails only for a refused record");
  // The same text built the plainest way: every record rebuilt and checked.
  std::string rebuilt = kind == kProjectileStats ? store.ProjVerInfo() : std::string();
  SaveGuard guard(store);
  for (std::int32_t r = 1; r <= store.NoUnits(); ++r) {
    const std::size_t from = rebuilt.size();
    rebuilt += store.getStr2Write(r);
    if (const auto refused = guard.check(r, std::string_view(rebuilt).substr(from))) {
      require(problem && problem->record == r, "a save refuses the first record that would not read back");
      return std::nullopt;
    }
  }
  const std::string_view tail = store.TrailingText();
  rebuilt += tail.empty() ? std::string_view("\r\n\r\n") : tail;
  require(written && out == rebuilt, "copying unchanged records writes what rebuilding every record writes");
  return out;
}

std::vector<std::string_view> records(std::string_view text, std::size_t start,
                                      const std::vector<std::size_t>& ends) {
  std::vector<std::string_view> out;
  for (const std::size_t end : ends) {
    out.push_back(text.substr(start, end - 2 - start));
    start = end;
  }
  return out;
}

// Every value of every field of every record: range 1 is set to all fields meanwhile.
std::vector<std::vector<std::string>> allValues(CRecordData& store) {
  const std::int32_t selected = store.RangeSelected();
  const std::string range1 = store.getSelRangeArrayStr(1);
  store.setRange(1, "1 to " + std::to_string(store.NoFields()) + ",");
  store.setRangeSelected(1);
  auto values = store.returnArrayFieldXUnit(1, 1, store.NoUnits(), store.NoFields());
  store.setRange(1, range1);
  store.setRangeSelected(selected);
  return values;
}

// Whatever loads saves, and loads again to the same values; a second save writes the same bytes.
void checkLoadSaveLoad(CRecordData& store, std::int32_t kind, const std::string& text,
                       const std::vector<std::size_t>& ends) {
  const std::vector<std::string_view> recs = records(text, store.ProjVerInfo().size(), ends);
  require(recs.size() == static_cast<std::size_t>(store.NoUnits()), "one progress report per record");
  for (std::size_t r = 0; r < recs.size(); ++r) {
    if (kind == kUnitProd && r >= kHeaderRecords) continue;  // packed cells are normalised
    require(store.getStr2Write(static_cast<std::int32_t>(r + 1)) == std::string(recs[r]) + "\r\n",
            "a record is written as read, ended by CR LF");
  }
  const std::optional<std::string> saved = save(store, kind);
  require(saved.has_value(), "a loaded file can be saved");
  CRecordData again;
  again.initRanges(kind);
  std::vector<std::size_t> againEnds;
  require(load(again, *saved, againEnds), "a saved file loads again");
  require(allValues(again) == allValues(store), "a saved file reads back to the same values");
  require(save(again, kind) == saved, "saving a saved file changes nothing");
}

void browse(const CRecordData& store, unsigned pick) {
  const std::int32_t rows = store.NoUnits() + 2;
  const std::int32_t columns = store.NoFieldsInSelectedRange() + 2;
  const std::int32_t first = static_cast<std::int32_t>(pick % 4) - 1;  // from before the first row
  require(store.returnArrayUnitNames(first, rows).size() == static_cast<std::size_t>(rows),
          "one name per row asked for");
  const auto cells = store.returnArrayFieldXUnit(first, first, rows, columns);
  require(cells.size() == static_cast<std::size_t>(columns) &&
              cells.front().size() == static_cast<std::size_t>(rows),
          "one cell per column and row asked for");
}

// Every column of one record gets a value cut from the input, any bytes at all, some of them
// empty. A save either refuses the record, which the store then names as unsaveable, or writes
// it so that it reads back with every edit.
void checkEdits(CRecordData& store, std::int32_t kind, unsigned pick, std::string_view text) {
  // The text's length joins the first byte in choosing, so that most mutations choose anew.
  pick += static_cast<unsigned>(text.size());
  const std::int32_t rec = static_cast<std::int32_t>(pick % static_cast<unsigned>(store.NoUnits())) + 1;
  std::map<std::int32_t, std::string> edits;  // by field
  for (std::int32_t column = 1; column <= store.NoFieldsInSelectedRange(); ++column) {
    const auto c = static_cast<unsigned>(column);
    std::string value(text.substr(text.empty() ? 0 : c * 7 % text.size(), (c + pick) % 4));
    store.setField(column, rec, value);
    require(store.returnArrayFieldXUnit(rec, column, 1, 1)[0][0] == value, "an edited field reads back");
    edits[store.actualFieldNoInSelectedRange(column)] = std::move(value);
  }
  if (edits.empty()) return;

  const std::optional<std::string> saved = save(store, kind);
  require(saved.has_value() == (store.saveProblem(rec) == nullptr), "a save refuses exactly the records the store names");
  if (!saved) return;
  CRecordData again;
  again.initRanges(kind);  // range 1 shows every field: column n is field n
  std::vector<std::size_t> ends;
  require(load(again, *saved, ends), "a file saved after edits loads again");
  require(again.NoUnits() == store.NoUnits(), "a file saved after edits keeps its records");
  // A unit file's header rows write their packed cell from field 22 alone.
  const bool headerRow = kind == kUnitProd && rec <= static_cast<std::int32_t>(kHeaderRecords);
  for (const auto& [field, value] : edits)
    if (!headerRow || field <= kPackedFirst || field > kPackedLast)
      require(again.returnArrayFieldXUnit(rec, field, 1, 1)[0][0] == value, "an edit survives a save and a load");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;

  const unsigned selector = data[0];
  const std::int32_t kind = static_cast<std::int32_t>(selector % 3) + 1;
  const std::int32_t range = static_cast<std::int32_t>(selector / 3 % 6) + 1;
  const unsigned pick = selector / 18;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  CRecordData store;
  store.initRanges(kind);
  checkRange(store, range, text);
  checkWidths(store, static_cast<std::int32_t>(pick), text);

  // Every instruction level reads the file as the plain reading does.
  const auto reference = referenceSplit(text, kind);
  for (const auto level : {RecordScan::Level::Portable, RecordScan::Level::Sse2, RecordScan::Level::Avx2}) {
    RecordScan::use(level);
    CRecordData read;
    read.initRanges(kind);
    std::vector<std::size_t> readEnds;
    const bool loaded = load(read, text, readEnds);
    require(loaded == reference.has_value(), "a file loads exactly when the plain reading reads it");
    require(!loaded || allValues(read) == *reference, "the store's values are the plain reading's");
  }
  RecordScan::use(RecordScan::best());

  std::vector<std::size_t> ends;
  if (!load(store, text, ends)) return 0;
  browse(store, pick);
  checkLoadSaveLoad(store, kind, text, ends);
  checkEdits(store, kind, pick, text);
  return 0;
}
