// Drives the settings file's reader and writer over arbitrary file bytes. The first byte picks
// a section and key (the editor's own names, in odd letter cases too) and the value written;
// the rest is the file. A written key must read back, and every other key must keep its value.
#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "PrivateProfile.h"
#include "Require.h"

namespace {

constexpr std::array<const char*, 4> kSections = {"Pelko Editor", "Unit_Prod11", "build_PROD13", "x"};
constexpr std::array<const char*, 4> kKeys = {"Left", "Range Array 2", "widthsarray", "Caption 3"};
constexpr std::array<const char*, 4> kValues = {"1", " 2700", "", "1, 2, 3, "};

std::string path() {
  static const std::string file = scratchFile("fuzz_ini_", ".ini");
  return file;
}

std::string readBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The value a reader sees, trimmed and cut as the writer's value would be read.
std::string asRead(std::string value) {
  const auto first = value.find_first_not_of(" \t");
  const auto last = value.find_last_not_of(" \t");
  return first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned selector = data[0];
  const std::string file = path();
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data) + 1,
                                                                static_cast<std::streamsize>(size - 1));
  std::array<std::array<std::string, kKeys.size()>, kSections.size()> before;
  for (std::size_t s = 0; s < kSections.size(); ++s)
    for (std::size_t k = 0; k < kKeys.size(); ++k) {
      before[s][k] = GlobalShared::readIniString(kSections[s], kKeys[k], "\x01", file);
      require(before[s][k].size() <= 2047, "a value comes back cut at 2047 characters");
    }

  const std::size_t section = selector % kSections.size();
  const std::size_t key = selector / 4 % kKeys.size();
  const std::string value = kValues[selector / 16 % kValues.size()];
  const std::string untouched = readBytes(file);
  if (!GlobalShared::writeIniString(kSections[section], kKeys[key], value, file)) {
    require(readBytes(file) == untouched, "a failed write leaves the file as it was");
    return 0;
  }
  require(GlobalShared::readIniString(kSections[section], kKeys[key], "\x01", file) == asRead(value),
          "a written key reads back");
  for (std::size_t s = 0; s < kSections.size(); ++s)
    for (std::size_t k = 0; k < kKeys.size(); ++k)
      if (s != section || k != key)
        require(GlobalShared::readIniString(kSections[s], kKeys[k], "\x01", file) == before[s][k],
                "a write keeps the other keys' values");
  return 0;
}
