#include "EditedFile.h"

#include <algorithm>

#include "DataDiff.h"

CRecordData& EditedFile::reset() {
  mRecord = std::make_unique<CRecordData>();
  mSteps.clear();
  mDone = 0;
  mSavedAt = 0;
  mDefaults.clear();
  mComparedRecords = mComparedFields = mDefaultRecords = 0;
  return *mRecord;
}

void EditedFile::markSaved() {
  mDataChanged = false;
  mSavedAt = mDone;
}

void EditedFile::setValue(std::int32_t iRecNo, std::int32_t iField, std::string value) {
  if (iRecNo <= mComparedRecords && iField <= mComparedFields && !mRecord->writtenWithField22(iRecNo, iField)) {
    const auto found = mDefaults.find(key(iRecNo, iField));
    if (found == mDefaults.end()) {
      if (value != mRecord->value(iRecNo, iField)) mDefaults.emplace(key(iRecNo, iField), mRecord->value(iRecNo, iField));
    } else if (found->second == value) {
      mDefaults.erase(found);
    }
  }
  mRecord->setValue(iRecNo, iField, std::move(value));
}

void EditedFile::addStep(Step step) {
  mSteps.resize(mDone);
  if (mSavedAt && *mSavedAt > mDone) mSavedAt.reset();
  mSteps.push_back(std::move(step));
  ++mDone;
  tell(HistorySink::Change::Step);
}

void EditedFile::makeStep(Step step) {
  addStep(std::move(step));
  putBack(mSteps.back(), mSteps.back().after);
}

const EditedFile::Step* EditedFile::undo() {
  if (mDone == 0) return nullptr;
  --mDone;
  const Step* step = putBack(mSteps[mDone], mSteps[mDone].before);
  tell(HistorySink::Change::Undo);
  return step;
}

const EditedFile::Step* EditedFile::redo() {
  if (mDone == mSteps.size()) return nullptr;
  ++mDone;
  const Step* step = putBack(mSteps[mDone - 1], mSteps[mDone - 1].after);
  tell(HistorySink::Change::Redo);
  return step;
}

const EditedFile::Step* EditedFile::putBack(const Step& step, const std::string& value) {
  setValue(step.record, step.field, value);
  mDataChanged = mSavedAt != mDone;
  return &step;
}

void EditedFile::compareWithDefaults(const CRecordData& defaults) {
  mDefaults.clear();
  for (DataDiff::Change& change : DataDiff::compare(defaults, *mRecord))
    mDefaults.emplace(key(change.record, change.field), std::move(change.oldValue));
  mComparedRecords = std::min(defaults.NoUnits(), mRecord->NoUnits());
  mComparedFields = std::min(defaults.NoFields(), mRecord->NoFields());
  mDefaultRecords = defaults.NoUnits();
}

const std::string* EditedFile::defaultValue(std::int32_t iRecNo, std::int32_t iField) const {
  if (mDefaults.empty()) return nullptr;
  const auto found = mDefaults.find(key(iRecNo, iField));
  return found == mDefaults.end() ? nullptr : &found->second;
}
