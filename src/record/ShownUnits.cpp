#include "ShownUnits.h"

#include <algorithm>
#include <iterator>

#include "CRecordData.h"
#include "FileKind.h"
#include "UnitOrder.h"

namespace {

bool sameMatches(const std::optional<FindSearch::Request>& a, const std::optional<FindSearch::Request>& b) {
  if (!a || !b) return a.has_value() == b.has_value();
  return a->text == b->text && a->firstUnit == b->firstUnit && a->nameField == b->nameField &&
         a->allValues == b->allValues && a->matchCase == b->matchCase && a->wholeValue == b->wholeValue;
}

}  // namespace

bool ShownUnits::setMatching(std::optional<FindSearch::Request> request) {
  if (sameMatches(mMatching, request)) return false;
  if (request) request->view = nullptr;  // a filter looks at every unit, whatever shows now
  mMatching = std::move(request);
  return true;
}

UnitView ShownUnits::view(const CRecordData& store, const std::vector<std::int32_t>& changed) {
  const std::int32_t first = FileKind::of(store.FormID()).firstUnit;
  UnitView view = UnitView::every(first, store.NoUnits());
  if (!filtered() && mSort.field == 0) return view;
  std::vector<std::int32_t> records =
      mMatching ? mFilter.matching(store, *mMatching) : view.records(view.firstRow(), view.lastRow());
  if (mOnlyChanged) {
    std::vector<std::int32_t> both;
    std::ranges::set_intersection(records, changed, std::back_inserter(both));
    records = std::move(both);
  }
  if (mSort.field > 0) sortUnits(store, mSort.field, mSort.descending, records);
  view.showOnly(first, std::move(records));
  return view;
}
