#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "FieldCache.h"
#include "FileFailure.h"
#include "FileKind.h"
#include "RecordIndex.h"
#include "SaveGuard.h"

// The in-memory store of one loaded data file: its records and fields, the six field ranges of
// its kind and the display width of every field. Records and fields count from 1. The store keeps
// the loaded text and where each record starts; a record's fields are found when asked for.
// Values are views into that text until edited, so a load copies no field.
class CRecordData {
 public:
  // iLenStart and ilenCurrent count characters while loading and records while saving.
  using UnitLoaded = std::function<void(std::int32_t iUnitNo, std::int64_t iLenStart, std::int64_t ilenCurrent)>;

  CRecordData() = default;
  CRecordData(const CRecordData&) = delete;
  CRecordData& operator=(const CRecordData&) = delete;

  void setUnitLoadedHandler(UnitLoaded handler) { mUnitLoaded = std::move(handler); }

  const std::string& sFilePath() const { return mFilePath; }
  // After a save to another file, that file is the one being edited.
  void setFilePath(std::string sPath) { mFilePath = std::move(sPath); }
  const std::string& ProjVerInfo() const { return mProjVerInfo; }
  // The kind the store was set up for: 1 unit, 2 building, 3 projectile file; 0 none yet.
  std::int32_t FormID() const { return mFormID; }
  std::int32_t NoUnits() const { return mIndex.size(); }
  std::int32_t NoFields() const { return mNoFields; }
  std::int32_t MaxValue() const { return mNoFields; }

  // --- field ranges ---
  std::int32_t RangeSelected() const { return mRangeSelected; }
  void setRangeSelected(std::int32_t iRangeSelected) { mRangeSelected = iRangeSelected; }
  std::int32_t NoFieldsInSelectedRange() const;
  std::int32_t actualFieldNoInSelectedRange(std::int32_t iFieldNoDisplay) const;
  void initRanges(std::int32_t lFormID);
  std::string getSelRangeArrayStr(std::int32_t iRange_or_0_selected = 0) const;
  std::int32_t setRange(std::int32_t iRange, std::string_view sText);

  // --- display widths ---
  std::string getWidthArrayStr() const;
  std::int32_t DisplayWidth(std::int32_t lField) const;
  void setDisplayWidth(std::int32_t lField, std::string_view sNewWidth);
  std::int32_t setAllDisplayWidths(std::string_view sText);

  // --- records ---
  // Stores a value for the field shown in display column iFieldNo of record iRecNo, as given.
  // The record is then checked as a save would write it: see saveProblem.
  void setField(std::int32_t iFieldNo, std::int32_t iRecNo, std::string sFieldData);
  // The same by field number, whatever range is selected.
  void setValue(std::int32_t iRecNo, std::int32_t iField, std::string value);
  // Values of one record set together, by field number: the record is checked once, not once a
  // value, so that a paste over every field of a unit costs one check. `before` is what the field
  // holds, as the caller read it: reading it again would split the record once more.
  struct Replacement {
    std::int32_t field = 0;
    std::string_view before;
    std::string_view after;
  };
  void setValues(std::int32_t iRecNo, std::span<const Replacement> values);
  // Why record iRecNo, as edited, would not read back the same after a save; null when it would.
  const SaveProblem* saveProblem(std::int32_t iRecNo) const;
  bool hasSaveProblems() const { return !mSaveProblems.empty(); }
  // The value of field iField (not a display column) of record iRecNo; empty outside the
  // store. Valid until the next setField or load.
  std::string_view value(std::int32_t iRecNo, std::int32_t iField) const;
  // The same as the file held it, edits left out.
  std::string_view loadedValue(std::int32_t iRecNo, std::int32_t iField) const;
  // Every value of record iRecNo, out[field - 1] as value() gives it: a record's edits and fields
  // are looked up once, where value() looks them up for each field. Valid as value()'s.
  void recordValues(std::int32_t iRecNo, std::vector<std::string_view>& out) const;
  // The record's text as loaded, line end excluded, while it is not edited: every value of the
  // record is a part of it, so a search can pass over a record whose text lacks what it seeks.
  std::optional<std::string_view> unchangedText(std::int32_t iRecNo) const {
    if (edited(iRecNo)) return std::nullopt;
    return loadedRecord(iRecNo);
  }
  // True when record iRecNo of both stores is unedited and was loaded from the same text, so that
  // every value is the same: a comparison need not split it.
  bool sameText(const CRecordData& other, std::int32_t iRecNo) const { return sameText(other, iRecNo, iRecNo); }
  // The same for record iRecNo of this store and record iOtherRecNo of the other.
  bool sameText(const CRecordData& other, std::int32_t iRecNo, std::int32_t iOtherRecNo) const {
    return !edited(iRecNo) && !other.edited(iOtherRecNo) && loadedRecord(iRecNo) == other.loadedRecord(iOtherRecNo);
  }
  // A unit file's header rows keep fields 22 to 43 in one cell, written from field 22 alone: the
  // other 21 are not written on their own.
  bool writtenWithField22(std::int32_t iRecNo, std::int32_t iField) const;
  // The value of the kind's name field; valid as value() is.
  std::string_view unitName(std::int32_t iRecNo) const;
  std::vector<std::string> returnArrayUnitNames(std::int32_t iRecord2StartAt, std::int32_t iNoRecords) const;
  // Indexed [column][record], both from 0.
  std::vector<std::vector<std::string>> returnArrayFieldXUnit(std::int32_t iRecord2StartAt,
                                                              std::int32_t iField2StartAt,
                                                              std::int32_t iNoRecords,
                                                              std::int32_t iNoFields) const;
  // Parses a whole data file. On failure keeps the earlier records and says why. The text is
  // taken over, not copied: pass it with std::move.
  FileResult<void> createRecord(std::string sInputData, std::string sFilename);
  // The record's text as written to the file, CR LF included.
  std::string getStr2Write(std::int32_t iRecNo);
  // The same, appended to out: saves build the file in large pieces.
  void appendStr2Write(std::int32_t iRecNo, std::string& out);
  // The loaded text of records iRecNo, iRecNo + 1, ... that a save writes exactly as loaded (not
  // edited, and already in the written form), line ends included, about maxBytes at most; empty
  // when record iRecNo must be rebuilt by appendStr2Write. iNextRecNo gets the record after them.
  // Raises unitLoaded for each of them, as appendStr2Write does.
  std::string_view unchangedRecords(std::int32_t iRecNo, std::size_t maxBytes, std::int32_t& iNextRecNo);

