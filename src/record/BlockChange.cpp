#include "BlockChange.h"

#include <algorithm>
#include <string_view>

#include "CRecordData.h"
#include "FileKind.h"

namespace {

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Not std::ranges::search: clang with libstdc++ 12, the fuzz build, cannot compile it.
bool holdsText(std::string_view name, std::string_view text) {
  const auto same = [](char a, char b) { return asciiLower(a) == asciiLower(b); };
  return std::search(name.begin(), name.end(), text.begin(), text.end(), same) != name.end();
}

std::int32_t firstUnit(const CRecordData& record) { return FileKind::of(record.FormID()).firstUnit; }

// Every data value of the field, read once: they decide whether the field is whole, and the
// targets' are among them. Splitting a record is what costs.
std::vector<std::string_view> dataValues(const CRecordData& record, std::int32_t field) {
  std::vector<std::string_view> values;
  values.reserve(static_cast<std::size_t>(std::max(0, record.NoUnits() - firstUnit(record) + 1)));
  for (std::int32_t unit = firstUnit(record); unit <= record.NoUnits(); ++unit) values.push_back(record.value(unit, field));
  return values;
}

}  // namespace

ChangeTargets ChangeTargets::of(const CRecordData& record, const UnitView& view, const CellBlock& block) {
  ChangeTargets targets;
  for (std::int32_t column = block.firstColumn; column <= block.lastColumn; ++column)
    targets.fields.push_back(record.actualFieldNoInSelectedRange(column));
  targets.records = view.records(block.firstRecord, block.lastRecord);
  return targets;
}

ChangeTargets ChangeTargets::allUnits(const CRecordData& record, std::vector<std::int32_t> fields, std::string name) {
  const UnitView every = UnitView::every(firstUnit(record), record.NoUnits());
  return {std::move(fields), every.records(every.firstRow(), every.lastRow()), std::move(name)};
}

pelko::expected<BlockChange, ChangeTooLarge> changeValues(const CRecordData& record, const ValueChange& change,
                                                          const ChangeTargets& targets) {
  BlockChange result;
  std::vector<std::int32_t> units;
  for (const std::int32_t unit : targets.records)
    if (unit >= firstUnit(record) && unit <= record.NoUnits() &&
        (targets.nameContains.empty() || holdsText(record.unitName(unit), targets.nameContains)))
      units.push_back(unit);
  for (const std::int32_t field : targets.fields) {
    if (field < 1 || field > record.NoFields()) continue;
    const std::vector<std::string_view> values = dataValues(record, field);
    const bool whole = ValueChange::fieldNumbers(values).whole;
    for (const std::int32_t unit : units) {
      const std::string_view old = values[static_cast<std::size_t>(unit - firstUnit(record))];
      const auto now = change.apply(old, whole);
      if (!now && now.error() == ValueChange::ApplyError::NotANumber) {
        ++result.skipped;
      } else if (!now) {
        return pelko::unexpected(ChangeTooLarge{unit, field, std::string(old)});
      } else if (*now == old) {
        ++result.unchanged;
      } else {
        ++result.changed;
        result.cells.add(unit, field, old, *now);
      }
    }
  }
  result.cells.seal();
  return result;
}
