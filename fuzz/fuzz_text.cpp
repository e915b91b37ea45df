// Drives the typed texts of ranges and widths without a loaded file. The first byte picks the
// kind, the range and the column; the rest is the text, read as a range and as widths.
#include <cstddef>
#include <cstdint>
#include <string>

#include "CRecordData.h"
#include "StoreChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned selector = data[0];
  const std::int32_t kind = static_cast<std::int32_t>(selector % 3) + 1;
  const std::int32_t range = static_cast<std::int32_t>(selector / 3 % 6) + 1;
  const std::int32_t column = static_cast<std::int32_t>(selector / 18) - 1;  // from before the first
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  CRecordData store;
  store.initRanges(kind);
  checkRange(store, range, text);
  checkWidths(store, column, text);
  return 0;
}
