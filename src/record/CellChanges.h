#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The values one undo step changes: where each is and its bytes before and after. A change of
// one field of every unit holds a hundred thousand short values, so they are packed into one
// string: per value a record step, the field only when it differs from the previous value's, both
// lengths in one byte when short, then the bytes. That keeps a step at about the size of the
// values it holds, where a struct of two strings each would be ten times that.
class CellChanges {
 public:
  struct Cell {
    std::int32_t record = 0;
    std::int32_t field = 0;
    std::string_view before;
    std::string_view after;
  };

  class Iterator {
   public:
    using value_type = Cell;
    using difference_type = std::ptrdiff_t;
    Iterator() = default;
    const Cell& operator*() const { return mCell; }
    const Cell* operator->() const { return &mCell; }
    Iterator& operator++();
    Iterator operator++(int) {
      Iterator was = *this;
      ++*this;
      return was;
    }
    bool operator==(const Iterator& other) const { return mPos == other.mPos; }

   private:
    friend class CellChanges;
    Iterator(std::string_view pack, std::size_t pos) : mPack(pack), mPos(pos) { read(); }
    void read();
    std::string_view mPack;
    std::size_t mPos = 0;
    std::size_t mNext = 0;
    Cell mCell;
  };

  CellChanges() = default;
  CellChanges(std::int32_t record, std::int32_t field, std::string_view before, std::string_view after) {
    add(record, field, before, after);
  }

  void add(std::int32_t record, std::int32_t field, std::string_view before, std::string_view after);
  std::size_t size() const { return mCount; }
  bool empty() const { return mCount == 0; }
  // What the step keeps in memory.
  std::size_t bytes() const { return mPack.capacity() + sizeof *this; }
  Iterator begin() const { return Iterator(mPack, 0); }
  Iterator end() const { return Iterator(mPack, mPack.size()); }
  Cell front() const { return *begin(); }
  // Shrinks the pack to its size once every value was added.
  void seal() { mPack.shrink_to_fit(); }

  bool operator==(const CellChanges& other) const { return mPack == other.mPack; }

 private:
  std::string mPack;
  std::size_t mCount = 0;
  std::int32_t mLastRecord = 0;
  std::int32_t mLastField = 0;
};
