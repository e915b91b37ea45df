#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "FindSearch.h"
#include "UnitFilter.h"
#include "UnitView.h"

class CRecordData;

// Which units the grid shows, and in which order: every unit; those a find matches ("Only
// matching units"); those holding a value that differs from the compared file ("Only changed
// units"); or the units both keep. In file order, or sorted by a field's values.
class ShownUnits {
 public:
  struct Sort {
    std::int32_t field = 0;  // 0: file order
    bool descending = false;
  };

  // The find whose matches alone show; none: names do not matter. True when that changed what
  // the filter keeps.
  bool setMatching(std::optional<FindSearch::Request> request);
  void setOnlyChanged(bool on) { mOnlyChanged = on; }
  bool onlyChanged() const { return mOnlyChanged; }
  void setSort(Sort sort) { mSort = sort; }
  const Sort& sort() const { return mSort; }
  bool filtered() const { return mMatching.has_value() || mOnlyChanged; }

  // The view of the store's units; `changed` lists the records holding a differing value, sorted.
  UnitView view(const CRecordData& store, const std::vector<std::int32_t>& changed);

 private:
  std::optional<FindSearch::Request> mMatching;
  bool mOnlyChanged = false;
  Sort mSort;
  UnitFilter mFilter;  // keeps the names' index from one key typed to the next
};
