#pragma once
#include <cstdint>
#include <vector>

class CRecordData;

// The sorted view's order: the records reordered by the values of one field, the file's own
// order untouched. Ascending, numbers come first, smallest first, then text, then empty values;
// descending, text comes first, then numbers, largest first, and empty values stay last. Values
// that compare equal keep file order (by record number) in both directions.
// - A number is what ValueChange::isNumber accepts ("-3", "2.50"), compared by its value as a
//   double: "2.5" and "2.50" are equal, as are numbers alike to about 15 digits.
// - Text compares alphabetically with letter case aside, an accented letter beside its base
//   letter (windows-1252): "e" < "\xC9lan" < "f"; where only accents differ the plain letter
//   comes first, where only letter case differs the values are equal.
// - A value of blanks is text.
void sortUnits(const CRecordData& store, std::int32_t field, bool descending, std::vector<std::int32_t>& records);
