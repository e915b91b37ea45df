#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RecordIndex.h"

// Where a field's value lies in its record's text. A record is at most 39,998 characters long.
struct FieldRef {
  std::uint16_t offset;
  std::uint16_t length;
};

// Why a load stopped, already reduced to the detail the user is shown.
struct ParseFailure {
  enum class Detail { NoData, IncorrectlyFormatted, TooLong, EndOfData, Other };
  Detail detail;
  std::int32_t record;
  std::int32_t field;  // 0 while the record's end is still being searched
  int errorNumber = 0;  // for Detail::Other
  std::string errorDescription;
};

// Our own codes for failures the data-file grammar does not name ("Err.No" / "Err.desc").
namespace LoadError {
constexpr int kOutOfMemory = 7;         // the records do not fit in memory
constexpr int kTooManyRecords = 6;      // more records than a Long can count
constexpr int kNoFileType = 5;          // the store was not set up for a kind of file
constexpr int kTerminatorCut = 62;      // the data ends with a CR and no character after it
}  // namespace LoadError

// Splits a data file's text into records and fields by the data-file grammar. The header of a
// projectile file is split off by the caller; parsing starts at dataStart.
class DataFileParser {
 public:
  using RecordParsed = std::function<void(std::int32_t record, std::int64_t lenStart, std::int64_t lenLeft)>;

  DataFileParser(std::int32_t fileType, std::int32_t noFields, RecordParsed onRecord);

  // separatorFound: whether a header semicolon was found, which makes later failures name their
  // cause instead of the plain "incorrectly formatted".
  std::optional<ParseFailure> parse(const std::string& text, std::size_t dataStart, bool separatorFound);

  // Reads text that starts a record, as record `record` of a file whose earlier records loaded:
  // its NoFields fields go to refs and `length` gets the record's length before its CR. The
  // save's check reads each written record with this, the same code a load runs.
  std::optional<ParseFailure> readRecord(std::string_view text, std::int32_t record, FieldRef* refs,
                                        std::size_t& length);

  RecordIndex takeIndex() { return std::move(mIndex); }
  // Everything after the empty line that ends the data (starts with that line's CR), or empty.
  std::size_t tailOffset() const { return mTailOffset; }

 private:
  std::optional<ParseFailure> parseRecord(const std::string& text, std::size_t& pos);
  std::optional<ParseFailure> findRecordEnd(std::string_view rest, std::size_t& length);
  bool listAsWritten(const char* record, std::size_t begin, std::size_t end, const FieldRef* refs) const;
  std::optional<ParseFailure> splitFields(const char* record, std::size_t length, FieldRef* refs);
  bool splitTroopStats(const char* cell, std::size_t begin, std::size_t end, FieldRef* refs);
  bool troopCellFitsWhenWritten(std::size_t length, std::size_t cellLength, const FieldRef* refs) const;
  ParseFailure failure(ParseFailure::Detail detail, std::int32_t field) const;

  std::int32_t mFileType;
  std::int32_t mNoFields;
  std::int32_t mCells;  // TAB-separated cells per line: a unit file packs fields 22-43 into one
  RecordParsed mOnRecord;
  RecordIndex mIndex;
  std::vector<FieldRef> mRefs;          // the record being read
  std::vector<std::uint32_t> mTabs;     // where its first mCells - 1 TABs are
  std::size_t mTabsFound = 0;
  bool mAsWritten = true;               // whether the record being read is written back as read
  std::int32_t mRecord = 0;
  std::int32_t mFailedField = 0;
  bool mSeparatorFound = false;
  std::size_t mTailOffset = 0;
};
