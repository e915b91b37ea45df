#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// Where each field of each record lies in the loaded text. A field costs 4 bytes (its offset
// from the start of its record and its length: a record is at most 39,998 characters), and the
// references are kept in few 2 MB blocks, so a large file costs few allocations.
class FieldTable {
 public:
  struct Ref {
    std::uint16_t offset;
    std::uint16_t length;
  };
  // Marks a field whose value was edited and now lives outside the loaded text.
  static constexpr std::uint16_t kEdited = 0xFFFF;

  explicit FieldTable(std::int32_t noFields = 0);

  // Adds a record starting at the given offset of the text; returns its NoFields references.
  Ref* appendRecord(std::uint64_t recordStart);

  std::int32_t size() const { return static_cast<std::int32_t>(mStarts.size()); }
  std::uint64_t recordStart(std::int32_t record) const { return mStarts[record]; }
  // Record and field from 0.
  Ref& at(std::int32_t record, std::int32_t field) {
    return mBlocks[record / mPerBlock].get()[(record % mPerBlock) * mNoFields + field];
  }
  const Ref& at(std::int32_t record, std::int32_t field) const {
    return const_cast<FieldTable*>(this)->at(record, field);
  }

 private:
  struct BlockFree {
    void operator()(Ref* block) const;
  };
  std::vector<std::unique_ptr<Ref[], BlockFree>> mBlocks;
  std::vector<std::uint64_t> mStarts;
  std::int32_t mNoFields;
  std::int32_t mPerBlock;
};
