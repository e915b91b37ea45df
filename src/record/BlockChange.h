#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CellBlock.h"
#include "CellChanges.h"
#include "Expected.h"
#include "UnitView.h"
#include "ValueChange.h"

class CRecordData;

// The values one Change Values acts on: fields (not display columns) of data records, in the
// order given; with a name text, only the units whose name holds it, in any letter case.
struct ChangeTargets {
  std::vector<std::int32_t> fields;
  std::vector<std::int32_t> records;
  std::string nameContains;

  // The block's display columns as fields of the selected range, its rows as the view's records.
  static ChangeTargets of(const CRecordData& record, const UnitView& view, const CellBlock& block);
  // The fields of every unit of the file.
  static ChangeTargets allUnits(const CRecordData& record, std::vector<std::int32_t> fields, std::string name = {});
};

struct BlockChange {
  CellChanges cells;  // only the values whose text changes
  std::size_t changed = 0, unchanged = 0, skipped = 0;  // skipped: not numbers
};

// A result that does not fit the arithmetic: nothing may be changed then.
struct ChangeTooLarge {
  std::int32_t record = 0, field = 0;
  std::string value;
};

// The change of every target value, the store left as it is. A field whose data values are all
// whole numbers (header rows aside) keeps whole numbers.
pelko::expected<BlockChange, ChangeTooLarge> changeValues(const CRecordData& record, const ValueChange& change,
                                                          const ChangeTargets& targets);
