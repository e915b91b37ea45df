#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "GlobalShared.h"
#include "SystemFile.h"

namespace SystemFile {

bool writeAll(std::intptr_t file, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(static_cast<int>(file), bytes.data(), bytes.size());
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

void syncFolder(const std::string& path) {
  const int folder = ::open(GlobalShared::getFolderName(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  ::fsync(folder);
  ::close(folder);
}

}  // namespace SystemFile
