#pragma once
#include <cstdint>
#include <memory>

// The grid's limits, from the screen size when created: how many field columns fit across the
// screen and how many record rows fit down it. Limits of the display, not of the data.
class CGlobal {
 public:
  CGlobal();
  std::int32_t MaxFields() const { return mMaxFields; }
  std::int32_t MaxUnits() const { return mMaxUnits; }

 private:
  std::int32_t mMaxFields;
  std::int32_t mMaxUnits;
};

// The program's one grid-limits object, made by the editor window when it is created.
inline std::unique_ptr<CGlobal> gGlobal;
