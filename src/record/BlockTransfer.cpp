#include "BlockTransfer.h"

#include <algorithm>
#include <vector>

#include "CRecordData.h"
#include "DataFileFormat.h"
#include "FileKind.h"
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

std::string copyText(const CRecordData& store, const CellBlock& block, bool withNames, std::string_view lineEnd) {
  std::string out;
  if (block.empty()) return out;
  const std::vector<std::int32_t> fields = fieldsOf(store, block);
  const std::size_t first = withNames ? 1 : 0;
  // One line at a time: a whole file's block never lives as millions of separate strings.
  SpreadsheetText::Rows line(1, std::vector<std::string>(first + fields.size()));
  std::vector<std::string>& row = line.front();
  if (withNames) {
    const bool titled = FileKind::of(store.FormID()).headerRows() > 0;
    for (std::size_t k = 0; k < fields.size(); ++k) row[first + k] = titled ? store.value(1, fields[k]) : "";
    out += SpreadsheetText::encode(line, lineEnd);
  }
  for (std::int32_t record = block.firstRecord; record <= block.lastRecord; ++record) {
    if (withNames) row[0] = store.unitName(record);
    for (std::size_t k = 0; k < fields.size(); ++k) row[first + k] = store.value(record, fields[k]);
    out += SpreadsheetText::encode(line, lineEnd);
  }
  return out;
}

PastePlan planPaste(const CRecordData& store, std::string_view text, const CellBlock& target) {
  PastePlan plan;
  if (target.empty() || text.empty()) return plan;
  const SpreadsheetText::Rows rows = SpreadsheetText::decode(text);
  if (rows.empty()) return plan;
  if (!SpreadsheetText::isBlock(text)) {
    plan.blockRecords = plan.fitRecords = target.records();
    plan.blockColumns = plan.fitColumns = target.columns();
    const std::vector<std::int32_t> fields = fieldsOf(store, target);
    const std::string_view value = rows.front().front();
    std::size_t pasted = 0;
    for (std::int32_t record = target.firstRecord; record <= target.lastRecord; ++record)
      if (!planRecord(store, record, fields, fields.size(), [&](std::size_t) { return value; }, pasted, plan))
        break;
    return plan;
  }
  plan.blockRecords = static_cast<std::int32_t>(rows.size());
  for (const auto& row : rows) plan.blockColumns = std::max(plan.blockColumns, static_cast<std::int32_t>(row.size()));
  plan.fitRecords = std::clamp(store.NoUnits() - target.firstRecord + 1, 0, plan.blockRecords);
  plan.fitColumns = std::clamp(store.NoFieldsInSelectedRange() - target.firstColumn + 1, 0, plan.blockColumns);
  if (plan.fitRecords < plan.blockRecords || plan.fitColumns < plan.blockColumns) {
    plan.refusal = PastePlan::Refusal::TooLarge;
    return plan;
  }
  const CellBlock placed{target.firstRecord, target.firstRecord + plan.blockRecords - 1, target.firstColumn,
                         target.firstColumn + plan.blockColumns - 1};
  const std::vector<std::int32_t> fields = fieldsOf(store, placed);
  std::size_t pasted = 0;
  for (std::int32_t record = placed.firstRecord; record <= placed.lastRecord; ++record) {
    const std::vector<std::string>& row = rows[static_cast<std::size_t>(record - placed.firstRecord)];
    if (!planRecord(store, record, fields, row.size(), [&](std::size_t k) { return std::string_view(row[k]); }, pasted,
                    plan))
      break;
  }
  return plan;
}

}  // namespace BlockTransfer
