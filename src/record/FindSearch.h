#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CellBlock.h"
#include "CellChanges.h"
#include "UnitView.h"

class CRecordData;

// Find's walk through the store: the units in order, a unit's searched fields one after the
// other, wrapping at either end; letter case aside unless asked, in the file's code page
// (windows-1252). Replace works on the same matches, on the file's bytes as they are.
namespace FindSearch {

struct Request {
  std::string text;            // code-page bytes; empty finds nothing
  std::int32_t firstUnit = 1;  // the records before it are header rows, never searched
  std::int32_t nameField = 1;
  bool allValues = false;      // every field of the selected range, else the name field alone
  bool matchCase = false;
  bool wholeValue = false;     // the text must be the whole value, not a part of it
  std::int32_t record = 1;     // where the walk starts: a row of `view` and, for all values, a
  std::int32_t column = 1;     // display column of the selected range (clamped to it)
  const UnitView* view = nullptr;  // the units walked, in its order; none: every unit in file order
  bool backwards = false;
  bool startCounts = true;     // false: the walk starts one place past `record`/`column`
};

struct Match {
  std::int32_t record = 0;  // the record, not its row
  std::int32_t column = 0;  // the display column for all values; 0 for a name
  bool wrapped = false;     // passed the last unit (backwards: the first) to get here
};

std::optional<Match> next(const CRecordData& store, const Request& request);

// The display column of the selected range whose field's header rows (the records before
// firstUnit, which make its column's header) hold the text, letter case aside: the first from
// startColumn on (wrapped into the range), or back from it, wrapping at either end.
std::optional<std::int32_t> fieldByTitle(const CRecordData& store, std::string_view text, std::int32_t firstUnit,
                                         std::int32_t startColumn, bool backwards = false);

// The byte's lower-case partner in windows-1252, as Qt's toLower() gives it; itself when it has none.
unsigned char fold(char c);

// How find, replace and the unit filter compare a text with values: letter case aside unless
// asked, a part of the value or with wholeValue all of it.
class Matcher {
 public:
  Matcher(std::string needle, bool matchCase, bool wholeValue);
  explicit Matcher(const Request& request) : Matcher(request.text, request.matchCase, request.wholeValue) {}

  std::size_t size() const { return mNeedle.size(); }
  bool wholeValue() const { return mWholeValue; }
  // The byte and the other byte that matches it (itself when none does, or with matchCase).
  std::array<char, 2> forms(char c) const;
  // Where the text's next occurrence at or after `from` starts; npos when there is none.
  std::size_t find(std::string_view value, std::size_t from = 0) const;
  // The value is a match: holds the text, or is the text with wholeValue.
  bool matches(std::string_view value) const;
  // The text's size() bytes at `at` are the text.
  bool sameAt(const char* at) const;

 private:
  std::string mNeedle;
  bool mMatchCase;
  bool mWholeValue;
  std::array<char, 2> mFirst{};
};

struct Replace {
  std::string with;  // code-page bytes; empty deletes the text
  // A value that would grow longer is left as it is: a record holds only so much, and a value
  // made of thousands of replaced matches would be no use to anyone.
  std::size_t longest = std::string::npos;
};

// The values a replace looks at: the records in order, in each the fields in order.
struct Cells {
  std::vector<std::int32_t> records;
  std::vector<std::int32_t> fields;
};
// The units a find walks (request.view's): the name field alone, or every field of the selected
// range.
Cells inUnits(const CRecordData& store, const Request& request);
// The block's values (its records are rows of request.view), or with names only the names of its
// units; header rows (before request.firstUnit) left out.
Cells inBlock(const CRecordData& store, const Request& request, const CellBlock& block);

struct Replacement {
  CellChanges cells;        // the values that change, in record order
  std::size_t tooLong = 0;  // matching values left alone: they would grow past Replace::longest
};

// Every match in every value of `where` replaced: each occurrence of the text, left to right, or
// the whole value with wholeValue. A value the replacement leaves as it was is no change.
Replacement replaceAll(const CRecordData& store, const Request& request, const Replace& replace, const Cells& where);

}  // namespace FindSearch
