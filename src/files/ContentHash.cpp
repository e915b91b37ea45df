#include "ContentHash.h"

#include <bit>
#include <cstring>

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ull;

// Little-endian, as the algorithm defines it (every platform the editor builds for is).
std::uint64_t read64(const unsigned char* bytes) {
  std::uint64_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

std::uint32_t read32(const unsigned char* bytes) {
  std::uint32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

std::uint64_t mix(std::uint64_t lane, std::uint64_t input) {
  return std::rotl(lane + input * kPrime2, 31) * kPrime1;
}

std::uint64_t merge(std::uint64_t hash, std::uint64_t lane) {
  return (hash ^ mix(0, lane)) * kPrime1 + kPrime4;
}

}  // namespace

ContentHash::ContentHash() : mLanes{kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1} {}

void ContentHash::addStripe(const unsigned char* bytes) {
  for (int lane = 0; lane < 4; ++lane) mLanes[lane] = mix(mLanes[lane], read64(bytes + 8 * lane));
}

void ContentHash::add(std::string_view text) {
  auto bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t size = text.size();
  mSize += size;
  if (mPendingSize > 0) {
    const std::size_t taken = std::min(size, kStripe - mPendingSize);
    std::memcpy(mPending + mPendingSize, bytes, taken);
    mPendingSize += taken;
    bytes += taken;
    size -= taken;
    if (mPendingSize < kStripe) return;
    addStripe(mPending);
    mPendingSize = 0;
  }
  // The lanes in locals: the compiler must otherwise assume that the bytes may alias them.
  std::uint64_t a = mLanes[0], b = mLanes[1], c = mLanes[2], d = mLanes[3];
  for (; size >= kStripe; bytes += kStripe, size -= kStripe) {
    a = mix(a, read64(bytes));
    b = mix(b, read64(bytes + 8));
    c = mix(c, read64(bytes + 16));
    d = mix(d, read64(bytes + 24));
  }
  mLanes[0] = a, mLanes[1] = b, mLanes[2] = c, mLanes[3] = d;
  std::memcpy(mPending, bytes, size);
  mPendingSize = size;
}

FileIdentity ContentHash::identity() const {
  std::uint64_t hash = kPrime5;
  if (mSize >= kStripe) {
    hash = std::rotl(mLanes[0], 1) + std::rotl(mLanes[1], 7) + std::rotl(mLanes[2], 12) + std::rotl(mLanes[3], 18);
    for (const std::uint64_t lane : mLanes) hash = merge(hash, lane);
  }
  hash += mSize;
  const unsigned char* rest = mPending;
  std::size_t size = mPendingSize;
  for (; size >= 8; rest += 8, size -= 8) hash = std::rotl(hash ^ mix(0, read64(rest)), 27) * kPrime1 + kPrime4;
  if (size >= 4) {
    hash = std::rotl(hash ^ (std::uint64_t{read32(rest)} * kPrime1), 23) * kPrime2 + kPrime3;
    rest += 4;
    size -= 4;
  }
  for (; size > 0; ++rest, --size) hash = std::rotl(hash ^ (*rest * kPrime5), 11) * kPrime1;
  hash ^= hash >> 33;
  hash *= kPrime2;
  hash ^= hash >> 29;
  hash *= kPrime3;
  hash ^= hash >> 32;
  return {mSize, hash};
}
