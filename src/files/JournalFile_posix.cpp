#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "GlobalShared.h"
#include "JournalFile.h"
#include "SystemFile.h"

namespace {

int fd(std::intptr_t file) { return static_cast<int>(file); }

}  // namespace

int JournalFile::open(const std::string& path, std::uint64_t keep) {
  close();
  const bool existed = GlobalShared::fileExists(path);
  // Only its user may read what was typed into the data file.
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (file < 0) return errno;
  int error = 0;
  if (::flock(file, LOCK_EX | LOCK_NB) != 0) error = errno == EWOULDBLOCK ? kHeldElsewhere : errno;
  else if (::ftruncate(file, static_cast<off_t>(keep)) != 0 || ::lseek(file, 0, SEEK_END) < 0) error = errno;
  if (error != 0) {
    ::close(file);
    return error;
  }
  mFile = file;
  if (!existed) SystemFile::syncFolder(path);
  return 0;
}

int JournalFile::append(std::string_view bytes) { return SystemFile::writeAll(mFile, bytes) ? 0 : errno; }

int JournalFile::sync() {
#ifdef __linux__
  return ::fdatasync(fd(mFile)) == 0 ? 0 : errno;
#else
  return ::fsync(fd(mFile)) == 0 ? 0 : errno;
#endif
}

void JournalFile::close() {
  if (isOpen()) ::close(fd(mFile));
  mFile = kNoFile;
}

bool JournalFile::heldElsewhere(const std::string& path) {
  const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  const bool held = ::flock(file, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(file);
  return held;
}

int JournalFile::rename(const std::string& from, const std::string& to) {
  if (GlobalShared::fileExists(to)) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int JournalFile::remove(const std::string& path) { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

std::string JournalFile::canonicalPath(const std::string& path) {
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    std::string canonical = resolved;
    std::free(resolved);
    return canonical;
  }
  if (!path.empty() && path.front() == '/') return path;
  char folder[PATH_MAX];
  return ::getcwd(folder, sizeof folder) ? std::string(folder) + '/' + path : path;
}
