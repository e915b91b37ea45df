// Drives the clipboard's block text with arbitrary bytes: whatever decode reads, encoding it reads
// back the same with either line end, and a text is a block exactly when it holds several values.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Require.h"
#include "SpreadsheetText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const SpreadsheetText::Rows rows = SpreadsheetText::decode(text);
  for (const char* lineEnd : {"\n", "\r\n"})
    require(SpreadsheetText::decode(SpreadsheetText::encode(rows, lineEnd)) == rows, "encoded rows read back otherwise");
  const bool severalValues = rows.size() > 1 || (rows.size() == 1 && rows.front().size() > 1);
  require(SpreadsheetText::isBlock(text) == severalValues, "a block by isBlock is not one by decode");
  return 0;
}
