#include "EditedFile.h"

#include <algorithm>

#include "FileKind.h"

CRecordData& EditedFile::reset() {
  mRecord = std::make_unique<CRecordData>();
  mSteps.clear();
  mDone = 0;
  mSavedAt = 0;
  mComparison.clear();
  return *mRecord;
}

void EditedFile::markSaved() {
  mDataChanged = false;
  mSavedAt = mDone;
}

void EditedFile::setValue(std::int32_t iRecNo, std::int32_t iField, std::string value) {
  mComparison.note(*mRecord, iRecNo, iField, mRecord->value(iRecNo, iField), value);
  mRecord->setValue(iRecNo, iField, std::move(value));
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
    mComparison.note(*mRecord, cell.record, cell.field, now, value);
    values.push_back({cell.field, now, value});
  }
  flush();
  mDataChanged = mSavedAt != mDone;
  return &step;
}

std::vector<std::int32_t> EditedFile::differingRecords() const {
  return mComparison.records(FileKind::of(mRecord->FormID()).firstUnit);
}
