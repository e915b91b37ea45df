#include "EditedFile.h"

#include <algorithm>

#include "DataDiff.h"

CRecordData& EditedFile::reset() {
  mRecord = std::make_unique<CRecordData>();
  mSteps.clear();
  mDone = 0;
  mSavedAt = 0;
  mDefaults.clear();
  mCompared = false;
  mComparedFields = 0;
  mWithoutDefault.clear();
  mDefaultsWithoutRecord = 0;
  return *mRecord;
}

void EditedFile::markSaved() {
  mDataChanged = false;
  mSavedAt = mDone;
}

void EditedFile::setValue(std::int32_t iRecNo, std::int32_t iField, std::string value) {
  noteDefault(iRecNo, iField, mRecord->value(iRecNo, iField), value);
  mRecord->setValue(iRecNo, iField, std::move(value));
}

void EditedFile::noteDefault(std::int32_t iRecNo, std::int32_t iField, std::string_view now, std::string_view value) {
  if (!compared(iRecNo, iField)) return;
  const auto found = mDefaults.find(key(iRecNo, iField));
  if (found == mDefaults.end()) {
    if (value != now) mDefaults.emplace(key(iRecNo, iField), now);
  } else if (found->second == value) {
    mDefaults.erase(found);
  }
}

void EditedFile::addStep(Step step) {
  mSteps.resize(mDone);
  if (mSavedAt && *mSavedAt > mDone) mSavedAt.reset();
  mSteps.push_back(std::move(step));
  ++mDone;
  tell(HistorySink::Change::Step);
}

bool EditedFile::makeStep(Step step) {
  if (step.cells.empty()) return false;
  step.cells.seal();
  addStep(std::move(step));
  putBack(mSteps.back(), true);
  return true;
}

const EditedFile::Step* EditedFile::undo() {
  if (mDone == 0) return nullptr;
  --mDone;
  const Step* step = putBack(mSteps[mDone], false);
  tell(HistorySink::Change::Undo);
  return step;
}

const EditedFile::Step* EditedFile::redo() {
  if (mDone == mSteps.size()) return nullptr;
  ++mDone;
  const Step* step = putBack(mSteps[mDone - 1], true);
  tell(HistorySink::Change::Redo);
  return step;
}

// A record's values go in together, checked once.
const EditedFile::Step* EditedFile::putBack(const Step& step, bool after) {
  std::vector<CRecordData::Replacement> values;
  std::int32_t record = 0;
  const auto flush = [&] {
    if (!values.empty()) mRecord->setValues(record, values);
    values.clear();
  };
  for (const CellChanges::Cell& cell : step.cells) {
    if (cell.record != record) flush();
    record = cell.record;
    // The step's other side is what the store holds: a step is made of values read from it.
    const std::string_view now = after ? cell.before : cell.after, value = after ? cell.after : cell.before;
    noteDefault(cell.record, cell.field, now, value);
    values.push_back({cell.field, now, value});
  }
  flush();
  mDataChanged = mSavedAt != mDone;
  return &step;
}

// A value of a record without a counterpart has no default: it never counts as a difference.
bool EditedFile::compared(std::int32_t iRecNo, std::int32_t iField) const {
  return mCompared && iRecNo >= 1 && iRecNo <= mRecord->NoUnits() && iField <= mComparedFields &&
         !mRecord->writtenWithField22(iRecNo, iField) &&
         !std::binary_search(mWithoutDefault.begin(), mWithoutDefault.end(), iRecNo);
}

void EditedFile::compareWithDefaults(const CRecordData& defaults) {
  mDefaults.clear();
  DataDiff::Comparison comparison = DataDiff::compare(defaults, *mRecord);
  for (DataDiff::Change& change : comparison.changes)
    mDefaults.emplace(key(change.afterRecord, change.field), std::move(change.oldValue));
  mCompared = true;
  mComparedFields = std::min(defaults.NoFields(), mRecord->NoFields());
  mWithoutDefault = comparison.pairing.unpairedAfter();
  mDefaultsWithoutRecord = comparison.pairing.unpairedBefore().size();
}

std::vector<std::int32_t> EditedFile::differingRecords() const {
  std::vector<std::int32_t> records;
  for (const auto& [key, value] : mDefaults) records.push_back(static_cast<std::int32_t>(key >> 32));
  std::ranges::sort(records);
  records.erase(std::unique(records.begin(), records.end()), records.end());
  return records;
}

const std::string* EditedFile::defaultValue(std::int32_t iRecNo, std::int32_t iField) const {
  if (mDefaults.empty()) return nullptr;
  const auto found = mDefaults.find(key(iRecNo, iField));
  return found == mDefaults.end() ? nullptr : &found->second;
}
