#pragma once
#include <cstdint>
#include <vector>

// Where each record of the loaded text starts: 8 bytes a record, so that a loaded file costs
// little more memory than its text. Records count from 0 here.
class RecordIndex {
 public:
  // asWritten: a save writes the record exactly as it was loaded, line end included, as long as
  // it is not edited; such records are copied instead of rebuilt.
  void append(std::uint64_t start, bool asWritten) { mStarts.push_back(start | (asWritten ? 0 : kRebuilt)); }
  std::int32_t size() const { return static_cast<std::int32_t>(mStarts.size()); }
  std::uint64_t start(std::int32_t record) const { return mStarts[static_cast<std::size_t>(record)] & ~kRebuilt; }
  bool asWritten(std::int32_t record) const { return (mStarts[static_cast<std::size_t>(record)] & kRebuilt) == 0; }

 private:
  static constexpr std::uint64_t kRebuilt = std::uint64_t{1} << 63;  // no text comes near 2^63 bytes
  std::vector<std::uint64_t> mStarts;
};
