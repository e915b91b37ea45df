// Drives the record store with arbitrary bytes. The first byte picks the kind of file, the field
// range and the positions to browse and edit; the rest is the text, read alike as a data file, a
// range text and a width list. Violations abort with a line on standard error.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "CRecordData.h"
#include "Require.h"
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
  messageBoxesShown() = 0;
  const bool ok = store.createRecord(text, "fuzz");
  store.setUnitLoadedHandler(nullptr);
  require(messageBoxesShown() == (ok ? 0 : 1), "a load shows one message box exactly when it fails");
  return ok;
}

// What a save writes, in memory.
std::string save(CRecordData& store, std::int32_t kind) {
  std::string out = kind == kProjectileStats ? store.ProjVerInfo() : std::string();
  for (std::int32_t r = 1; r <= store.NoUnits(); ++r) out += store.getStr2Write(r);
  const std::string_view tail = store.TrailingText();
  out += tail.empty() ? std::string_view("\r\n\r\n") : tail;
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

// A save rewrites a unit's packed cell between quotes of its own and drops what follows its 22nd
// value. That keeps the record's quote parity, and so where the reload ends it, only when the
// cell's sole quotes were its first and last character, or it had none, and the rest of the
// record has none. Records written as read keep their ends anyway.
bool packedCellsKeepQuoteParity(const std::vector<std::string_view>& recs) {
  for (std::size_t r = kHeaderRecords; r < recs.size(); ++r) {
    const std::string_view rec = recs[r];
    std::size_t begin = 0;
    for (std::int32_t tab = 1; tab < kPackedFirst; ++tab) begin = rec.find('\t', begin) + 1;
    const std::size_t end = rec.find('\t', begin);  // a load needs more cells than 22
    const auto quotes = std::count(rec.begin(), rec.end(), '"');
    if (begin == end || quotes == 0) continue;
    if (quotes != 2 || end - begin < 2 || rec[begin] != '"' || rec[end - 1] != '"') return false;
  }
  return true;
}

// Returns whether the check applied: a unit file whose quotes a save may move is left out.
bool checkLoadSaveLoad(CRecordData& store, std::int32_t kind, const std::string& text,
                       const std::vector<std::size_t>& ends) {
  const std::vector<std::string_view> recs = records(text, store.ProjVerInfo().size(), ends);
  require(recs.size() == static_cast<std::size_t>(store.NoUnits()), "one progress report per record");
  for (std::size_t r = 0; r < recs.size(); ++r) {
    if (kind == kUnitProd && r >= kHeaderRecords) continue;  // packed cells are normalised
    require(store.getStr2Write(static_cast<std::int32_t>(r + 1)) == std::string(recs[r]) + "\r\n",
            "a record is written as read, ended by CR LF");
  }
  if (kind == kUnitProd && !packedCellsKeepQuoteParity(recs)) return false;

  const std::string saved = save(store, kind);
  CRecordData again;
  again.initRanges(kind);
  std::vector<std::size_t> againEnds;
  require(load(again, saved, againEnds), "a saved file loads again");
  require(again.NoUnits() == store.NoUnits(), "a saved file keeps its records");
  require(save(again, kind) == saved, "saving a saved file changes nothing");
  return true;
}

// Bytes a user can type into a cell without touching the file's structure: no TAB, line end,
// quote, list comma, header semicolon or blank that a packed value would lose.
std::string plainText(std::string_view text) {
  std::string plain;
  for (const char c : text)
    if (std::string_view("\t\r\n\",; ").find(c) == std::string_view::npos) plain += c;
  return plain;
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

// Every column of one record gets a plain value, some of them empty; saved and loaded again, the
// record holds the edits. An edit that removes a quote moves the record's end, so a record with
// quotes of its own is only read back in memory; a unit's packed cell is quoted by the writer.
void checkEdits(CRecordData& store, std::int32_t kind, unsigned pick, std::string_view text) {
  // The text's length joins the first byte in choosing, so that most mutations choose anew.
  pick += static_cast<unsigned>(text.size());
  const std::int32_t rec = static_cast<std::int32_t>(pick % static_cast<unsigned>(store.NoUnits())) + 1;
  const bool unitRow = kind == kUnitProd && rec > static_cast<std::int32_t>(kHeaderRecords);
  const bool keepsItsEnd = unitRow || store.getStr2Write(rec).find('"') == std::string::npos;
  const std::string plain = plainText(text);
  std::map<std::int32_t, std::string> edits;  // by field
  for (std::int32_t column = 1; column <= store.NoFieldsInSelectedRange(); ++column) {
    const auto c = static_cast<unsigned>(column);
    std::string value = plain.substr(plain.empty() ? 0 : c * 7 % plain.size(), (c + pick) % 4);
    store.setField(column, rec, value);
    require(store.returnArrayFieldXUnit(rec, column, 1, 1)[0][0] == value, "an edited field reads back");
    edits[store.actualFieldNoInSelectedRange(column)] = std::move(value);
  }
  if (edits.empty() || !keepsItsEnd) return;

  CRecordData again;
  again.initRanges(kind);  // range 1 shows every field: column n is field n
  std::vector<std::size_t> ends;
  require(load(again, save(store, kind), ends), "a file saved after edits loads again");
  // A unit file's header rows write their packed cell from field 22 alone.
  const bool headerRow = kind == kUnitProd && rec <= static_cast<std::int32_t>(kHeaderRecords);
  for (const auto& [field, value] : edits)
    if (!headerRow || field < kPackedFirst || field > kPackedLast)
      require(again.returnArrayFieldXUnit(rec, field, 1, 1)[0][0] == value,
              "an edit survives a save and a load");
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

  std::vector<std::size_t> ends;
  if (!load(store, text, ends)) return 0;
  browse(store, pick);
  if (checkLoadSaveLoad(store, kind, text, ends)) checkEdits(store, kind, pick, text);
  return 0;
}
