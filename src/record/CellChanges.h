#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The values one undo step changes, their bytes in one pack.
class CellChanges {
 public:
  struct Cell {
    std::int32_t record;
    std::int32_t field;
    std::string_view before;
    std::string_view after;
  };

  void add(std::int32_t record, std::int32_t field, std::string_view before, std::string_view after) {
    mEntries.push_back({record, field, mPack.size(), before.size(), after.size()});
    mPack += before;
    mPack += after;
  }
  std::size_t size() const { return mEntries.size(); }
  bool empty() const { return mEntries.empty(); }
  std::size_t bytes() const { return mPack.capacity() + mEntries.capacity() * sizeof(Entry); }

  class const_iterator {
   public:
    const_iterator(const CellChanges& changes, std::size_t i) : mChanges(&changes), mI(i) {}
    Cell operator*() const {
      const Entry& e = mChanges->mEntries[mI];
      const std::string_view pack = mChanges->mPack;
      return {e.record, e.field, pack.substr(e.offset, e.before), pack.substr(e.offset + e.before, e.after)};
    }
    const_iterator& operator++() { return ++mI, *this; }
    bool operator!=(const const_iterator& other) const { return mI != other.mI; }

   private:
    const CellChanges* mChanges;
    std::size_t mI;
  };
  const_iterator begin() const { return {*this, 0}; }
  const_iterator end() const { return {*this, mEntries.size()}; }

 private:
  struct Entry {
    std::int32_t record, field;
    std::size_t offset, before, after;
  };
  std::string mPack;
  std::vector<Entry> mEntries;
};
