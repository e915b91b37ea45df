#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RecordPairing.h"

class CRecordData;

// What one file changed against another of the same kind, value by value, records paired by
// their unit (RecordPairing): the lines that `pelkoTool diff` prints and that `pelkoTool apply`
// carries over onto a third file.
namespace DataDiff {

struct Change {
  std::int32_t record = 0;  // in `before`: the record the line's name belongs to
  std::int32_t field = 0;
  std::string oldValue;
  std::string newValue;
  std::int32_t afterRecord = 0;  // the record of `after` paired with it; 0 in a parsed line
  std::string name;              // the unit's name and the field's title, in a parsed line only
  std::string title;
};

struct Comparison {
  RecordPairing pairing;
  std::vector<Change> changes;
};

// Pairs the stores' records by unit, and lists every value that differs in the records paired,
// by before's record, then field. A unit file's header rows keep fields 22 to 43 in one cell,
// which field 22 stands for. Files that name the same units in the same order cost one pass
// that passes over byte-equal records, as a comparison by number would.
Comparison compare(const CRecordData& before, const CRecordData& after);

// A diff line without its line end, TAB-separated: record (in `before`), the unit's name in
// `before`, field, the field's title (its text in before's first header row), old value, new
// value. Backslash, TAB, CR and LF are written as \\, \t, \r and \n.
std::string line(const CRecordData& before, const Change& change);
// The change of a line that `line` wrote; nothing for any other line.
std::optional<Change> parseLine(std::string_view text);

std::string escape(std::string_view value);
// The value `escape` wrote; nothing for a backslash that escapes no such character.
std::optional<std::string> unescape(std::string_view text);

// The records without a counterpart: "added" lines for those of `after`, "missing" for those of
// `before`, TAB-separated with the record's number and name in its own file.
std::vector<std::string> recordLines(const CRecordData& before, const CRecordData& after, const RecordPairing& pairing);

// False when the changes were made on another kind of file than the target: not one of their
// field titles is the title the target gives that field. Changes without lines fit any file.
bool fitsKind(const CRecordData& target, const std::vector<Change>& changes);

struct Conflict {
  enum class Cause {
    Value,         // the target holds neither the old nor the new value
    NoField,       // the target's records have no such field
    NoUnit,        // no record of the target holds the unit
    SeveralUnits,  // the unit is not at its number, and more than one record holds its name
  };
  Change change;
  Cause cause = Cause::Value;
  std::string found;         // the target's value, for Value
  std::int32_t holders = 0;  // for SeveralUnits
};

// A unit the target holds at another record than the changes' one.
struct Move {
  std::int32_t from = 0;
  std::int32_t to = 0;
  std::string name;
};

struct Applied {
  std::vector<Conflict> conflicts;
  std::vector<Move> moves;
};

// What a target holds where a change lands: the change's old value (the change can be taken), its
// new one already (nothing to do), or something else (a conflict).
enum class Holds { Old, New, Other, NoUnit, SeveralUnits, NoField };
Holds holds(std::string_view found, const std::string& oldValue, const std::string& newValue);

struct Landing {
  std::int32_t record = 0;  // the target's record; 0 for NoUnit and SeveralUnits
  Holds holds = Holds::NoUnit;
  std::int32_t holders = 0;  // records of the target holding the unit's name
};

// Where changes land in a target, by the rule of `apply` below. Every unit is placed when it is
// made, before a value of the target changes; the changes must outlive it.
class Resolver {
 public:
  Resolver(const CRecordData& target, const std::vector<Change>& changes);
  Landing land(const Change& change) const;
  const std::vector<Move>& moves() const { return mMoves; }

 private:
  const CRecordData& mTarget;
  std::map<std::pair<std::int32_t, std::string_view>, std::pair<std::int32_t, std::int32_t>> mPlaces;  // record, holders
  std::vector<Move> mMoves;
};

// Each change goes to the target's record of its number when that holds the change's unit (its
// name, or either name of a rename the changes make), else to the one record of that name,
// which is a move. Where that record holds the old value it gets the new one; where it holds the
// new one already, nothing happens; anything else is a conflict, which gets the new value too
// only when `force` (a unit or field the target lacks never does).
Applied apply(CRecordData& target, const std::vector<Change>& changes, bool force);

}  // namespace DataDiff
