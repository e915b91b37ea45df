#include "MergeComparison.h"

#include <algorithm>

#include "CRecordData.h"
#include "DataDiff.h"
#include "FileKind.h"

void MergeComparison::clear() { *this = MergeComparison(); }

void MergeComparison::pairWithBase(const CRecordData& ours, const CRecordData& base, Mode mode) {
  clear();
  mMode = mode;
  DataDiff::Comparison comparison = DataDiff::compare(base, ours);
  mKept.reserve(comparison.changes.size());
  for (DataDiff::Change& change : comparison.changes)
    mKept.emplace(key(change.afterRecord, change.field), Kept{std::move(change.oldValue), std::nullopt});
  mFields = std::min(base.NoFields(), ours.NoFields());
  mOursWithout = comparison.pairing.unpairedAfter();
  mBaseWithout = comparison.pairing.unpairedBefore().size();
}

void MergeComparison::compare(const CRecordData& ours, const CRecordData& other, Mode mode) {
  pairWithBase(ours, other, mode);
  countAll(ours);
}

void MergeComparison::compare(const CRecordData& ours, const CRecordData& base, const CRecordData& theirs) {
  pairWithBase(ours, base, Mode::ThreeWay);
  DataDiff::Comparison changed = DataDiff::compare(base, theirs);
  mTheirsAdded = changed.pairing.unpairedAfter().size();
  for (DataDiff::Change& change : changed.changes) change.name = base.unitName(change.record);
  const DataDiff::Resolver resolver(ours, changed.changes);
  for (DataDiff::Change& change : changed.changes) {
    const DataDiff::Landing landing = resolver.land(change);
    if (landing.record == 0 || landing.holds == DataDiff::Holds::NoField) {
      ++mUntakeable;
      continue;
    }
    Kept& kept = mKept[key(landing.record, change.field)];
    kept.base = std::move(change.oldValue);
    kept.theirs = std::move(change.newValue);
  }
  countAll(ours);
}

void MergeComparison::countAll(const CRecordData& ours) {
  for (const auto& [at, kept] : mKept)
    ++mCounts[static_cast<std::size_t>(classOf(kept, ours.value(std::int32_t(at >> 32), std::int32_t(at & 0xffffffffu))))];
}

// The rule of `pelkoTool apply`: the store holding the other file's new value has that change
// already, holding the old one it can take it, anything else conflicts.
Difference MergeComparison::classOf(const Kept& kept, std::string_view ours) const {
  if (!kept.theirs) return ours == kept.base ? Difference::None : mMode == Mode::ThreeWay ? Difference::OursOnly : Difference::Differs;
  switch (DataDiff::holds(ours, kept.base, *kept.theirs)) {
    case DataDiff::Holds::Old: return Difference::CanTake;
    case DataDiff::Holds::New: return Difference::Same;
    default: return Difference::Conflict;
  }
}

Difference MergeComparison::difference(const CRecordData& ours, std::int32_t iRecNo, std::int32_t iField) const {
  if (mKept.empty()) return Difference::None;
  const auto found = mKept.find(key(iRecNo, iField));
  return found == mKept.end() ? Difference::None : classOf(found->second, ours.value(iRecNo, iField));
}

const std::string* MergeComparison::otherValue(const CRecordData& ours, std::int32_t iRecNo, std::int32_t iField) const {
  if (mKept.empty()) return nullptr;
  const auto found = mKept.find(key(iRecNo, iField));
  if (found == mKept.end() || classOf(found->second, ours.value(iRecNo, iField)) == Difference::None) return nullptr;
  return found->second.theirs ? &*found->second.theirs : &found->second.base;
}

const std::string* MergeComparison::baseValue(std::int32_t iRecNo, std::int32_t iField) const {
  if (mMode != Mode::ThreeWay) return nullptr;
  const auto found = mKept.find(key(iRecNo, iField));
  return found == mKept.end() ? nullptr : &found->second.base;
}

// A value of a record without a counterpart has nothing to differ from.
bool MergeComparison::comparable(const CRecordData& ours, std::int32_t iRecNo, std::int32_t iField) const {
  return mMode != Mode::None && iRecNo >= 1 && iRecNo <= ours.NoUnits() && iField <= mFields &&
         !ours.writtenWithField22(iRecNo, iField) && !std::binary_search(mOursWithout.begin(), mOursWithout.end(), iRecNo);
}

void MergeComparison::note(const CRecordData& ours, std::int32_t iRecNo, std::int32_t iField, std::string_view now,
                           std::string_view value) {
  auto found = mKept.find(key(iRecNo, iField));
  if (found == mKept.end()) {
    // Not kept: the store's value is the base's and the other file's.
    if (value == now || !comparable(ours, iRecNo, iField)) return;
    found = mKept.emplace(key(iRecNo, iField), Kept{std::string(now), std::nullopt}).first;
  } else {
    --mCounts[static_cast<std::size_t>(classOf(found->second, now))];
  }
  const Difference after = classOf(found->second, value);
  if (after == Difference::None) mKept.erase(found);
  else ++mCounts[static_cast<std::size_t>(after)];
}

std::vector<MergeComparison::Cell> MergeComparison::cells() const {
  std::vector<Cell> cells;
  cells.reserve(mKept.size());
  for (const auto& entry : mKept) cells.emplace_back(std::int32_t(entry.first >> 32), std::int32_t(entry.first & 0xffffffffu));
  return cells;
}

std::vector<std::int32_t> MergeComparison::records(std::int32_t firstUnit) const {
  std::vector<std::int32_t> records;
  for (const auto& entry : mKept)
    if (const auto record = std::int32_t(entry.first >> 32); record >= firstUnit) records.push_back(record);
  std::sort(records.begin(), records.end());
  records.erase(std::unique(records.begin(), records.end()), records.end());
  return records;
}

CellChanges MergeComparison::takeAll(const CRecordData& ours) const {
  std::vector<std::pair<Cell, const std::string*>> taken;
  for (const auto& [at, kept] : mKept) {
    const Cell cell{std::int32_t(at >> 32), std::int32_t(at & 0xffffffffu)};
    if (classOf(kept, ours.value(cell.first, cell.second)) == Difference::CanTake) taken.emplace_back(cell, &*kept.theirs);
  }
  std::sort(taken.begin(), taken.end());
  CellChanges changes;
  for (const auto& [cell, value] : taken) changes.add(cell.first, cell.second, ours.value(cell.first, cell.second), *value);
  return changes;
}

std::size_t MergeComparison::keptBytes() const {
  const auto heap = [](const std::string& text) { return text.capacity() > 15 ? text.capacity() + 1 : 0; };
  std::size_t bytes = mKept.bucket_count() * sizeof(void*) + mOursWithout.capacity() * sizeof(std::int32_t);
  for (const auto& entry : mKept)
    bytes += sizeof(entry) + 2 * sizeof(void*) + heap(entry.second.base) + (entry.second.theirs ? heap(*entry.second.theirs) : 0);
  return bytes;
}
