#pragma once
#include <cstddef>
#include <cstdint>

// Fixed numbers of the data-file grammar shared by the parser and the writer.
namespace DataFileFormat {

// A record's CR must lie at this position or earlier, counted from 1 at the record's start.
constexpr std::size_t kLastTerminatorPosition = 39999;
// The most characters a record, and so any one value, can hold.
constexpr std::size_t kLongestRecord = kLastTerminatorPosition - 1;

// A unit file keeps fields 22 to 43 in one quoted, comma-separated cell, except in its four
// header records, whose cell text stands for all 22 fields.
constexpr std::int32_t kTroopFirst = 22;
constexpr std::int32_t kTroopLast = 43;
constexpr std::int32_t kTroopHeaderRecords = 4;

constexpr std::int32_t noFields(std::int32_t fileType) {
  switch (fileType) {
    case 1: return 71;
    case 2: return 28;
    case 3: return 38;
    default: return 0;
  }
}

// The first record that is a unit; the records before it are header rows.
constexpr std::int32_t firstDataUnit(std::int32_t fileType) { return fileType == 3 ? 2 : 5; }

// The field that holds a unit's name: the one the grid shows beside each row, and by which two
// files' records are paired.
constexpr std::int32_t nameField(std::int32_t fileType) { return fileType == 2 ? 2 : 1; }

}  // namespace DataFileFormat
