#pragma once

// The grid's designed geometry in twips, shared by its creation, refill and cell editing.
namespace GridGeometry {
constexpr int kCellTop = 1200;      // row 0 of the cells, inside the grid frame
constexpr int kRowLabelTop = 1820;  // row 0 of the names and numbers, inside the main frame
constexpr int kRowLabelOffset = kRowLabelTop - kCellTop;  // the grid frame stands this much lower
constexpr int kRowPitch = 395;
constexpr int kCellHeight = 375;
constexpr int kColumnGap = 20;
}  // namespace GridGeometry
