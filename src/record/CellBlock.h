#pragma once
#include <cstddef>
#include <cstdint>

// Stand-in until the shared block lands on main.
struct CellBlock {
  std::int32_t firstRecord = 0, lastRecord = -1;
  std::int32_t firstColumn = 0, lastColumn = -1;
  bool empty() const { return lastRecord < firstRecord || lastColumn < firstColumn; }
  std::int32_t records() const { return empty() ? 0 : lastRecord - firstRecord + 1; }
  std::int32_t columns() const { return empty() ? 0 : lastColumn - firstColumn + 1; }
  std::size_t cells() const { return static_cast<std::size_t>(records()) * static_cast<std::size_t>(columns()); }
  bool contains(std::int32_t record, std::int32_t column) const {
    return record >= firstRecord && record <= lastRecord && column >= firstColumn && column <= lastColumn;
  }
};
