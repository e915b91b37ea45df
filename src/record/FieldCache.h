#pragma once
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "DataFileParser.h"

// The fields of the records last asked for, split from the loaded text when first needed: the
// grid asks for a page of records at a time, and a save for one record at a time.
class FieldCache {
 public:
  FieldCache(std::int32_t fileType, std::int32_t noFields);

  // The NoFields fields of record `record` (from 1), whose text (CR included) starts `text`.
  // The record loaded once, so it splits again without fail.
  const FieldRef* fields(std::string_view text, std::int32_t record);
  std::int32_t noFields() const { return static_cast<std::int32_t>(mNoFields); }

 private:
  static constexpr std::size_t kSlots = 64;

  DataFileParser mParser;
  std::size_t mNoFields;
  std::vector<FieldRef> mRefs;  // kSlots records of NoFields fields
  std::array<std::int32_t, kSlots> mRecords{};  // 0: empty
};
