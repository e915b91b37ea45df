#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Stand-in until the shared undo step lands on main.
class CellChanges {
 public:
  struct Cell {
    std::int32_t record = 0;
    std::int32_t field = 0;
    std::string_view before;
    std::string_view after;
  };
  void add(std::int32_t record, std::int32_t field, std::string_view before, std::string_view after) {
    mOwned.push_back({record, field, std::string(before), std::string(after)});
  }
  std::size_t size() const { return mOwned.size(); }
  bool empty() const { return mOwned.empty(); }
  std::size_t bytes() const {
    std::size_t n = 0;
    for (const Owned& o : mOwned) n += o.before.size() + o.after.size();
    return n;
  }
  class Iterator {
   public:
    Iterator(std::vector<std::int32_t>::size_type at, const CellChanges* of) : mAt(at), mOf(of) {}
    Cell operator*() const {
      const auto& o = mOf->mOwned[mAt];
      return {o.record, o.field, o.before, o.after};
    }
    Iterator& operator++() { return ++mAt, *this; }
    bool operator!=(const Iterator& other) const { return mAt != other.mAt; }
   private:
    std::size_t mAt;
    const CellChanges* mOf;
  };
  Iterator begin() const { return {0, this}; }
  Iterator end() const { return {mOwned.size(), this}; }

 private:
  struct Owned {
    std::int32_t record, field;
    std::string before, after;
  };
  std::vector<Owned> mOwned;
};
