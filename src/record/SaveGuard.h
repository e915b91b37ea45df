#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DataFileParser.h"

class CRecordData;

// Why a record, once written, would not read back as the store holds it.
struct SaveProblem {
  enum class Reason { Tab, LineEnd, UnmatchedQuote, TroopComma, TroopQuote, TroopBlanks, Semicolon, TooLong, Other };
  std::int32_t record = 0;
  std::int32_t field = 0;
  Reason reason = Reason::Other;
  std::size_t length = 0;    // the record's written length, for TooLong
  std::string readBack;      // what the field would read back as, for Other
};

// The one place that knows what a data file can hold: a record's written text is read again by
// the load's own parser and compared field by field with the store. Every record starts outside
// quotes, so each is checked on its own.
class SaveGuard {
 public:
  explicit SaveGuard(const CRecordData& store);

  // Nothing when `written` (the record's text, CR LF included) reads back as record iRecNo of
  // the store; else the field to blame and why.
  std::optional<SaveProblem> check(std::int32_t iRecNo, std::string_view written);

  // `Record 12 ("Knight"), field 23: <why, in plain words>`
  static std::string describe(const CRecordData& store, const SaveProblem& problem);

 private:
  bool readsBack(std::int32_t iRecNo, std::string_view written);
  SaveProblem explain(std::int32_t iRecNo, std::string_view written);
  std::optional<SaveProblem> valueProblem(std::int32_t iRecNo, std::int32_t field, std::string_view value) const;
  bool skipped(std::int32_t iRecNo, std::int32_t field) const;

  const CRecordData& mStore;
  DataFileParser mParser;
  std::vector<FieldRef> mRefs;
  std::vector<std::string_view> mValues;  // the store's, of the record checked
  std::optional<ParseFailure> mFailure;
};
