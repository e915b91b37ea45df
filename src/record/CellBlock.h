#pragma once
#include <cstddef>
#include <cstdint>

// A block of the grid's values: records of the store by display columns of the selected range,
// both inclusive and in order. Held by numbers, not by cells, so that it outlives paging.
struct CellBlock {
  std::int32_t firstRecord = 0;
  std::int32_t lastRecord = -1;
  std::int32_t firstColumn = 0;
  std::int32_t lastColumn = -1;

  bool empty() const { return lastRecord < firstRecord || lastColumn < firstColumn; }
  std::int32_t records() const { return empty() ? 0 : lastRecord - firstRecord + 1; }
  std::int32_t columns() const { return empty() ? 0 : lastColumn - firstColumn + 1; }
  std::size_t cells() const { return std::size_t(records()) * std::size_t(columns()); }
  bool contains(std::int32_t record, std::int32_t column) const {
    return record >= firstRecord && record <= lastRecord && column >= firstColumn && column <= lastColumn;
  }
  bool operator==(const CellBlock&) const = default;
};
