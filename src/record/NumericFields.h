#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

class CRecordData;

// Whether the other units hold numbers in a field: a value that is none stands out there. Judged
// on the values as the file held them, so that what was typed or pasted is never its own
// evidence. Found per field when first asked: a field whose values are text is given up at its
// second one, so only number fields are read whole, once per loaded text.
class NumericFields {
 public:
  // Whether every data record but iRecNo held a number in the field, at least one of them.
  bool othersHoldNumbers(const CRecordData& record, std::int32_t iRecNo, std::int32_t iField);
  // A new text was loaded: a fresh store may reuse the old one's memory.
  void forget() { mFields.clear(); }

 private:
  // Counts stop at two: a second of a kind is all a question about one record needs.
  struct Field {
    bool known = false;
    std::int32_t numbers = 0, others = 0;
    std::int32_t firstNumber = 0, firstOther = 0;
  };
  Field scan(const CRecordData& record, std::int32_t iField) const;

  std::string_view mText;  // the loaded text the answers are for
  std::vector<Field> mFields;  // from field 1
};
