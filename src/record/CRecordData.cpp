#include "CRecordData.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "DataFileFormat.h"
#include "DataFileParser.h"
#include "GlobalShared.h"

using namespace DataFileFormat;

FileResult<void> CRecordData::createRecord(std::string sInputData, std::string sFilename) {
  std::size_t dataStart = 0;
  if (FileKind::of(mFormID).headerToLastSemicolon) {
    // The header runs to the last semicolon and is kept even when the load then fails.
    const std::size_t semicolon = sInputData.rfind(';');
    dataStart = semicolon == std::string::npos ? 0 : semicolon + 1;
    mProjVerInfo.assign(sInputData, 0, dataStart);
  }
  DataFileParser parser(mFormID, mNoFields, [this](std::int32_t record, std::int64_t lenStart, std::int64_t lenLeft) {
    if (mUnitLoaded) mUnitLoaded(record, lenStart, lenLeft);
  });
  if (auto parsed = parser.parse(sInputData, dataStart, dataStart > 0)) {
    FileFailure failure(FileFailure::Kind::BadData, std::move(sFilename));
    failure.fileType = mFormID;
    failure.data = std::move(*parsed);
    return pelko::unexpected(std::move(failure));
  }
  mText = std::move(sInputData);
  mIndex = parser.takeIndex();
  mFields.emplace(mFormID, mNoFields);
  mTailOffset = parser.tailOffset();
  mEdits.clear();
  mSaveProblems.clear();
  mFilePath = std::move(sFilename);
  // Counted across stores: a store made where another was freed must not pass for it.
  static std::atomic<std::uint64_t> loads{0};
  mLoadId = ++loads;
  return {};
}

std::vector<std::int32_t> CRecordData::editedRecords() const {
  std::vector<std::int32_t> records;
  records.reserve(mEdits.size());
  for (const auto& edit : mEdits) records.push_back(edit.first);
  std::ranges::sort(records);
  return records;
}

std::string_view CRecordData::TrailingText() const {
  const std::string_view tail = std::string_view(mText).substr(std::min(mTailOffset, mText.size()));
  return tail.find_first_not_of("\r\n") == std::string_view::npos ? std::string_view() : tail;
}

std::uint64_t CRecordData::recordEnd(std::int32_t iRecNo) const {
  return iRecNo < NoUnits() ? mIndex.start(iRecNo) : mTailOffset;
}

std::string_view CRecordData::loadedRecord(std::int32_t iRecNo) const {
  if (!validRecord(iRecNo)) return {};
  const std::uint64_t start = mIndex.start(iRecNo - 1);
  return std::string_view(mText).substr(start, recordEnd(iRecNo) - 2 - start);  // less the CR and the character after it
}

namespace {

template <class Edits>
auto editOf(Edits& edits, std::int32_t field) {
  return std::lower_bound(edits.begin(), edits.end(), field, [](const auto& edit, std::int32_t f) { return edit.first < f; });
}

}  // namespace

std::string_view CRecordData::value(std::int32_t iRecNo, std::int32_t iField) const {
  if (!validRecord(iRecNo) || !validField(iField) || iField > mFields->noFields()) return {};
  if (!mEdits.empty()) {
    if (const auto found = mEdits.find(iRecNo); found != mEdits.end())
      if (const auto edit = editOf(found->second, iField); edit != found->second.end() && edit->first == iField)
        return edit->second;
  }
  return loadedField(iRecNo, iField);
}

std::string_view CRecordData::loadedValue(std::int32_t iRecNo, std::int32_t iField) const {
  if (!validRecord(iRecNo) || !validField(iField) || iField > mFields->noFields()) return {};
  return loadedField(iRecNo, iField);
}

std::string_view CRecordData::loadedField(std::int32_t iRecNo, std::int32_t iField) const {
  // A record read again straight away is read across (a copy, a save): split once, it is cached.
  if (iRecNo != std::exchange(mLastRead, iRecNo))
    if (const auto plain = plainField(iRecNo, iField)) return *plain;
  const std::uint64_t start = mIndex.start(iRecNo - 1);
  const FieldRef ref = mFields->fields(std::string_view(mText).substr(start), iRecNo)[iField - 1];
  return std::string_view(mText).substr(start + ref.offset, ref.length);
}

#if defined(__SSE2__)
namespace {

// std::popcount calls a library function unless the compiler may use the instruction.
int bitsIn(unsigned mask16) {
  mask16 -= (mask16 >> 1) & 0x5555;
  mask16 = (mask16 & 0x3333) + ((mask16 >> 2) & 0x3333);
  mask16 = (mask16 + (mask16 >> 4)) & 0x0F0F;
  return int((mask16 + (mask16 >> 8)) & 0x1F);
}

}  // namespace
#endif

