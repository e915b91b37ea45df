#pragma once
#include <cstdint>
#include <string_view>

// What tells one version of a file from another without keeping it: its length and a hash of its
// bytes.
struct FileIdentity {
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  bool operator==(const FileIdentity&) const = default;
};

// A fast 64-bit hash of a stream of bytes (the xxHash64 algorithm, about 10 GB/s here), fed in
// pieces of any size: the same bytes give the same value however they are cut, so a save can hash
// what it writes piece by piece and a load the whole text at once.
class ContentHash {
 public:
  ContentHash();
  void add(std::string_view bytes);
  FileIdentity identity() const;

  static FileIdentity of(std::string_view bytes) {
    ContentHash hash;
    hash.add(bytes);
    return hash.identity();
  }

 private:
  static constexpr std::size_t kStripe = 32;
  void addStripe(const unsigned char* bytes);

  std::uint64_t mLanes[4];
  std::uint64_t mSize = 0;
  unsigned char mPending[kStripe];  // the start of a stripe not yet complete
  std::size_t mPendingSize = 0;
};
