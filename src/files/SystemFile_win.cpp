#include <algorithm>
#include <windows.h>

#include "SystemFile.h"

namespace SystemFile {

bool writeAll(std::intptr_t file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD done = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), DWORD{1} << 30));
    if (!::WriteFile(reinterpret_cast<HANDLE>(file), bytes.data(), chunk, &done, nullptr)) return false;
    bytes.remove_prefix(done);
  }
  return true;
}

}  // namespace SystemFile
