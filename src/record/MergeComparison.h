#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "CellChanges.h"

class CRecordData;

// How a value of the store stands against what it is compared with.
enum class Difference : std::uint8_t {
  None,      // equal, or not compared
  Differs,   // two-way: the default copy or the other file holds another value
  CanTake,   // three-way: the other file changed it from the default copy, the store did not
  Same,      // both changed it, to the same value
  Conflict,  // both changed it, to different values
  OursOnly,  // only the store changed it
};

// The store compared with the default copy, with another file, or with another mod three-way (the
// default copy as the base). Only the cells where something differs are kept, each with the base
// value and the other file's where that differs from the base; the class of a cell follows from
// them and the store's value now, so it stays right while the store is edited.
class MergeComparison {
 public:
  enum class Mode { None, DefaultCopy, OtherFile, ThreeWay };
  using Cell = std::pair<std::int32_t, std::int32_t>;  // record, field

  void clear();
  // Two-way, records paired by unit; mode DefaultCopy or OtherFile.
  void compare(const CRecordData& ours, const CRecordData& other, Mode mode);
  // Three-way: what `theirs` changed from `base` lands on the store's records as `pelkoTool apply`
  // would carry it over, and is classed by the same rule.
  void compare(const CRecordData& ours, const CRecordData& base, const CRecordData& theirs);

  Mode mode() const { return mMode; }
  Difference difference(const CRecordData& ours, std::int32_t iRecNo, std::int32_t iField) const;
  // The value Take Other Value (or Revert to Default Value) puts in; null where nothing differs.
  const std::string* otherValue(const CRecordData& ours, std::int32_t iRecNo, std::int32_t iField) const;
  // Three-way: the default copy's value of a differing cell; null otherwise.
  const std::string* baseValue(std::int32_t iRecNo, std::int32_t iField) const;
  // Keeps the cells up to date for a value about to replace `now` in the store.
  void note(const CRecordData& ours, std::int32_t iRecNo, std::int32_t iField, std::string_view now, std::string_view value);

  std::size_t count() const { return mKept.size(); }
  std::size_t count(Difference difference) const { return mCounts[static_cast<std::size_t>(difference)]; }
  std::vector<Cell> cells() const;
  // Sorted, each once; data records only (from firstUnit).
  std::vector<std::int32_t> records(std::int32_t firstUnit) const;
  // Every value the store can take, as one step's changes.
  CellChanges takeAll(const CRecordData& ours) const;
  // What the kept cells cost, their table included.
  std::size_t keptBytes() const;

  // The store's records without a counterpart in the base (the other file, two-way) and the
  // base's units the store lacks.
  std::size_t oursWithout() const { return mOursWithout.size(); }
  std::size_t baseWithout() const { return mBaseWithout; }
  // Three-way: units only the other file holds, and its changes to units or fields the store
  // lacks; neither can be taken.
  std::size_t theirsAdded() const { return mTheirsAdded; }
  std::size_t untakeable() const { return mUntakeable; }
  // The other file's path, for the window to name it; empty for the default copy.
  const std::string& otherPath() const { return mOtherPath; }
  void setOtherPath(std::string path) { mOtherPath = std::move(path); }

 private:
  struct Kept {
    std::string base;
    std::optional<std::string> theirs;  // none: equal to the base
  };
  static std::uint64_t key(std::int32_t iRecNo, std::int32_t iField) {
    return (std::uint64_t(std::uint32_t(iRecNo)) << 32) | std::uint32_t(iField);
  }
  Difference classOf(const Kept& kept, std::string_view ours) const;
  bool comparable(const CRecordData& ours, std::int32_t iRecNo, std::int32_t iField) const;
  void pairWithBase(const CRecordData& ours, const CRecordData& base, Mode mode);
  void countAll(const CRecordData& ours);

  Mode mMode = Mode::None;
  std::unordered_map<std::uint64_t, Kept> mKept;
  std::array<std::size_t, 6> mCounts{};
  std::int32_t mFields = 0;
  std::vector<std::int32_t> mOursWithout;  // sorted
  std::size_t mBaseWithout = 0;
  std::size_t mTheirsAdded = 0;
  std::size_t mUntakeable = 0;
  std::string mOtherPath;
};
