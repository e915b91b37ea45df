#include "FieldTable.h"

#include <cstdlib>
#include <new>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kBlockBytes = std::size_t{2} << 20;

FieldTable::Ref* allocateBlock() {
  // Not std::aligned_alloc, which the Windows C library lacks.
  void* block = ::operator new(kBlockBytes, std::align_val_t{kBlockBytes});
#ifdef __linux__
  // Fresh memory is mapped slowly page by page; one huge page per block is far cheaper.
  ::madvise(block, kBlockBytes, MADV_HUGEPAGE);
#endif
  return static_cast<FieldTable::Ref*>(block);
}

}  // namespace

void FieldTable::BlockFree::operator()(Ref* block) const { ::operator delete(block, std::align_val_t{kBlockBytes}); }

FieldTable::FieldTable(std::int32_t noFields)
    : mNoFields(noFields),
      mPerBlock(noFields > 0 ? static_cast<std::int32_t>(kBlockBytes / sizeof(Ref) / noFields) : 1) {}

FieldTable::Ref* FieldTable::appendRecord(std::uint64_t recordStart) {
  const std::int32_t record = size();
  if (record % mPerBlock == 0) mBlocks.emplace_back(allocateBlock());
  mStarts.push_back(recordStart);
  return &at(record, 0);
}
