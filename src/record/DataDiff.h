#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CRecordData;

// What one file changed against another of the same kind, value by value: the lines that
// `pelkoTool diff` prints and that `pelkoTool apply` carries over onto a third file.
namespace DataDiff {

struct Change {
  std::int32_t record = 0;
  std::int32_t field = 0;
  std::string oldValue;
  std::string newValue;
};

// Every value that differs in the records both stores hold, by record, then field. A unit file's
// header rows keep fields 22 to 43 in one cell, which field 22 stands for.
std::vector<Change> compare(const CRecordData& before, const CRecordData& after);

// A diff line without its line end, TAB-separated: record, the record's name in `after`, field,
// the field's title (its text in the first header row), old value, new value. Backslash, TAB,
// CR and LF are written as \\, \t, \r and \n.
std::string line(const CRecordData& after, const Change& change);
// The change of a line that `line` wrote; nothing for any other line.
std::optional<Change> parseLine(std::string_view text);

std::string escape(std::string_view value);
// The value `escape` wrote; nothing for a backslash that escapes no such character.
std::optional<std::string> unescape(std::string_view text);

// The records only one of the stores holds: "added" lines for those of `after`, "missing" for
// those of `before`, TAB-separated with the record's number and name.
std::vector<std::string> recordLines(const CRecordData& before, const CRecordData& after);

struct Conflict {
  Change change;
  std::string found;  // the target's value; empty when it has no such record or field
};

// Where the target holds a change's old value, it gets the new one; where it holds the new one
// already, nothing happens; anything else is a conflict, which gets the new value too only when
// `force` (a record or field the target lacks never does). Returns the conflicts.
std::vector<Conflict> apply(CRecordData& target, const std::vector<Change>& changes, bool force);

}  // namespace DataDiff
