#include "RecordScan.h"

#include "RecordScanLoop.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace RecordScan {
#if defined(PELKO_SCAN_AVX2)
std::size_t findEndAvx2(const char* text, std::size_t limit, std::uint32_t* tabs, std::size_t wanted,
                        std::size_t& found);
#endif
}  // namespace RecordScan

namespace {

struct ByteByByte {
  static constexpr std::size_t kWidth = 0;
  static unsigned marks(const char*) { return 0; }
};

#if defined(__SSE2__)
struct Sse2Block {
  static constexpr std::size_t kWidth = 16;
  static unsigned marks(const char* p) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))),
        _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
  }
};
#endif

using FindEnd = std::size_t (*)(const char*, std::size_t, std::uint32_t*, std::size_t, std::size_t&);

FindEnd finderFor(RecordScan::Level level) {
#if defined(PELKO_SCAN_AVX2)
  if (level == RecordScan::Level::Avx2) return RecordScan::findEndAvx2;
#endif
#if defined(__SSE2__)
  if (level != RecordScan::Level::Portable) return scanRecord<Sse2Block>;
#endif
  (void)level;
  return scanRecord<ByteByByte>;
}

RecordScan::Level detectBest() {
#if defined(PELKO_SCAN_AVX2)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return RecordScan::Level::Avx2;
#endif
#if defined(__SSE2__)
  return RecordScan::Level::Sse2;
#else
  return RecordScan::Level::Portable;
#endif
}

const RecordScan::Level kBest = detectBest();
FindEnd gFindEnd = finderFor(kBest);

}  // namespace

namespace RecordScan {

std::size_t findEnd(const char* text, std::size_t limit, std::uint32_t* tabs, std::size_t wanted, std::size_t& found) {
  return gFindEnd(text, limit, tabs, wanted, found);
}

Level best() { return kBest; }

void use(Level level) { gFindEnd = finderFor(level > kBest ? kBest : level); }

}  // namespace RecordScan
