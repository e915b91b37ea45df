#include "FieldCache.h"

#include <algorithm>

FieldCache::FieldCache(std::int32_t fileType, std::int32_t noFields)
    : mParser(fileType, noFields, [](std::int32_t, std::int64_t, std::int64_t) {}),
      mNoFields(static_cast<std::size_t>(std::max(noFields, 0))),
      mRefs(kSlots * mNoFields) {}

const FieldRef* FieldCache::fields(std::string_view text, std::int32_t record) {
  const std::size_t slot = static_cast<std::size_t>(record) % kSlots;
  FieldRef* refs = mRefs.data() + slot * mNoFields;
  if (mRecords[slot] != record) {
    std::size_t length = 0;
    mParser.readRecord(text, record, refs, length);
    mRecords[slot] = record;
  }
  return refs;
}
