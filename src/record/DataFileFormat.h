#pragma once
#include <cstddef>
#include <cstdint>

#include "FileKind.h"

// Fixed numbers of the data-file grammar shared by the parser and the writer.
namespace DataFileFormat {

// A record's CR must lie at this position or earlier, counted from 1 at the record's start.
constexpr std::size_t kLastTerminatorPosition = 39999;
// The most characters a record, and so any one value, can hold.
constexpr std::size_t kLongestRecord = kLastTerminatorPosition - 1;

// A unit file keeps fields 22 to 43 in one quoted, comma-separated cell, except in its four
// header records, whose cell text stands for all 22 fields.
constexpr std::int32_t kTroopFirst = FileKinds::kUnits.packed.first;
constexpr std::int32_t kTroopLast = FileKinds::kUnits.packed.last;
constexpr std::int32_t kTroopHeaderRecords = FileKinds::kUnits.headerRows();

}  // namespace DataFileFormat
