#include "NumericFields.h"

#include <algorithm>

#include "CRecordData.h"
#include "FileKind.h"
#include "ValueChange.h"

bool NumericFields::othersHoldNumbers(const CRecordData& record, std::int32_t iRecNo, std::int32_t iField) {
  const std::string_view text = record.loadedText();
  if (text.data() != mText.data() || text.size() != mText.size() || mFields.empty()) {
    mText = text;
    mFields.assign(static_cast<std::size_t>(record.NoFields()), Field{});
  }
  if (iField < 1 || static_cast<std::size_t>(iField) > mFields.size()) return false;
  Field& field = mFields[static_cast<std::size_t>(iField - 1)];
  if (!field.known) field = scan(record, iField);
  const bool otherText = field.others > 1 || (field.others == 1 && field.firstOther != iRecNo);
  const bool otherNumber = field.numbers > 1 || (field.numbers == 1 && field.firstNumber != iRecNo);
  return otherNumber && !otherText;
}

NumericFields::Field NumericFields::scan(const CRecordData& record, std::int32_t iField) const {
  Field field;
  field.known = true;
  for (std::int32_t unit = FileKind::of(record.FormID()).firstUnit; unit <= record.NoUnits() && field.others < 2; ++unit) {
    const bool number = ValueChange::isNumber(record.loadedValue(unit, iField));
    std::int32_t& count = number ? field.numbers : field.others;
    std::int32_t& first = number ? field.firstNumber : field.firstOther;
    if (count == 0) first = unit;
    count = std::min(count + 1, 2);
  }
  return field;
}