  // The file's bytes as loaded, edits left out.
  std::string_view loadedText() const { return mText; }
  // Never the same for two loads, of this store or another: what a cache of loaded values was made from.
  std::uint64_t loadId() const { return mLoadId; }
  // The records holding edits, in order: all that a cache of loaded values must read again.
  std::vector<std::int32_t> editedRecords() const;

  // What followed the empty line that ends the data, when it holds more than line ends; written
  // back after the records so that a save loses nothing of the file.
  std::string_view TrailingText() const;

 private:
  friend class SaveGuard;
  static constexpr int kRanges = FileKind::kRangeCount;

  // The record's text as loaded, without its line end.
  std::string_view loadedRecord(std::int32_t iRecNo) const;
  std::optional<std::string_view> plainField(std::int32_t iRecNo, std::int32_t iField) const;
  std::string_view loadedField(std::int32_t iRecNo, std::int32_t iField) const;  // unchecked
  std::uint64_t recordEnd(std::int32_t iRecNo) const;  // past the record's line end
  bool edited(std::int32_t iRecNo) const { return !mEdits.empty() && mEdits.contains(iRecNo); }
  // The record's file text; fieldStarts, when given, gets where each field's value begins.
  void writeRecord(std::int32_t iRecNo, std::string& out, std::vector<std::size_t>* fieldStarts) const;

  void storeValue(std::int32_t iRecNo, std::int32_t field, std::string value);
  void checkRecord(std::int32_t iRecNo);
  bool inertEdit(std::int32_t field, std::string_view before, std::string_view after) const;
  bool fitsWhenWritten(std::int32_t iRecNo) const;
  bool validRecord(std::int32_t iRecNo) const { return iRecNo >= 1 && iRecNo <= NoUnits(); }
  bool validField(std::int32_t iField) const { return iField >= 1 && iField <= mNoFields; }
  std::int32_t getDefaultWidth(std::int32_t iField) const;
  std::int32_t widthFromText(std::int32_t iField, std::string_view sText) const;

  std::int32_t mFormID = 0;
  std::int32_t mNoFields = 0;
  std::string mFilePath;
  std::string mProjVerInfo;
  std::string mText;  // the loaded file; the index points into it
  std::uint64_t mLoadId = 0;
  RecordIndex mIndex;
  mutable std::optional<FieldCache> mFields;  // for the kind the records were loaded as
  mutable std::int32_t mLastRead = 0;         // the record value() read last
  // Edited values by record, then (field, value) sorted by field: one lookup finds a record's
  // edits, and a record whose every field was pasted still finds one in a few steps.
  std::unordered_map<std::int32_t, std::vector<std::pair<std::int32_t, std::string>>> mEdits;
  std::map<std::int32_t, SaveProblem> mSaveProblems;
  std::unique_ptr<SaveGuard> mGuard;  // made at the first check after initRanges, for every check       // by record; only edited records can have one
  std::size_t mTailOffset = 0;
  std::int32_t mRangeSelected = 1;
  // Per range: entry 0 is the count, entries 1..count the field numbers of the display columns.
  std::array<std::vector<std::int32_t>, kRanges> mRanges;
  std::vector<std::int32_t> mWidths;  // per field, from index 0
  UnitLoaded mUnitLoaded;
};
