#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "CRecordData.h"
#include "Require.h"

// A listed range is valid range text that reads back to itself.
inline void checkRange(CRecordData& store, std::int32_t range, std::string_view text) {
  store.setRange(range, text);
  const std::string listed = store.getSelRangeArrayStr(range);
  require(store.setRange(range, listed) == 0, "a listed range reads back without complaint");
  require(store.getSelRangeArrayStr(range) == listed, "a listed range reads back to itself");
  store.setRangeSelected(range);
  std::string columns;
  for (std::int32_t c = 1; c <= store.NoFieldsInSelectedRange(); ++c) {
    const std::int32_t field = store.actualFieldNoInSelectedRange(c);
    require(field >= 1 && field <= store.NoFields(), "a column shows a field of the kind");
    columns += std::to_string(field) + ", ";
  }
  require(columns == listed && store.getSelRangeArrayStr() == listed, "the columns are the listed range");
}

inline void checkWidths(CRecordData& store, std::int32_t column, std::string_view text) {
  store.setAllDisplayWidths(text);
  store.setDisplayWidth(column, text);
  const std::string listed = store.getWidthArrayStr();
  store.setAllDisplayWidths(listed);
  require(store.getWidthArrayStr() == listed, "a listed width list reads back to itself");
}
