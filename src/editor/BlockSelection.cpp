#include "BlockSelection.h"

#include <algorithm>

CellBlock BlockSelection::block() const {
  if (!mSelected) return {};
  return {std::min(mAnchor.record, mActive.record), std::max(mAnchor.record, mActive.record),
          std::min(mAnchor.column, mActive.column), std::max(mAnchor.column, mActive.column)};
}

void BlockSelection::select(Corner anchor, Corner active) {
  mAnchor = anchor;
  mActive = active;
  mSelected = true;
}

bool BlockSelection::extend(Corner from, std::int32_t dRecords, std::int32_t dColumns, const CellBlock& bounds) {
  if (bounds.empty()) return false;
  const bool started = !mSelected;
  if (started) select(from, from);
  const Corner before = mActive;
  // Widened before clamping: a page step from near the end must not overflow.
  const auto move = [](std::int32_t at, std::int32_t by, std::int32_t low, std::int32_t high) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{at} + by, low, high));
  };
  mActive = {move(mActive.record, dRecords, bounds.firstRecord, bounds.lastRecord),
             move(mActive.column, dColumns, bounds.firstColumn, bounds.lastColumn)};
  if (started)
    mAnchor = {std::clamp(mAnchor.record, bounds.firstRecord, bounds.lastRecord),
               std::clamp(mAnchor.column, bounds.firstColumn, bounds.lastColumn)};
  return started || mActive != before;
}

bool BlockSelection::clear() {
  const bool had = mSelected;
  mSelected = false;
  return had;
}
