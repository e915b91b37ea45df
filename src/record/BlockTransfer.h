#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "CellBlock.h"
#include "CellChanges.h"
#include "UnitView.h"

class CRecordData;

// Copy and paste of a block of values in the text spreadsheets put on the clipboard
// (SpreadsheetText). Blocks are rows of a view × display columns of the store's selected range;
// the view says which record each row is.
namespace BlockTransfer {

// A single value filled into a whole file's block could take many gigabytes; a paste of every
// value of a large file takes a few hundred megabytes.
inline constexpr std::size_t kMostPastedBytes = std::size_t{1} << 30;

// One line per row in the view's order, each line ending with lineEnd. With names, a first line
// of field titles (the first header record's values) after an empty cell, and each unit's name
// before its values.
std::string copyText(const CRecordData& store, const UnitView& view, const CellBlock& block, bool withNames,
                     std::string_view lineEnd);

struct PastePlan {
  // TooMuch: the new values alone would take more than kMostPastedBytes of memory.
  enum class Refusal { None, TooLarge, TooLong, TooMuch };
  Refusal refusal = Refusal::None;
  // Only the values that differ from what the store holds; nothing when refused.
  CellChanges changes;
  // The pasted block, and how much of it fits from the start cell (TooLarge).
  std::int32_t blockRecords = 0;
  std::int32_t blockColumns = 0;
  std::int32_t fitRecords = 0;
  std::int32_t fitColumns = 0;
  // TooLong: the first record whose text would outgrow a record, and that text's length;
  // TooMuch: the bytes of the new values so far.
  std::int32_t record = 0;
  std::size_t length = 0;
};

// What pasting `text` at `target` (the selected block, or the focused cell alone) changes. A
// block goes from the target's top-left cell; one value fills the whole target. A row shorter
// than the block's widest leaves the cells right of it as they are. Values the file cannot hold
// are planned like any other: storing them marks their records (CRecordData::saveProblem).
PastePlan planPaste(const CRecordData& store, const UnitView& view, std::string_view text, const CellBlock& target);

}  // namespace BlockTransfer
