// Built with AVX2 enabled; called only when the processor has it.
#include <immintrin.h>

#include "RecordScanLoop.h"

namespace {

struct Avx2Block {
  static constexpr std::size_t kWidth = 32;
  static unsigned marks(const char* p) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i hits = _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\t')), _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\r'))),
        _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('"')));
    return static_cast<unsigned>(_mm256_movemask_epi8(hits));
  }
};

}  // namespace

namespace RecordScan {

std::size_t findEndAvx2(const char* text, std::size_t limit, std::uint32_t* tabs, std::size_t wanted,
                        std::size_t& found) {
  return scanRecord<Avx2Block>(text, limit, tabs, wanted, found);
}

}  // namespace RecordScan
