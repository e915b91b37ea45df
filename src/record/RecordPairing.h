#pragma once
#include <cstdint>
#include <vector>

class CRecordData;

// Which record of one file is which record of another file of the same kind. Records are paired
// by the unit they hold, known by its name (the kind's name field), so that a unit inserted,
// removed or moved in one file does not pair every unit after it with its neighbour:
//  - header rows pair by number;
//  - the runs at the start and at the end where both files name the same units in the same order
//    pair in order (files with the same names throughout pair record n with record n);
//  - in between, a name found exactly once in each file anchors a pair; the anchors that keep
//    their order (the longest such chain) split the files into gaps, and an anchor out of that
//    order is a moved unit, still paired with itself;
//  - inside a gap, when both files hold the same number of records, they pair in order (a unit a
//    mod renamed stays paired with itself); otherwise equal names pair in order, and the rest are
//    records only one file holds.
class RecordPairing {
 public:
  RecordPairing(const CRecordData& before, const CRecordData& after);
  // Record n with record n, for files of iRecords records each known to name the same units in
  // the same order.
  static RecordPairing sameOrder(std::int32_t iRecords);

  // The record of `after` that record iRecNo of `before` pairs with; 0 for none.
  std::int32_t afterOf(std::int32_t iRecNo) const;
  // The record of `before` that record iRecNo of `after` pairs with; 0 for none.
  std::int32_t beforeOf(std::int32_t iRecNo) const;
  // Record n pairs with record n throughout, found without hashing a name.
  bool byNumber() const { return mByNumber; }
  // The records without a counterpart, in order.
  std::vector<std::int32_t> unpairedBefore() const { return unpaired(mAfterOf, mBeforeCount); }
  std::vector<std::int32_t> unpairedAfter() const { return unpaired(mBeforeOf, mAfterCount); }

 private:
  RecordPairing(std::int32_t iBeforeCount, std::int32_t iAfterCount)
      : mBeforeCount(iBeforeCount), mAfterCount(iAfterCount) {}
  static std::vector<std::int32_t> unpaired(const std::vector<std::int32_t>& mates, std::int32_t count);

  std::int32_t mBeforeCount;
  std::int32_t mAfterCount;
  bool mByNumber = true;
  // By record, from index 1; empty while pairing by number.
  std::vector<std::int32_t> mAfterOf;
  std::vector<std::int32_t> mBeforeOf;
};