// A field that no quote precedes (nor the packed list, which starts with one) is found by counting
// TABs: reading one field of every unit then splits no record whole.
std::optional<std::string_view> CRecordData::plainField(std::int32_t iRecNo, std::int32_t iField) const {
  if (iField >= mNoFields || iRecNo < FileKind::of(mFormID).firstUnit ||
      (mFormID == GlobalShared::kUnitProd && iField >= kTroopFirst))
    return std::nullopt;
  // A sort reads one field of millions of records: sixteen bytes at a time, a block without a
  // quote or the field's end passed over whole.
  const std::string_view text = loadedRecord(iRecNo);
  std::size_t start = 0;
  std::int32_t field = 1;
  std::size_t at = 0;
#if defined(__SSE2__)
  for (; text.size() - at >= 16; at += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    const auto tabs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8('\t'))));
    const auto quotes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8('"'))));
    if (quotes == 0 && field + bitsIn(tabs) <= iField) {
      if (tabs != 0) start = at + std::size_t(32 - std::countl_zero(tabs));
      field += bitsIn(tabs);
      continue;
    }
    for (unsigned found = tabs | quotes; found != 0; found &= found - 1) {
      const std::size_t end = at + std::size_t(std::countr_zero(found));
      if (text[end] == '"') return std::nullopt;
      if (field == iField) return text.substr(start, end - start);
      ++field;
      start = end + 1;
    }
  }
#endif
  for (; at < text.size(); ++at) {
    if (text[at] == '"') return std::nullopt;
    if (text[at] != '\t') continue;
    if (field == iField) return text.substr(start, at - start);
    ++field;
    start = at + 1;
  }
  return std::nullopt;
}

void CRecordData::recordValues(std::int32_t iRecNo, std::vector<std::string_view>& out) const {
  out.assign(static_cast<std::size_t>(std::max(mNoFields, 0)), {});
  if (!validRecord(iRecNo)) return;
  const std::int32_t split = std::min(mNoFields, mFields->noFields());
  const std::uint64_t start = mIndex.start(iRecNo - 1);
  const std::string_view text = std::string_view(mText).substr(start);
  const FieldRef* refs = mFields->fields(text, iRecNo);
  for (std::int32_t i = 0; i < split; ++i) out[static_cast<std::size_t>(i)] = text.substr(refs[i].offset, refs[i].length);
  if (const auto found = mEdits.find(iRecNo); found != mEdits.end())
    for (const auto& [field, edit] : found->second)
      if (field <= split) out[static_cast<std::size_t>(field - 1)] = edit;
}

void CRecordData::setField(std::int32_t iFieldNo, std::int32_t iRecNo, std::string sFieldData) {
  setValue(iRecNo, actualFieldNoInSelectedRange(iFieldNo), std::move(sFieldData));
}

void CRecordData::setValue(std::int32_t iRecNo, std::int32_t field, std::string sFieldData) {
  if (!validRecord(iRecNo) || !validField(field)) return;
  storeValue(iRecNo, field, std::move(sFieldData));
  checkRecord(iRecNo);
}

// Re-reading the record is most of an edit's cost: a change of a hundred thousand values skips it
// where it cannot find anything new. A save checks every edited record again all the same.
void CRecordData::setValues(std::int32_t iRecNo, std::span<const Replacement> values) {
  if (!validRecord(iRecNo)) return;
  bool readsBackStill = !mSaveProblems.contains(iRecNo);
  std::int64_t growth = 0;
  for (const auto& [field, before, after] : values) {
    if (!validField(field)) continue;
    readsBackStill = readsBackStill && inertEdit(field, before, after);
    growth += std::int64_t(after.size()) - std::int64_t(before.size());
    storeValue(iRecNo, field, std::string(after));
  }
  if (!readsBackStill || (growth > 0 && !fitsWhenWritten(iRecNo))) checkRecord(iRecNo);
}

bool CRecordData::fitsWhenWritten(std::int32_t iRecNo) const {
  std::string written;
  writeRecord(iRecNo, written, nullptr);
  return written.size() - 2 < kLastTerminatorPosition;
}

// Outside the packed list, a value without the bytes that steer the parser is read back as it
// was written, in a record that is not too long, whatever the record holds besides.
bool CRecordData::inertEdit(std::int32_t field, std::string_view before, std::string_view after) const {
  if (mFormID == GlobalShared::kUnitProd && field >= kTroopFirst && field <= kTroopLast) return false;
  constexpr std::string_view kSteering = "\t\r\n\";";
  return before.find_first_of(kSteering) == std::string_view::npos && after.find_first_of(kSteering) == std::string_view::npos;
}

void CRecordData::storeValue(std::int32_t iRecNo, std::int32_t field, std::string value) {
  auto& edits = mEdits[iRecNo];
  if (const auto edit = editOf(edits, field); edit != edits.end() && edit->first == field)
    edit->second = std::move(value);
  else
    edits.emplace(edit, field, std::move(value));
}

void CRecordData::checkRecord(std::int32_t iRecNo) {
  std::string written;
  writeRecord(iRecNo, written, nullptr);
  if (!mGuard) mGuard = std::make_unique<SaveGuard>(*this);
  if (auto problem = mGuard->check(iRecNo, written))
    mSaveProblems[iRecNo] = std::move(*problem);
  else
    mSaveProblems.erase(iRecNo);
}

