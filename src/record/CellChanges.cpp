#include "CellChanges.h"

namespace {

// Lengths both below this share one byte; kLongLengths then marks two varints instead.
constexpr std::size_t kShort = 15;
constexpr unsigned char kLongLengths = 0xFF;

void putVarint(std::string& pack, std::uint64_t value) {
  while (value >= 0x80) {
    pack += static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  pack += static_cast<char>(value);
}

std::uint64_t getVarint(std::string_view pack, std::size_t& pos) {
  std::uint64_t value = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(pack[pos++]);
    value |= std::uint64_t(byte & 0x7F) << shift;
    if (byte < 0x80) return value;
  }
}

// Records may come in any order (a sorted view): the step is signed, zig-zag coded.
std::uint64_t zigzag(std::int64_t value) { return (std::uint64_t(value) << 1) ^ std::uint64_t(value >> 63); }
std::int64_t unzigzag(std::uint64_t value) { return std::int64_t(value >> 1) ^ -std::int64_t(value & 1); }

}  // namespace

void CellChanges::add(std::int32_t record, std::int32_t field, std::string_view before, std::string_view after) {
  const bool sameField = mCount > 0 && field == mLastField;
  putVarint(mPack, (zigzag(std::int64_t(record) - mLastRecord) << 1) | (sameField ? 1 : 0));
  if (!sameField) putVarint(mPack, std::uint32_t(field));
  if (before.size() < kShort && after.size() < kShort) {
    mPack += static_cast<char>(before.size() << 4 | after.size());
  } else {
    mPack += static_cast<char>(kLongLengths);
    putVarint(mPack, before.size());
    putVarint(mPack, after.size());
  }
  mPack.append(before);
  mPack.append(after);
  mLastRecord = record;
  mLastField = field;
  ++mCount;
}

CellChanges::Iterator& CellChanges::Iterator::operator++() {
  mPos = mNext;
  read();
  return *this;
}

void CellChanges::Iterator::read() {
  if (mPos >= mPack.size()) return;
  std::size_t pos = mPos;
  const std::uint64_t head = getVarint(mPack, pos);
  mCell.record = static_cast<std::int32_t>(mCell.record + unzigzag(head >> 1));
  if (!(head & 1)) mCell.field = static_cast<std::int32_t>(getVarint(mPack, pos));
  std::size_t beforeSize = 0, afterSize = 0;
  if (const auto lengths = static_cast<unsigned char>(mPack[pos++]); lengths != kLongLengths) {
    beforeSize = lengths >> 4;
    afterSize = lengths & 0x0F;
  } else {
    beforeSize = getVarint(mPack, pos);
    afterSize = getVarint(mPack, pos);
  }
  mCell.before = mPack.substr(pos, beforeSize);
  mCell.after = mPack.substr(pos + beforeSize, afterSize);
  mNext = pos + beforeSize + afterSize;
}
