#pragma once
#include <cstddef>
#include <cstdint>

// The record scan over blocks of Block::kWidth bytes, Block::marks giving one bit per byte that
// is a TAB, a CR or a double quote. Each instruction level compiles this in its own file with its
// own flags; the template arguments live in unnamed namespaces there, so the copies never mix.
template <class Block>
std::size_t scanRecord(const char* text, std::size_t limit, std::uint32_t* tabs, std::size_t wanted,
                       std::size_t& found) {
  bool inQuotes = false;
  std::size_t count = 0;
  // True at the record's CR.
  auto ends = [&](std::size_t at) {
    const char c = text[at];
    if (c == '"') {
      inQuotes = !inQuotes;
    } else if (c == '\t') {
      if (count < wanted) tabs[count++] = static_cast<std::uint32_t>(at);
    } else if (c == '\r') {
      return !inQuotes;
    }
    return false;
  };
  std::size_t i = 0;
  if constexpr (Block::kWidth > 0) {
    for (; i + Block::kWidth <= limit; i += Block::kWidth) {
      for (auto marks = Block::marks(text + i); marks != 0; marks &= marks - 1) {
        const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(marks));
        if (ends(at)) {
          found = count;
          return at;
        }
      }
    }
  }
  for (; i < limit; ++i) {
    if (ends(i)) {
      found = count;
      return i;
    }
  }
  found = count;
  return limit;
}
