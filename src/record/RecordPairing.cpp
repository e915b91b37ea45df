#include "RecordPairing.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "CRecordData.h"
#include "DataFileFormat.h"

namespace {

using Mates = std::vector<std::int32_t>;

// The records first .. last of before and afterFirst .. afterLast of after.
struct Range {
  std::int32_t first;
  std::int32_t last;
  std::int32_t afterFirst;
  std::int32_t afterLast;
};

// Pairs the records between the runs that agree at the start and the end. Lives only while the
// pairing is made: the names it keeps are views into the stores.
class AnchorPairer {
 public:
  AnchorPairer(const CRecordData& before, const CRecordData& after, Mates& afterOf, Mates& beforeOf, const Range& range)
      : mAfterOf(afterOf), mBeforeOf(beforeOf), mRange(range) {
    for (std::int32_t r = range.first; r <= range.last; ++r) mBeforeNames.push_back(before.unitName(r));
    for (std::int32_t r = range.afterFirst; r <= range.afterLast; ++r) mAfterNames.push_back(after.unitName(r));
  }

  void pair() {
    const std::vector<Anchor> anchors = uniqueNames();
    std::vector<bool> ordered(anchors.size(), false);
    for (const std::size_t k : longestOrderedChain(anchors)) ordered[k] = true;
    for (std::size_t k = 0; k < anchors.size(); ++k)
      if (!ordered[k]) link(anchors[k].before, anchors[k].after);  // moved
    Range gap{mRange.first, 0, mRange.afterFirst, 0};
    for (std::size_t k = 0; k < anchors.size(); ++k) {
      if (!ordered[k]) continue;
      gap.last = anchors[k].before - 1;
      gap.afterLast = anchors[k].after - 1;
      pairGap(gap);
      link(anchors[k].before, anchors[k].after);
      gap.first = anchors[k].before + 1;
      gap.afterFirst = anchors[k].after + 1;
    }
    gap.last = mRange.last;
    gap.afterLast = mRange.afterLast;
    pairGap(gap);
  }

 private:
  struct Anchor {
    std::int32_t before;
    std::int32_t after;
  };
  struct Seen {
    std::int32_t before = 0;  // how often the name occurs, and its last record
    std::int32_t beforeAt = 0;
    std::int32_t after = 0;
    std::int32_t afterAt = 0;
  };

  std::string_view beforeName(std::int32_t r) const { return mBeforeNames[static_cast<std::size_t>(r - mRange.first)]; }
  std::string_view afterName(std::int32_t r) const { return mAfterNames[static_cast<std::size_t>(r - mRange.afterFirst)]; }
  void link(std::int32_t before, std::int32_t after) {
    mAfterOf[static_cast<std::size_t>(before)] = after;
    mBeforeOf[static_cast<std::size_t>(after)] = before;
  }

  // The names found exactly once in each file, in before's order.
  std::vector<Anchor> uniqueNames() const {
    std::unordered_map<std::string_view, Seen> seen(mBeforeNames.size() + mAfterNames.size());
    for (std::int32_t r = mRange.first; r <= mRange.last; ++r) {
      Seen& name = seen[beforeName(r)];
      ++name.before;
      name.beforeAt = r;
    }
    for (std::int32_t r = mRange.afterFirst; r <= mRange.afterLast; ++r) {
      Seen& name = seen[afterName(r)];
      ++name.after;
      name.afterAt = r;
    }
    std::vector<Anchor> anchors;
    for (std::int32_t r = mRange.first; r <= mRange.last; ++r)
      if (const Seen& name = seen.find(beforeName(r))->second; name.before == 1 && name.after == 1)
        anchors.push_back({r, name.afterAt});
    return anchors;
  }

  // The anchors whose after records rise with their before records, as many as can be: the
  // longest increasing subsequence, in O(n log n).
  static std::vector<std::size_t> longestOrderedChain(const std::vector<Anchor>& anchors) {
    std::vector<std::size_t> tails;  // tails[k]: the anchor ending the lowest chain of length k + 1
    std::vector<std::size_t> previous(anchors.size());
    for (std::size_t k = 0; k < anchors.size(); ++k) {
      const auto at = std::lower_bound(tails.begin(), tails.end(), anchors[k].after,
                                       [&](std::size_t tail, std::int32_t after) { return anchors[tail].after < after; });
      if (at != tails.begin()) previous[k] = *(at - 1);
      if (at == tails.end())
        tails.push_back(k);
      else
        *at = k;
    }
    std::vector<std::size_t> chain(tails.size());
    for (std::size_t k = chain.size(), at = tails.empty() ? 0 : tails.back(); k-- > 0; at = previous[at]) chain[k] = at;
    return chain;
  }

