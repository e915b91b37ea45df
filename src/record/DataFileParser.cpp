#include "DataFileParser.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "DataFileFormat.h"
#include "GlobalShared.h"
#include "RecordScan.h"

using namespace DataFileFormat;

DataFileParser::DataFileParser(std::int32_t fileType, std::int32_t noFields, RecordParsed onRecord)
    : mFileType(fileType),
      mNoFields(noFields),
      mCells(fileType == GlobalShared::kUnitProd ? noFields - (kTroopLast - kTroopFirst) : noFields),
      mOnRecord(std::move(onRecord)),
      mRefs(static_cast<std::size_t>(std::max(noFields, 0))),
      mTabs(static_cast<std::size_t>(std::max(mCells - 1, 0))) {}

ParseFailure DataFileParser::failure(ParseFailure::Detail detail, std::int32_t field) const {
  // Until a separator has been found in this load, every failure reads "incorrectly formatted".
  if (!mSeparatorFound && detail != ParseFailure::Detail::NoData) detail = ParseFailure::Detail::IncorrectlyFormatted;
  return ParseFailure{detail, mRecord, field, 0, {}};
}

std::optional<ParseFailure> DataFileParser::parse(const std::string& text, std::size_t dataStart,
                                                 bool separatorFound) {
  mSeparatorFound = separatorFound;
  mRecord = 1;
  mIndex = RecordIndex();
  const auto lenStart = static_cast<std::int64_t>(text.size() - dataStart);
  if (lenStart == 0) return failure(ParseFailure::Detail::NoData, 0);
  if (mNoFields <= 0)
    return ParseFailure{ParseFailure::Detail::Other, mRecord, 0, LoadError::kNoFileType,
                       "Invalid procedure call: the record store was not set up for a kind of file."};
  std::size_t pos = dataStart;
  try {
    for (;; ++mRecord) {
      if (auto failed = parseRecord(text, pos)) return failed;
      mOnRecord(mRecord, lenStart, static_cast<std::int64_t>(text.size() - pos));
      if (pos == text.size() || text[pos] == '\r') break;
      if (mRecord == std::numeric_limits<std::int32_t>::max()) {
        ParseFailure tooMany = failure(ParseFailure::Detail::Other, 0);
        tooMany.errorNumber = LoadError::kTooManyRecords;
        tooMany.errorDescription = "Overflow: the file holds more records than can be counted.";
        return tooMany;
      }
    }
  } catch (const std::bad_alloc&) {
    // Not a fault of the data, so never reported as "incorrectly formatted".
    return ParseFailure{ParseFailure::Detail::Other, mRecord, 0, LoadError::kOutOfMemory,
                       "Out of memory: the file's records do not fit in the memory available."};
  }
  mTailOffset = pos;
  return std::nullopt;
}

std::optional<ParseFailure> DataFileParser::findRecordEnd(std::string_view rest, std::size_t& length) {
  const std::size_t available = rest.size();
  const std::size_t scan = std::min(available, kLastTerminatorPosition);
  const std::size_t end = RecordScan::findEnd(rest.data(), scan, mTabs.data(), mTabs.size(), mTabsFound);
  length = end;
  if (end == scan) {
    // The end of the text is tested before the length limit at each position.
    return failure(available < kLastTerminatorPosition + 1 ? ParseFailure::Detail::EndOfData
                                                          : ParseFailure::Detail::TooLong,
                   0);
  }
  if (end + 1 == available) {
    ParseFailure cut = failure(ParseFailure::Detail::Other, 0);
    cut.errorNumber = LoadError::kTerminatorCut;
    cut.errorDescription = "Input past end of file: the data ends with a carriage return that has no line feed after it.";
    return cut;
  }
  return std::nullopt;
}

std::optional<ParseFailure> DataFileParser::parseRecord(const std::string& text, std::size_t& pos) {
  std::size_t length = 0;
  if (auto failed = findRecordEnd(std::string_view(text).substr(pos), length)) return failed;
  if (auto failed = splitFields(text.data() + pos, length, mRefs.data())) return failed;
  // findRecordEnd made sure that a character follows the CR.
  mIndex.append(pos, mAsWritten && text[pos + length + 1] == '\n');
  pos += length + 2;
  return std::nullopt;
}

std::optional<ParseFailure> DataFileParser::readRecord(std::string_view text, std::int32_t record,
                                                      FieldRef* refs, std::size_t& length) {
  mRecord = record;
  mSeparatorFound = true;
  if (auto failed = findRecordEnd(text, length)) return failed;
  return splitFields(text.data(), length, refs);
}

