#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "CRecordData.h"
#include "CellChanges.h"

// What the editor window edits: the record store of one file, whether it changed since it was
// loaded or saved, the finished edits to undo and redo, and the values that differ from the
// game's default copy of the same kind. Fields here are field numbers, not display columns.
class EditedFile {
 public:
  // One finished edit: of a typed value, or of every value of a paste, a Change Values or a
  // Replace All, which undo puts back together.
  struct Step {
    Step() = default;
    Step(CellChanges changes) : cells(std::move(changes)) {}
    Step(std::int32_t record, std::int32_t field, std::string_view before, std::string_view after)
        : cells(record, field, before, after) {}
    CellChanges cells;
  };

  // Told of every change to the undo history once it is made, so that nothing that changes the
  // history can forget to tell: a new step (the last done of steps()), an undo or a redo.
  class HistorySink {
   public:
    enum class Change { Step, Undo, Redo };
    virtual void historyChanged(const EditedFile& file, Change change) = 0;

   protected:
    ~HistorySink() = default;
  };

  EditedFile() : mRecord(std::make_unique<CRecordData>()) {}

  CRecordData& record() { return *mRecord; }
  const CRecordData& record() const { return *mRecord; }
  // A fresh, empty store: nothing to undo, nothing to compare with. dataChanged stays: it is up to
  // the load that follows, and tells a closed window's data were never saved.
  CRecordData& reset();

  bool dataChanged() const { return mDataChanged; }
  void markChanged() { mDataChanged = true; }
  // After a load or a save: what the store holds now is what the file holds.
  void markSaved();

  // Stores a value as it is typed, the differences kept up to date; not yet a step of its own.
  void setValue(std::int32_t iRecNo, std::int32_t iField, std::string value);
  // A finished edit whose value is stored already; a new step drops the steps that were undone.
  void addStep(Step step);
  // Stores the step's values and adds the step; false, and no step, when it changes nothing.
  bool makeStep(Step step);
  // Puts back the value before (undo) or after (redo) the step; null when there is none.
  const Step* undo();
  const Step* redo();
  // The history: steps()[0, stepsDone()) are applied; the file holds what the first savedAt()
  // of them make, or none of its states when a new step dropped that one.
  const std::vector<Step>& steps() const { return mSteps; }
  std::size_t stepsDone() const { return mDone; }
  std::optional<std::size_t> savedAt() const { return mSavedAt; }
  // Kept across reset(); null: none.
  void setHistorySink(HistorySink* sink) { mSink = sink; }

  // Compares the store with the default copy of its kind, once, after a load, records paired by
  // their unit (RecordPairing); keeps only the values that differ, so the copy's text need not
  // stay in memory.
  void compareWithDefaults(const CRecordData& defaults);
  bool hasDefaults() const { return mCompared; }
  // The paired default record's value where the store's differs; null where they are equal or
  // the record has no counterpart in the copy.
  const std::string* defaultValue(std::int32_t iRecNo, std::int32_t iField) const;
  std::size_t differenceCount() const { return mDefaults.size(); }
  std::vector<std::int32_t> differingRecords() const;
  // The store's records that the default copy lacks, and the copy's records this store lacks.
  std::size_t recordsWithoutDefault() const { return mWithoutDefault.size(); }
  std::size_t defaultsWithoutRecord() const { return mDefaultsWithoutRecord; }

 private:
  static std::uint64_t key(std::int32_t iRecNo, std::int32_t iField) {
    return (std::uint64_t(std::uint32_t(iRecNo)) << 32) | std::uint32_t(iField);
  }
  const Step* putBack(const Step& step, bool after);
  // Keeps the differences from the default copy up to date for a value about to replace `now`.
  void noteDefault(std::int32_t iRecNo, std::int32_t iField, std::string_view now, std::string_view value);
  bool compared(std::int32_t iRecNo, std::int32_t iField) const;
  void tell(HistorySink::Change change) {
    if (mSink) mSink->historyChanged(*this, change);
  }

  std::unique_ptr<CRecordData> mRecord;
  bool mDataChanged = false;
  std::vector<Step> mSteps;
  std::size_t mDone = 0;                      // steps applied, from the start of mSteps
  std::optional<std::size_t> mSavedAt = 0;    // mDone when the file was saved; none once that cannot come back
  HistorySink* mSink = nullptr;
  // Only differing values are kept: a value not here still equals its default.
  std::unordered_map<std::uint64_t, std::string> mDefaults;
  bool mCompared = false;
  std::int32_t mComparedFields = 0;
  std::vector<std::int32_t> mWithoutDefault;  // sorted
  std::size_t mDefaultsWithoutRecord = 0;
};