bool CRecordData::writtenWithField22(std::int32_t iRecNo, std::int32_t iField) const {
  return mFormID == GlobalShared::kUnitProd && iRecNo <= kTroopHeaderRecords && iField > kTroopFirst &&
         iField <= kTroopLast;
}

const SaveProblem* CRecordData::saveProblem(std::int32_t iRecNo) const {
  const auto found = mSaveProblems.find(iRecNo);
  return found == mSaveProblems.end() ? nullptr : &found->second;
}

// A name field comes before the last field, so it ends at a TAB, quoted or not: found without
// splitting the record, as pairing two files reads every name.
std::string_view CRecordData::unitName(std::int32_t iRecNo) const {
  const std::int32_t field = FileKind::of(mFormID).nameField;
  if (!validRecord(iRecNo) || edited(iRecNo) || field >= mNoFields) return value(iRecNo, field);
  std::string_view text = loadedRecord(iRecNo);
  for (std::int32_t f = 1; f < field; ++f) text.remove_prefix(std::min(text.size(), text.find('\t') + 1));
  return text.substr(0, text.find('\t'));
}

std::vector<std::string> CRecordData::returnArrayUnitNames(std::int32_t iRecord2StartAt,
                                                          std::int32_t iNoRecords) const {
  std::vector<std::string> names(static_cast<std::size_t>(std::max(iNoRecords, 0)));
  for (std::size_t k = 0; k < names.size(); ++k) names[k] = unitName(iRecord2StartAt + static_cast<std::int32_t>(k));
  return names;
}

std::vector<std::vector<std::string>> CRecordData::returnArrayFieldXUnit(std::int32_t iRecord2StartAt,
                                                                         std::int32_t iField2StartAt,
                                                                         std::int32_t iNoRecords,
                                                                         std::int32_t iNoFields) const {
  std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(std::max(iNoFields, 0)));
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const std::int32_t field = actualFieldNoInSelectedRange(iField2StartAt + static_cast<std::int32_t>(c));
    cells[c].resize(static_cast<std::size_t>(std::max(iNoRecords, 0)));
    for (std::size_t r = 0; r < cells[c].size(); ++r)
      cells[c][r] = value(iRecord2StartAt + static_cast<std::int32_t>(r), field);
  }
  return cells;
}

std::string CRecordData::getStr2Write(std::int32_t iRecNo) {
  std::string text;
  appendStr2Write(iRecNo, text);
  return text;
}

void CRecordData::appendStr2Write(std::int32_t iRecNo, std::string& out) {
  writeRecord(iRecNo, out, nullptr);
  if (mUnitLoaded) mUnitLoaded(iRecNo, NoUnits(), std::abs(static_cast<std::int64_t>(iRecNo) - NoUnits()));
}

std::string_view CRecordData::unchangedRecords(std::int32_t iRecNo, std::size_t maxBytes, std::int32_t& iNextRecNo) {
  iNextRecNo = iRecNo;
  if (!validRecord(iRecNo)) return {};
  const std::uint64_t start = mIndex.start(iRecNo - 1);
  while (iNextRecNo <= NoUnits() && mIndex.asWritten(iNextRecNo - 1) && !edited(iNextRecNo) &&
         recordEnd(iNextRecNo) - start <= maxBytes)
    ++iNextRecNo;
  if (iNextRecNo == iRecNo) return {};
  for (std::int32_t r = iRecNo; mUnitLoaded && r < iNextRecNo; ++r) mUnitLoaded(r, NoUnits(), NoUnits() - r);
  return std::string_view(mText).substr(start, recordEnd(iNextRecNo - 1) - start);
}

void CRecordData::writeRecord(std::int32_t iRecNo, std::string& out, std::vector<std::size_t>* fieldStarts) const {
  const std::size_t start = out.size();
  std::vector<std::string_view> values;
  recordValues(iRecNo, values);
  const auto value = [&values](std::int32_t i) { return values[static_cast<std::size_t>(i - 1)]; };
  const bool unitFile = mFormID == GlobalShared::kUnitProd;
  const bool headerRecord = iRecNo <= kTroopHeaderRecords;
  // The quoted list is written whenever one of its values is set: an emptied field 22 alone
  // must not run the other 21 values together into a cell that cannot be read back.
  bool packed = false;
  for (std::int32_t i = kTroopFirst; unitFile && !headerRecord && !packed && i <= kTroopLast; ++i)
    packed = !value(i).empty();
  for (std::int32_t i = 1; i <= mNoFields; ++i) {
    if (fieldStarts) fieldStarts->push_back(out.size() - start + (packed && i == kTroopFirst ? 1 : 0));
    if (!unitFile || i < kTroopFirst || i > kTroopLast) {
      out += value(i);
      out += '\t';
    } else if (headerRecord) {
      // The header records' cell stands for all 22 fields and is written as read.
      if (i == kTroopFirst) out += value(i);
      if (i == kTroopLast) out += '\t';
    } else {
      if (packed && i == kTroopFirst) out += '"';
      out += value(i);
      if (i < kTroopLast) {
        if (packed) out += ", ";
      } else {
        out += packed ? "\"\t" : "\t";
      }
    }
  }
  if (out.size() > start) out.pop_back();
  out += "\r\n";
}
