#pragma once
#include <cstddef>
#include <cstdint>

// The load's hot loop: finding where a record ends. Vector instructions are picked at run time,
// so one binary runs on any processor of its kind and uses what the processor has.
namespace RecordScan {

enum class Level { Portable, Sse2, Avx2 };

// Finds the first CR outside double quotes among the first `limit` bytes of text and returns its
// position, or `limit` when there is none. The positions of the first `wanted` TABs before it,
// inside quotes or not, go to tabs; `found` gets how many there were.
std::size_t findEnd(const char* text, std::size_t limit, std::uint32_t* tabs, std::size_t wanted, std::size_t& found);

// The fastest level this processor runs.
Level best();
// Tests and benchmarks compare the levels; a level above best() is taken as best().
void use(Level level);

}  // namespace RecordScan
