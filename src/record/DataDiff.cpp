#include "DataDiff.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "CRecordData.h"
#include "DataFileFormat.h"
#include "RecordPairing.h"

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

std::string name(const CRecordData& store, std::int32_t record) { return escape(store.unitName(record)); }

// Where the changes' units are in a target. Every place is found before any value is stored, as
// the names indexed are views into the target.
class Placement {
 public:
  struct Place {
    std::int32_t record = 0;   // 0: not placed
    std::int32_t holders = 0;  // records of the target holding the name
  };

  explicit Placement(const CRecordData& target) : mTarget(target) {}

  // The target's record for the unit that `names` (the line's name first) call record iRecNo.
  Place find(std::int32_t iRecNo, const std::vector<std::string_view>& names) {
    if (iRecNo < FileKind::of(mTarget.FormID()).firstUnit) return {iRecNo <= mTarget.NoUnits() ? iRecNo : 0, 0};
    if (iRecNo <= mTarget.NoUnits() && std::find(names.begin(), names.end(), mTarget.unitName(iRecNo)) != names.end())
      return {iRecNo, 1};
    for (const std::string_view name : names) {
      const auto found = index().find(name);
      if (found == index().end()) continue;
      return found->second.holders == 1 ? Place{found->second.record, 1} : Place{0, found->second.holders};
    }
    return {};
  }

 private:
  const std::unordered_map<std::string_view, Place>& index() {
    if (!mIndex) {
      mIndex.emplace();
      for (std::int32_t r = FileKind::of(mTarget.FormID()).firstUnit; r <= mTarget.NoUnits(); ++r) {
        Place& place = (*mIndex)[mTarget.unitName(r)];
        ++place.holders;
        place.record = r;
      }
    }
    return *mIndex;
  }

  const CRecordData& mTarget;
  std::optional<std::unordered_map<std::string_view, Place>> mIndex;
};

void compareRecord(const CRecordData& before, std::int32_t iBefore, const CRecordData& after, std::int32_t iAfter,
                   std::vector<Change>& changes) {
  if (after.sameText(before, iAfter, iBefore)) return;
  for (std::int32_t f = 1; f <= after.NoFields(); ++f) {
    const std::string_view old = before.value(iBefore, f), now = after.value(iAfter, f);
    if (old != now && !after.writtenWithField22(iAfter, f)) changes.push_back({iBefore, f, std::string(old), std::string(now), iAfter, {}, {}});
  }
}

// Record n against record n, as long as each record that is not byte-equal names the same unit
// in both (then all do); nothing once one does not.
std::optional<std::vector<Change>> compareInOrder(const CRecordData& before, const CRecordData& after) {
  if (before.NoUnits() != after.NoUnits()) return std::nullopt;
  const std::int32_t firstUnit = FileKind::of(before.FormID()).firstUnit;
  std::vector<Change> changes;
  for (std::int32_t r = 1; r <= before.NoUnits(); ++r) {
    if (after.sameText(before, r)) continue;
    if (r >= firstUnit && before.unitName(r) != after.unitName(r)) return std::nullopt;
    compareRecord(before, r, after, r, changes);
  }
  return changes;
}

using LineKey = std::pair<std::int32_t, std::string_view>;  // a line's record and name

