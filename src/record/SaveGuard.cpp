#include "SaveGuard.h"

#include <algorithm>

#include "CRecordData.h"
#include "DataFileFormat.h"
#include "GlobalShared.h"

using namespace DataFileFormat;

namespace {

constexpr std::size_t kNameShown = 40;

bool holds(std::string_view value, char c) { return value.find(c) != std::string_view::npos; }

std::string reasonText(const SaveProblem& problem) {
  using Reason = SaveProblem::Reason;
  switch (problem.reason) {
    case Reason::Tab: return "a TAB in the value would split it into two fields";
    case Reason::LineEnd: return "a line end outside double quotes would end the record early";
    case Reason::UnmatchedQuote:
      return "a double quote (\") without its partner would join the record with the lines after it";
    case Reason::TroopComma: return "a comma in a troop-stat value would split it into two values";
    case Reason::TroopQuote: return "a double quote in the last troop-stat value would end the list early";
    case Reason::TroopBlanks: return "blanks at the start or end of a troop-stat value are not kept";
    case Reason::Semicolon: return "a semicolon in a projectile file would move the file's header past this record";
    case Reason::TooLong:
      return "the record would be " + std::to_string(problem.length) + " characters long; a record may hold at most " +
             std::to_string(kLastTerminatorPosition - 1);
    case Reason::Other: break;
  }
  return "the value would read back as \"" + problem.readBack + "\"";
}

}  // namespace

SaveGuard::SaveGuard(const CRecordData& store)
    : mStore(store),
      mParser(store.mFormID, store.mNoFields, [](std::int32_t, std::int64_t, std::int64_t) {}),
      mRefs(static_cast<std::size_t>(std::max(store.mNoFields, 0))) {}

bool SaveGuard::skipped(std::int32_t iRecNo, std::int32_t field) const {
  return mStore.writtenWithField22(iRecNo, field);
}

bool SaveGuard::readsBack(std::int32_t iRecNo, std::string_view written) {
  // A record written as it was loaded reads back as the load read it: the same bytes, the same
  // parser. Only its values must still be the loaded ones.
  if (!mStore.edited(iRecNo) && written.size() >= 2 && written.substr(0, written.size() - 2) == mStore.loadedRecord(iRecNo))
    return true;
  if (FileKind::of(mStore.mFormID).headerToLastSemicolon && holds(written, ';')) return false;
  std::size_t length = 0;
  mFailure = mParser.readRecord(written, iRecNo, mRefs.data(), length);
  if (mFailure || length + 2 != written.size()) return false;
  mStore.recordValues(iRecNo, mValues);
  for (std::int32_t field = 1; field <= mStore.mNoFields; ++field) {
    const auto k = static_cast<std::size_t>(field - 1);
    if (!skipped(iRecNo, field) && written.substr(mRefs[k].offset, mRefs[k].length) != mValues[k]) return false;
  }
  return true;
}

std::optional<SaveProblem> SaveGuard::check(std::int32_t iRecNo, std::string_view written) {
  if (readsBack(iRecNo, written)) return std::nullopt;
  return explain(iRecNo, written);
}

std::optional<SaveProblem> SaveGuard::valueProblem(std::int32_t iRecNo, std::int32_t field,
                                                   std::string_view value) const {
  using Reason = SaveProblem::Reason;
  const bool unitRow = mStore.mFormID == GlobalShared::kUnitProd && iRecNo > kTroopHeaderRecords;
  const bool troop = unitRow && field >= kTroopFirst && field <= kTroopLast;
  auto problem = [&](Reason reason) { return SaveProblem{iRecNo, field, reason, 0, {}}; };
  if (holds(value, '\t') && (field < mStore.mNoFields || troop)) return problem(Reason::Tab);
  if (FileKind::of(mStore.mFormID).headerToLastSemicolon && holds(value, ';')) return problem(Reason::Semicolon);
  if (!troop) return std::nullopt;
  if (holds(value, ',')) return problem(Reason::TroopComma);
  if (field == kTroopLast && holds(value, '"')) return problem(Reason::TroopQuote);
  if (!value.empty() && (value.front() == ' ' || value.back() == ' ')) return problem(Reason::TroopBlanks);
  return std::nullopt;
}

// The slow path, taken only for a record that would not read back: find the field to blame.
SaveProblem SaveGuard::explain(std::int32_t iRecNo, std::string_view written) {
  using Reason = SaveProblem::Reason;
  const std::int32_t fields = mStore.mNoFields;
  for (std::int32_t field = 1; field <= fields; ++field)
    if (!skipped(iRecNo, field))
      if (auto problem = valueProblem(iRecNo, field, mStore.value(iRecNo, field))) return *problem;

  std::vector<std::size_t> starts;
  std::string rebuilt;
  mStore.writeRecord(iRecNo, rebuilt, &starts);
  const std::string_view body = written.substr(0, written.size() - 2);
  auto fieldAt = [&](std::size_t pos) {
    const auto after = std::upper_bound(starts.begin(), starts.end(), pos);
    return static_cast<std::int32_t>(std::max<std::ptrdiff_t>(after - starts.begin(), 1));
  };
  bool inQuotes = false;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '"') inQuotes = !inQuotes;
    if (body[i] == '\r' && !inQuotes) return {iRecNo, fieldAt(i), Reason::LineEnd, 0, {}};
  }
  if (inQuotes) {
    // The writer's own quotes pair up: the blame goes to the last value with an odd count.
    std::int32_t blamed = fields;
    for (std::int32_t field = fields; field >= 1; --field) {
      const std::string_view value = mStore.value(iRecNo, field);
      if (!skipped(iRecNo, field) && std::count(value.begin(), value.end(), '"') % 2 == 1) {
        blamed = field;
        break;
      }
    }
    return {iRecNo, blamed, Reason::UnmatchedQuote, 0, {}};
  }
  if (body.size() >= kLastTerminatorPosition) {
    std::int32_t longest = 1;
    for (std::int32_t field = 2; field <= fields; ++field)
      if (mStore.value(iRecNo, field).size() > mStore.value(iRecNo, longest).size()) longest = field;
    return {iRecNo, longest, Reason::TooLong, body.size(), {}};
  }
  if (mFailure) return {iRecNo, std::max(mFailure->field, 1), Reason::Other, 0, {}};
  for (std::int32_t field = 1; field <= fields; ++field) {
    const FieldRef ref = mRefs[static_cast<std::size_t>(field - 1)];
    const std::string_view readBack = written.substr(ref.offset, ref.length);
    if (!skipped(iRecNo, field) && readBack != mStore.value(iRecNo, field))
      return {iRecNo, field, Reason::Other, 0, std::string(readBack)};
  }
  return {iRecNo, 1, Reason::Other, 0, {}};
}

std::string SaveGuard::describe(const CRecordData& store, const SaveProblem& problem) {
  std::string name = store.returnArrayUnitNames(problem.record, 1).front();
  if (name.size() > kNameShown) name = name.substr(0, kNameShown) + "...";
  return "Record " + std::to_string(problem.record) + " (\"" + name + "\"), field " + std::to_string(problem.field) +
         ": " + reasonText(problem);
}
