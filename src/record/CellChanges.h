#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Stand-in until the shared undo step lands on main.
class CellChanges {
 public:
  struct Cell {
    std::int32_t record, field;
    std::string_view before, after;
  };
  void add(std::int32_t record, std::int32_t field, std::string_view before, std::string_view after) {
    mEntries.push_back({record, field, mText.size(), before.size(), after.size()});
    mText.append(before).append(after);
  }
  std::size_t size() const { return mEntries.size(); }
  bool empty() const { return mEntries.empty(); }
  std::size_t bytes() const { return mText.capacity() + mEntries.capacity() * sizeof(Entry); }

  class const_iterator {
   public:
    const_iterator(const CellChanges* owner, std::size_t at) : mOwner(owner), mAt(at) {}
    Cell operator*() const {
      const Entry& e = mOwner->mEntries[mAt];
      const std::string_view text(mOwner->mText);
      return {e.record, e.field, text.substr(e.offset, e.before), text.substr(e.offset + e.before, e.after)};
    }
    const_iterator& operator++() { ++mAt; return *this; }
    bool operator==(const const_iterator& other) const { return mAt == other.mAt; }
   private:
    const CellChanges* mOwner;
    std::size_t mAt;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, mEntries.size()}; }

 private:
  struct Entry {
    std::int32_t record, field;
    std::size_t offset, before, after;
  };
  std::string mText;
  std::vector<Entry> mEntries;
};
