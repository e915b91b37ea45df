#pragma once
#include <cstdint>

// What CRecordData::setRange reports: the last event in the text's order wins.
enum RangeStatus : std::int32_t {
  kAccepted = 0,
  kAboveMax = 1,          // a number above the field count, taken as the count
  kBelowOne = 2,          // a number below 1, taken as 1
  kOtherFailure = 4,      // more numbers than fields, "x to" without its end, or no such range
  kTooLargeForLong = 6,   // a number that does not fit a Long
};
