#include "UnitView.h"

#include <algorithm>

void UnitView::showAll(std::int32_t firstUnit, std::int32_t noUnits) {
  mAll = true;
  mFirstUnit = firstUnit;
  mShown = std::max(0, noUnits - firstUnit + 1);
  mRecords.clear();
  mRows.clear();
}

void UnitView::showOnly(std::int32_t firstUnit, std::vector<std::int32_t> records) {
  mAll = false;
  mFirstUnit = firstUnit;
  mShown = static_cast<std::int32_t>(records.size());
  mRecords = std::move(records);
  mRows.assign(mRecords.empty() ? 0 : static_cast<std::size_t>(std::ranges::max(mRecords)) + 1, 0);
  for (std::size_t k = 0; k < mRecords.size(); ++k)
    mRows[static_cast<std::size_t>(mRecords[k])] = mFirstUnit + static_cast<std::int32_t>(k);
}

std::int32_t UnitView::rowOf(std::int32_t record) const {
  if (record < mFirstUnit) return record;
  if (mAll) return record <= lastRow() ? record : 0;
  return static_cast<std::size_t>(record) < mRows.size() ? mRows[static_cast<std::size_t>(record)] : 0;
}

std::vector<std::int32_t> UnitView::records(std::int32_t firstRow, std::int32_t lastRow) const {
  firstRow = std::max(firstRow, mFirstUnit);
  lastRow = std::min(lastRow, this->lastRow());
  std::vector<std::int32_t> shown;
  shown.reserve(static_cast<std::size_t>(std::max(0, lastRow - firstRow + 1)));
  for (std::int32_t row = firstRow; row <= lastRow; ++row) shown.push_back(record(row));
  return shown;
}