// The names a line's unit may go by in the target: its own, and both of a rename of it that the
// changes make, so that changes already carried over still find their unit.
std::vector<std::string_view> namesOf(const Change& change, const std::map<LineKey, const Change*>& renames) {
  std::vector<std::string_view> names{change.name};
  if (const auto rename = renames.find({change.record, change.name}); rename != renames.end())
    names.insert(names.end(), {rename->second->oldValue, rename->second->newValue});
  return names;
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

Comparison compare(const CRecordData& before, const CRecordData& after) {
  if (auto changes = compareInOrder(before, after)) return {RecordPairing::sameOrder(before.NoUnits()), std::move(*changes)};
  Comparison comparison{RecordPairing(before, after), {}};
  for (std::int32_t r = 1; r <= before.NoUnits(); ++r)
    if (const std::int32_t a = comparison.pairing.afterOf(r); a != 0) compareRecord(before, r, after, a, comparison.changes);
  return comparison;
}

std::string line(const CRecordData& before, const Change& change) {
  return std::to_string(change.record) + '\t' + name(before, change.record) + '\t' + std::to_string(change.field) + '\t' +
         escape(before.value(1, change.field)) + '\t' + escape(change.oldValue) + '\t' + escape(change.newValue);
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
  auto name = unescape(parts[1]), title = unescape(parts[3]), oldValue = unescape(parts[4]), newValue = unescape(parts[5]);
  if (!record || !field || !name || !title || !oldValue || !newValue) return std::nullopt;
  return Change{*record, *field, std::move(*oldValue), std::move(*newValue), 0, std::move(*name), std::move(*title)};
}

std::vector<std::string> recordLines(const CRecordData& before, const CRecordData& after, const RecordPairing& pairing) {
  std::vector<std::string> lines;
  for (const std::int32_t r : pairing.unpairedAfter()) lines.push_back("added\t" + std::to_string(r) + '\t' + name(after, r));
  for (const std::int32_t r : pairing.unpairedBefore()) lines.push_back("missing\t" + std::to_string(r) + '\t' + name(before, r));
  return lines;
}

bool fitsKind(const CRecordData& target, const std::vector<Change>& changes) {
  return changes.empty() || std::any_of(changes.begin(), changes.end(), [&](const Change& change) {
           return change.field <= target.NoFields() && target.value(1, change.field) == change.title;
         });
}

Holds holds(std::string_view found, const std::string& oldValue, const std::string& newValue) {
  if (found == newValue) return Holds::New;
  return found == oldValue ? Holds::Old : Holds::Other;
}

Resolver::Resolver(const CRecordData& target, const std::vector<Change>& changes) : mTarget(target) {
  std::map<LineKey, const Change*> renames;
  for (const Change& change : changes)
    if (change.field == FileKind::of(target.FormID()).nameField) renames.emplace(LineKey{change.record, change.name}, &change);
  Placement placement(target);
  for (const Change& change : changes) {
    const auto [at, fresh] = mPlaces.try_emplace({change.record, change.name});
    if (!fresh) continue;
    const Placement::Place place = placement.find(change.record, namesOf(change, renames));
    at->second = {place.record, place.holders};
    if (place.record != 0 && place.record != change.record) mMoves.push_back({change.record, place.record, change.name});
  }
}

Landing Resolver::land(const Change& change) const {
  const auto [record, holders] = mPlaces.at({change.record, change.name});
  if (record == 0) return {0, holders > 1 ? Holds::SeveralUnits : Holds::NoUnit, holders};
  if (change.field > mTarget.NoFields()) return {record, Holds::NoField, holders};
  return {record, holds(mTarget.value(record, change.field), change.oldValue, change.newValue), holders};
}

Applied apply(CRecordData& target, const std::vector<Change>& changes, bool force) {
  const Resolver resolver(target, changes);
  Applied applied{{}, resolver.moves()};
  for (const Change& change : changes) {
    const Landing landing = resolver.land(change);
    switch (landing.holds) {
      case Holds::NoUnit:
      case Holds::SeveralUnits:
        applied.conflicts.push_back({change, landing.holds == Holds::SeveralUnits ? Conflict::Cause::SeveralUnits : Conflict::Cause::NoUnit,
                                     {}, landing.holders});
        continue;
      case Holds::NoField: applied.conflicts.push_back({change, Conflict::Cause::NoField, {}, 0}); continue;
      case Holds::New: continue;
      case Holds::Other:
        applied.conflicts.push_back({change, Conflict::Cause::Value, std::string(target.value(landing.record, change.field)), 0});
        if (!force) continue;
        break;
      case Holds::Old: break;
    }
    target.setValue(landing.record, change.field, change.newValue);
  }
  return applied;
}

}  // namespace DataDiff
