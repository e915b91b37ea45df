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
  if (compared(iRecNo, iField)) {
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

const std::string* EditedFile::defaultValue(std::int32_t iRecNo, std::int32_t iField) const {
  if (mDefaults.empty()) return nullptr;
  const auto found = mDefaults.find(key(iRecNo, iField));
  return found == mDefaults.end() ? nullptr : &found->second;
}
