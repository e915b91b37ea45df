#pragma once

#include <algorithm>
#include <cstdint>

// The grid's designed geometry in twips, shared by its creation, refill and cell editing.
namespace GridGeometry {
constexpr int kNumbersLeft = 120;   // the row numbers' and range buttons' left edge, in the main frame
constexpr int kCellTop = 1200;      // row 0 of the cells, inside the grid frame
constexpr int kRowLabelTop = 1820;  // row 0 of the names and numbers, inside the main frame
constexpr int kRowLabelOffset = kRowLabelTop - kCellTop;  // the grid frame stands this much lower
constexpr int kRowPitch = 395;
constexpr int kCellHeight = 375;
constexpr int kColumnGap = 20;
constexpr int kLineHeight = 275;  // one line of a focused cell's text
constexpr int kGrowMargin = 30;   // kept free below a grown cell

struct CellBox {
  int top;
  int height;
};

// A focused cell of `lines` lines: never taller than the vertical bar, and moved up when it
// would reach the frame's bottom margin (touching it counts).
constexpr CellBox grownCell(int top, std::int64_t lines, int barHeight, int frameHeight) {
  const int height = static_cast<int>(std::min<std::int64_t>(lines * kLineHeight, barHeight));
  if (top + height + kGrowMargin >= frameHeight) top = frameHeight - kGrowMargin - height;
  return {top, height};
}
}  // namespace GridGeometry
