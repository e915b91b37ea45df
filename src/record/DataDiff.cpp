#include "DataDiff.h"

#include <algorithm>

#include "CRecordData.h"
namespace DataDiff {

std::optional<std::string> unescape(std::string_view text) {
  std::string value;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      value += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\': value += '\\'; break;
      case 't': value += '\t'; break;
      case 'r': value += '\r'; break;
      case 'n': value += '\n'; break;
      default: return std::nullopt;
    }
  }
  return value;
}

namespace {

std::optional<std::int32_t> number(std::string_view text) {
  if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return std::stoi(std::string(text));
}

std::string name(const CRecordData& store, std::int32_t record) {
  return escape(store.returnArrayUnitNames(record, 1).front());
}

}  // namespace

std::string escape(std::string_view value) {
  std::string text;
  for (const char c : value) {
    switch (c) {
      case '\\': text += "\\\\"; break;
      case '\t': text += "\\t"; break;
      case '\r': text += "\\r"; break;
      case '\n': text += "\\n"; break;
      default: text += c;
    }
  }
  return text;
}

std::vector<Change> compare(const CRecordData& before, const CRecordData& after) {
  std::vector<Change> changes;
  const std::int32_t records = std::min(before.NoUnits(), after.NoUnits());
  for (std::int32_t r = 1; r <= records; ++r)
    for (std::int32_t f = 1; f <= after.NoFields() && !after.sameText(before, r); ++f) {
      const std::string_view old = before.value(r, f), now = after.value(r, f);
      if (old != now && !after.writtenWithField22(r, f)) changes.push_back({r, f, std::string(old), std::string(now)});
    }
  return changes;
}

std::string line(const CRecordData& after, const Change& change) {
  return std::to_string(change.record) + '\t' + name(after, change.record) + '\t' + std::to_string(change.field) + '\t' +
         escape(after.value(1, change.field)) + '\t' + escape(change.oldValue) + '\t' + escape(change.newValue);
}

std::optional<Change> parseLine(std::string_view text) {
  std::vector<std::string_view> parts;
  for (std::size_t from = 0;;) {
    const std::size_t tab = text.find('\t', from);
    parts.push_back(text.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from));
    if (tab == std::string_view::npos) break;
    from = tab + 1;
  }
  if (parts.size() != 6) return std::nullopt;
  const auto record = number(parts[0]), field = number(parts[2]);
  auto oldValue = unescape(parts[4]), newValue = unescape(parts[5]);
  if (!record || !field || !oldValue || !newValue || !unescape(parts[1]) || !unescape(parts[3])) return std::nullopt;
  return Change{*record, *field, std::move(*oldValue), std::move(*newValue)};
}

std::vector<std::string> recordLines(const CRecordData& before, const CRecordData& after) {
  std::vector<std::string> lines;
  for (std::int32_t r = before.NoUnits() + 1; r <= after.NoUnits(); ++r)
    lines.push_back("added\t" + std::to_string(r) + '\t' + name(after, r));
  for (std::int32_t r = after.NoUnits() + 1; r <= before.NoUnits(); ++r)
    lines.push_back("missing\t" + std::to_string(r) + '\t' + name(before, r));
  return lines;
}

std::vector<Conflict> apply(CRecordData& target, const std::vector<Change>& changes, bool force) {
  std::vector<Conflict> conflicts;
  for (const Change& change : changes) {
    const bool exists = change.record <= target.NoUnits() && change.field <= target.NoFields();
    const std::string found(exists ? target.value(change.record, change.field) : std::string_view());
    if (exists && found == change.newValue) continue;
    if (!exists || found != change.oldValue) {
      conflicts.push_back({change, found});
      if (!exists || !force) continue;
    }
    target.setValue(change.record, change.field, change.newValue);
  }
  return conflicts;
}

}  // namespace DataDiff