  void pairGap(const Range& gap) {
    std::vector<std::int32_t> before, after;
    for (std::int32_t r = gap.first; r <= gap.last; ++r)
      if (mAfterOf[static_cast<std::size_t>(r)] == 0) before.push_back(r);
    for (std::int32_t r = gap.afterFirst; r <= gap.afterLast; ++r)
      if (mBeforeOf[static_cast<std::size_t>(r)] == 0) after.push_back(r);
    if (before.size() == after.size()) {
      for (std::size_t k = 0; k < before.size(); ++k) link(before[k], after[k]);
      return;
    }
    if (before.empty() || after.empty()) return;
    // The k-th record of a name in one file pairs with its k-th in the other.
    std::unordered_map<std::string_view, std::vector<std::int32_t>> named(after.size());
    for (auto r = after.rbegin(); r != after.rend(); ++r) named[afterName(*r)].push_back(*r);
    for (const std::int32_t r : before) {
      const auto found = named.find(beforeName(r));
      if (found == named.end() || found->second.empty()) continue;
      link(r, found->second.back());
      found->second.pop_back();
    }
  }

  Mates& mAfterOf;
  Mates& mBeforeOf;
  Range mRange;
  std::vector<std::string_view> mBeforeNames;
  std::vector<std::string_view> mAfterNames;
};

bool sameName(const CRecordData& before, std::int32_t iBefore, const CRecordData& after, std::int32_t iAfter) {
  return before.unitName(iBefore) == after.unitName(iAfter);
}

}  // namespace

RecordPairing RecordPairing::sameOrder(std::int32_t iRecords) { return RecordPairing(iRecords, iRecords); }

RecordPairing::RecordPairing(const CRecordData& before, const CRecordData& after)
    : RecordPairing(before.NoUnits(), after.NoUnits()) {
  const std::int32_t common = std::min(mBeforeCount, mAfterCount);
  std::int32_t start = std::min(FileKind::of(before.FormID()).firstUnit - 1, common);  // header rows
  while (start < common && sameName(before, start + 1, after, start + 1)) ++start;
  if (start == mBeforeCount && start == mAfterCount) return;
  mByNumber = false;
  mAfterOf.assign(static_cast<std::size_t>(mBeforeCount) + 1, 0);
  mBeforeOf.assign(static_cast<std::size_t>(mAfterCount) + 1, 0);
  for (std::int32_t r = 1; r <= start; ++r) mAfterOf[static_cast<std::size_t>(r)] = mBeforeOf[static_cast<std::size_t>(r)] = r;
  std::int32_t end = 0;
  for (; end < common - start && sameName(before, mBeforeCount - end, after, mAfterCount - end); ++end) {
    mAfterOf[static_cast<std::size_t>(mBeforeCount - end)] = mAfterCount - end;
    mBeforeOf[static_cast<std::size_t>(mAfterCount - end)] = mBeforeCount - end;
  }
  const Range middle{start + 1, mBeforeCount - end, start + 1, mAfterCount - end};
  if (middle.first <= middle.last && middle.afterFirst <= middle.afterLast)
    AnchorPairer(before, after, mAfterOf, mBeforeOf, middle).pair();
}

std::int32_t RecordPairing::afterOf(std::int32_t iRecNo) const {
  if (iRecNo < 1 || iRecNo > mBeforeCount) return 0;
  return mByNumber ? iRecNo : mAfterOf[static_cast<std::size_t>(iRecNo)];
}

std::int32_t RecordPairing::beforeOf(std::int32_t iRecNo) const {
  if (iRecNo < 1 || iRecNo > mAfterCount) return 0;
  return mByNumber ? iRecNo : mBeforeOf[static_cast<std::size_t>(iRecNo)];
}

std::vector<std::int32_t> RecordPairing::unpaired(const std::vector<std::int32_t>& mates, std::int32_t count) {
  std::vector<std::int32_t> records;
  for (std::int32_t r = 1; r < static_cast<std::int32_t>(mates.size()) && r <= count; ++r)
    if (mates[static_cast<std::size_t>(r)] == 0) records.push_back(r);
  return records;
}
