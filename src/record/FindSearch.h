#pragma once
#include <cstdint>
#include <optional>
#include <string>

class CRecordData;

// Find's walk through the store: the units in order, a unit's searched fields one after the
// other, wrapping at either end; letter case aside, in the file's code page (windows-1252).
namespace FindSearch {

struct Request {
  std::string text;            // code-page bytes; empty finds nothing
  std::int32_t firstUnit = 1;  // the records before it are header rows, never searched
  std::int32_t nameField = 1;
  bool allValues = false;      // every field of the selected range, else the name field alone
  std::int32_t record = 1;     // where the walk starts: a record and, for all values, a display
  std::int32_t column = 1;     // column of the selected range (clamped to it)
  bool backwards = false;
  bool startCounts = true;     // false: the walk starts one place past `record`/`column`
};

struct Match {
  std::int32_t record = 0;
  std::int32_t column = 0;  // the display column for all values; 0 for a name
  bool wrapped = false;     // passed the last unit (backwards: the first) to get here
};

std::optional<Match> next(const CRecordData& store, const Request& request);

}  // namespace FindSearch
