#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AtomicFileWriter.h"
#include "GlobalShared.h"
#include "SystemFile.h"

namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit on links in one path

using GlobalShared::getFileName;
using GlobalShared::getFolderName;

// The path a chain of symbolic links ends at; a dangling link gives its missing target.
bool followLinks(std::string& path, int& error) {
  for (int depth = 0; depth < kMaxLinks; ++depth) {
    char target[PATH_MAX + 1];
    const ssize_t size = ::readlink(path.c_str(), target, sizeof target);
    if (size < 0) return errno == EINVAL || errno == ENOENT || (error = errno, false);  // not a link: done
    if (static_cast<std::size_t>(size) >= sizeof target) return (error = ENAMETOOLONG, false);
    const std::string next(target, static_cast<std::size_t>(size));
    path = next.front() == '/' ? next : getFolderName(path) + "/" + next;
  }
  error = ELOOP;
  return false;
}

// Writable for this user, and not marked read-only: root may write any file, but a file without
// write permission is one its owner chose to protect.
bool writable(const std::string& path, const struct stat& info) {
  return ::access(path.c_str(), W_OK) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

int fd(std::intptr_t file) { return static_cast<int>(file); }

// The disk starts on each finished stretch of a big file while the rest is still being written,
// so that the sync at the commit waits for little more than the last stretch. It only starts the
// writing: the sync still decides when the file is safe.
void startWriteback([[maybe_unused]] int file, [[maybe_unused]] off_t from, [[maybe_unused]] off_t to) {
#ifdef SYNC_FILE_RANGE_WRITE
  constexpr off_t kStretch = 8 << 20;
  const off_t first = from / kStretch * kStretch, end = to / kStretch * kStretch;
  if (end > first) ::sync_file_range(file, first, end - first, SYNC_FILE_RANGE_WRITE);
#endif
}

}  // namespace

int AtomicFileWriter::inspectTarget(bool& exists) {
  int error = 0;
  if (!followLinks(mTarget, error)) return error;
  struct stat old {};
  exists = ::stat(mTarget.c_str(), &old) == 0;
  if (!exists) return 0;
  if (S_ISDIR(old.st_mode)) return EISDIR;
  if (!S_ISREG(old.st_mode)) return EINVAL;  // a device or pipe is no data file
  return writable(mTarget, old) ? 0 : EACCES;
}

int AtomicFileWriter::createTemporary(const std::string& path) {
  // 0666 less the umask, as any newly created file; an existing destination's mode is copied.
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (file < 0) return errno;
  mFile = file;
  mTempPath = path;
  ::flock(file, LOCK_EX);
  struct stat old {};
  if (::stat(mTarget.c_str(), &old) == 0) {
    // The owner first: changing it may clear the set-id bits that the mode then restores. A user
    // may not give a file away; then at least the group is kept where allowed.
    [[maybe_unused]] const bool ownerKept =
        ::fchown(file, old.st_uid, old.st_gid) == 0 || ::fchown(file, static_cast<uid_t>(-1), old.st_gid) == 0;
    ::fchmod(file, old.st_mode & 07777);
  }
  return 0;
}

int AtomicFileWriter::openTargetInPlace() {
  const int file = ::open(mTarget.c_str(), O_WRONLY | O_CLOEXEC);
  if (file < 0) return errno;
  mFile = file;
  return 0;
}

int AtomicFileWriter::writeAll(std::string_view bytes) {
  const off_t start = ::lseek(fd(mFile), 0, SEEK_CUR);
  if (!SystemFile::writeAll(mFile, bytes)) return errno;
  if (start >= 0) startWriteback(fd(mFile), start, ::lseek(fd(mFile), 0, SEEK_CUR));
  return 0;
}

int AtomicFileWriter::rewrite(std::string_view bytes) {
  if (::lseek(fd(mFile), 0, SEEK_SET) != 0) return errno;
  if (const int error = writeAll(bytes); error != 0) return error;
  return ::ftruncate(fd(mFile), static_cast<off_t>(bytes.size())) == 0 ? 0 : errno;
}

int AtomicFileWriter::flushAndClose() {
  const int file = fd(mFile);
  mFile = kNoFile;
  int error = ::fsync(file) == 0 ? 0 : errno;
  if (::close(file) != 0 && error == 0) error = errno;
  return error;
}

int AtomicFileWriter::replaceTarget() {
  if (::rename(mTempPath.c_str(), mTarget.c_str()) != 0) return errno;
  SystemFile::syncFolder(mTarget);
  return 0;
}

void AtomicFileWriter::closeFile() {
  if (isOpen()) ::close(fd(mFile));
  mFile = kNoFile;
}

void AtomicFileWriter::removeFile(const std::string& path) const { ::unlink(path.c_str()); }

// A save holds a lock on its temporary file until it ends, so a file nobody holds is a leftover.
void AtomicFileWriter::removeStaleTemporaries() const {
  const std::string stem = temporaryStem(mTarget);
  const std::string prefix = getFileName(stem);
  DIR* folder = ::opendir(getFolderName(mTarget).c_str());
  if (!folder) return;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0 || name.size() < 4 || name.compare(name.size() - 4, 4, ".tmp") != 0)
      continue;
    const std::string path = getFolderName(stem) + "/" + name;
    if (path == mTempPath) continue;
    const int file = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (file < 0) continue;
    if (::flock(file, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    ::close(file);
  }
  ::closedir(folder);
}
