#include "BlockTransfer.h"

#include <algorithm>
#include <vector>

#include "CRecordData.h"
#include "DataFileFormat.h"
#include "FileKind.h"
#include "GlobalShared.h"
#include "SpreadsheetText.h"

namespace BlockTransfer {

namespace {

std::vector<std::int32_t> fieldsOf(const CRecordData& store, const CellBlock& block) {
  std::vector<std::int32_t> fields;
  for (std::int32_t column = block.firstColumn; column <= block.lastColumn; ++column)
    fields.push_back(store.actualFieldNoInSelectedRange(column));
  return fields;
}

// The record's values and the separators between them: what a save writes, give or take the
// quotes of a packed cell.
std::size_t recordLength(const CRecordData& store, std::int32_t record) {
  if (const auto text = store.unchangedText(record)) return text->size();
  std::size_t length = static_cast<std::size_t>(std::max(store.NoFields() - 1, 0));
  for (std::int32_t field = 1; field <= store.NoFields(); ++field) length += store.value(record, field).size();
  return length;
}

bool refuse(PastePlan& plan, PastePlan::Refusal why, std::int32_t record, std::size_t length) {
  plan.refusal = why;
  plan.record = record;
  plan.length = length;
  plan.changes = {};
  return false;
}

// Adds the changes of one record; false, with the plan refused, when the record would outgrow
// what a record can hold.
template <typename ValueOf>
bool planRecord(const CRecordData& store, std::int32_t record, const std::vector<std::int32_t>& fields,
                std::size_t count, ValueOf valueOf, std::size_t& pasted, PastePlan& plan) {
  std::int64_t growth = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const std::string_view after = valueOf(k);
    const std::string_view before = store.value(record, fields[k]);
    if (after == before) continue;
    growth += static_cast<std::int64_t>(after.size()) - static_cast<std::int64_t>(before.size());
    pasted += after.size();
    plan.changes.add(record, fields[k], before, after);
  }
  if (pasted > kMostPastedBytes) return refuse(plan, PastePlan::Refusal::TooMuch, record, pasted);
  if (growth <= 0) return true;
  const std::size_t length = recordLength(store, record) + static_cast<std::size_t>(growth);
  return length <= DataFileFormat::kLongestRecord || refuse(plan, PastePlan::Refusal::TooLong, record, length);
}

}  // namespace

std::string copyText(const CRecordData& store, const UnitView& view, const CellBlock& block, bool withNames,
                     std::string_view lineEnd) {
  std::string out;
  if (block.empty()) return out;
  const std::vector<std::int32_t> fields = fieldsOf(store, block);
  // Room for the values at the loaded text's mean length, so that a whole file's copy is not
  // moved as it grows.
  if (store.NoUnits() > 0 && store.NoFields() > 0)
    GlobalShared::reserveLarge(out, store.loadedText().size() / static_cast<std::size_t>(store.NoUnits()) *
                                            block.cells() / static_cast<std::size_t>(store.NoFields()) +
                                        block.cells() + 256);
  const std::size_t first = withNames ? 1 : 0;
  std::vector<std::string_view> row(first + fields.size());
  if (withNames) {
    const bool titled = FileKind::of(store.FormID()).headerRows() > 0;
    for (std::size_t k = 0; k < fields.size(); ++k) row[first + k] = titled ? store.value(1, fields[k]) : "";
    SpreadsheetText::appendRow(out, row, lineEnd);
  }
  for (const std::int32_t record : view.records(block.firstRecord, block.lastRecord)) {
    if (withNames) row[0] = store.unitName(record);
    for (std::size_t k = 0; k < fields.size(); ++k) row[first + k] = store.value(record, fields[k]);
    SpreadsheetText::appendRow(out, row, lineEnd);
  }
  return out;
}

PastePlan planPaste(const CRecordData& store, const UnitView& view, std::string_view text, const CellBlock& target) {
  PastePlan plan;
  if (target.empty() || text.empty()) return plan;
  if (!SpreadsheetText::isBlock(text)) {
    const SpreadsheetText::Rows rows = SpreadsheetText::decode(text);
    plan.blockRecords = plan.fitRecords = target.records();
    plan.blockColumns = plan.fitColumns = target.columns();
    const std::vector<std::int32_t> fields = fieldsOf(store, target);
    const std::string_view value = rows.front().front();
    std::size_t pasted = 0;
    for (const std::int32_t record : view.records(target.firstRecord, target.lastRecord))
      if (!planRecord(
              store, record, fields, fields.size(), [&](std::size_t) { return value; }, pasted, plan))
        break;
    return plan;
  }
  // One pass, rows decoded one at a time: planning stops once the block outgrows the room, and
  // the rest is only measured.
  const std::int32_t roomRecords = std::max(view.lastRow() - target.firstRecord + 1, 0);
  const std::int32_t roomColumns = std::max(store.NoFieldsInSelectedRange() - target.firstColumn + 1, 0);
  const std::vector<std::int32_t> fields = fieldsOf(
      store, {target.firstRecord, target.firstRecord, target.firstColumn, target.firstColumn + roomColumns - 1});
  std::size_t pasted = 0;
  bool planning = true;
  SpreadsheetText::forEachRow(text, [&](const std::vector<std::string>& row) {
    const std::int32_t at = target.firstRecord + plan.blockRecords++;
    plan.blockColumns = std::max(plan.blockColumns, static_cast<std::int32_t>(row.size()));
    planning =
        planning && plan.blockRecords <= roomRecords && plan.blockColumns <= roomColumns &&
        planRecord(
            store, view.record(at), fields, row.size(), [&](std::size_t k) { return std::string_view(row[k]); }, pasted, plan);
  });
  plan.fitRecords = std::min(plan.blockRecords, roomRecords);
  plan.fitColumns = std::min(plan.blockColumns, roomColumns);
  if (plan.fitRecords < plan.blockRecords || plan.fitColumns < plan.blockColumns) {
    plan.refusal = PastePlan::Refusal::TooLarge;
    plan.changes = {};
  }
  return plan;
}

}  // namespace BlockTransfer