std::optional<ParseFailure> DataFileParser::splitFields(const char* record, std::size_t length,
                                                       FieldRef* refs) {
  const bool unitFile = mFileType == GlobalShared::kUnitProd;
  mAsWritten = true;
  for (std::int32_t cell = 1; cell <= mCells; ++cell) {
    const std::int32_t field = unitFile && cell > kTroopFirst ? cell + (kTroopLast - kTroopFirst) : cell;
    const std::size_t begin = cell == 1 ? 0 : mTabs[cell - 2] + 1;
    std::size_t end = length;
    if (cell < mCells) {
      if (mTabsFound < static_cast<std::size_t>(cell)) {
        mSeparatorFound = false;
        return failure(ParseFailure::Detail::IncorrectlyFormatted, field);
      }
      end = mTabs[cell - 1];
    }
    mSeparatorFound = true;
    if (unitFile && cell == kTroopFirst) {
      if (!splitTroopStats(record, begin, end, refs))
        return ParseFailure{ParseFailure::Detail::IncorrectlyFormatted, mRecord, mFailedField, 0, {}};
      if (!troopCellFitsWhenWritten(length, end - begin, refs))
        return ParseFailure{ParseFailure::Detail::TooLong, mRecord, kTroopFirst, 0, {}};
      mAsWritten = listAsWritten(record, begin, end, refs);
    } else {
      refs[field - 1] = {static_cast<std::uint16_t>(begin), static_cast<std::uint16_t>(end - begin)};
    }
  }
  return std::nullopt;
}

// The packed cell: "v22, v23, ..., v43" with each value trimmed of blanks. A cell without its
// opening quote or with fewer than 22 values fails the load, so that a save never silently
// drops a character or invents the missing values. The save writes the cell anew between
// quotes of its own: a cell whose quotes would then change the record's quote count (the 22nd
// value not ended inside the cell, or an even number of quotes after it) fails too.
bool DataFileParser::splitTroopStats(const char* record, std::size_t begin, std::size_t end,
                                     FieldRef* refs) {
  auto ref = [](std::size_t from, std::size_t to) {
    return FieldRef{static_cast<std::uint16_t>(from), static_cast<std::uint16_t>(to - from)};
  };
  if (mRecord <= kTroopHeaderRecords || begin == end) {
    std::fill(refs + kTroopFirst - 1, refs + kTroopLast, ref(begin, end));
    return true;
  }
  if (record[begin] != '"') {  // skipping a character that is not the quote would lose it
    mFailedField = kTroopFirst;
    return false;
  }
  std::size_t from = begin + 1;
  for (std::int32_t field = kTroopFirst; field <= kTroopLast; ++field) {
    const bool last = field == kTroopLast;
    std::size_t to = from;
    if (last) {
      while (to < end && record[to] != ',' && record[to] != '"') ++to;
    } else if (from < end) {
      const void* comma = std::memchr(record + from, ',', end - from);
      to = comma ? static_cast<std::size_t>(static_cast<const char*>(comma) - record) : end;
    }
    if (to >= end) {
      mFailedField = field;
      return false;
    }
    std::size_t first = std::min(from, to);
    std::size_t stop = to;
    while (first < stop && record[first] == ' ') ++first;
    while (stop > first && record[stop - 1] == ' ') --stop;
    refs[field - 1] = ref(first, stop);
    if (last && std::count(record + to, record + end, '"') % 2 == 0) {
      mFailedField = field;
      return false;
    }
    from = to + 1;
  }
  return true;
}

// Whether the record, its packed cell written as the save writes it, still fits the length limit.
bool DataFileParser::troopCellFitsWhenWritten(std::size_t length, std::size_t cellLength,
                                              const FieldRef* refs) const {
  if (mRecord <= kTroopHeaderRecords || cellLength == 0) return true;
  std::size_t written = 2 + 2 * (kTroopLast - kTroopFirst);  // the quotes and the ", " separators
  for (std::int32_t field = kTroopFirst; field <= kTroopLast; ++field) written += refs[field - 1].length;
  return length - cellLength + written < kLastTerminatorPosition;
}

// Whether the packed cell is already in the form the save writes: `"v22, v23, ..., v43"`, or
// empty when every value is.
bool DataFileParser::listAsWritten(const char* record, std::size_t begin, std::size_t end, const FieldRef* refs) const {
  if (mRecord <= kTroopHeaderRecords || begin == end) return true;
  std::size_t at = begin + 1;  // past the opening quote
  bool anyValue = false;
  for (std::int32_t field = kTroopFirst; field <= kTroopLast; ++field) {
    const FieldRef ref = refs[field - 1];
    if (ref.offset != at) return false;
    at += ref.length;
    anyValue = anyValue || ref.length > 0;
    const char* separator = field < kTroopLast ? ", " : "\"";
    for (const char* c = separator; *c != '\0'; ++c, ++at)
      if (at >= end || record[at] != *c) return false;
  }
  return anyValue && at == end;
}
