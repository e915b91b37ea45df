#pragma once
#include "CellBlock.h"

// The grid's block of selected values, held as the corner it was started from (the anchor) and
// the corner that moves (the active one, where the focus is). Extending moves only the active
// corner, so a block shrinks back through the anchor as spreadsheets do.
class BlockSelection {
 public:
  // A record of the store and a display column.
  struct Corner {
    std::int32_t record = 0, column = 0;
    bool operator==(const Corner&) const = default;
  };

  bool empty() const { return !mSelected; }
  CellBlock block() const;
  Corner anchor() const { return mAnchor; }
  Corner active() const { return mActive; }

  void select(Corner anchor, Corner active);
  // The active corner moves by the steps, kept within the bounds (the file's units and shown
  // fields); with no block yet, both corners start at `from`. False when nothing changed.
  bool extend(Corner from, std::int32_t dRecords, std::int32_t dColumns, const CellBlock& bounds);
  // False when there was no block.
  bool clear();

 private:
  Corner mAnchor;
  Corner mActive;
  bool mSelected = false;
};
