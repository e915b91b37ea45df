#include "AtomicFileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "GlobalShared.h"

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

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

void syncFolder(const std::string& path) {
  const int folder = ::open(getFolderName(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string destination) : mDestination(std::move(destination)) {}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

bool AtomicFileWriter::fail(int error) {
  if (mError == 0) mError = error;
  discard();
  return false;
}

void AtomicFileWriter::discard() {
  if (mFd >= 0) ::close(mFd);
  mFd = -1;
  if (!mTempPath.empty()) ::unlink(mTempPath.c_str());
  mTempPath.clear();
  mInPlaceText.clear();
}

// Short whatever the destination's name is (which may use all of the file system's 255 bytes),
// and the same for every save to it, so that a later save finds what a killed one left.
std::string AtomicFileWriter::temporaryStem(const std::string& target) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a of the file name
  for (const char c : getFileName(target)) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  const std::string folder = getFolderName(target);
  return (folder == "/" ? "" : folder) + "/.pelko." + hex + ".";
}

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
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    ::close(fd);
  }
  ::closedir(folder);
}

bool AtomicFileWriter::open() {
  if (mDestination.empty()) return fail(ENOENT);
  mTarget = mDestination;
  int error = 0;
  if (!followLinks(mTarget, error)) return fail(error);
  struct stat old {};
  const bool exists = ::stat(mTarget.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return fail(EISDIR);
  if (exists && !S_ISREG(old.st_mode)) return fail(EINVAL);  // a device or pipe is no data file
  if (exists && !writable(mTarget, old)) return fail(EACCES);
  std::random_device seed;
  std::mt19937 random(seed());
  const std::string stem = temporaryStem(mTarget);
  for (int attempt = 0; attempt < 100 && mFd < 0; ++attempt) {
    std::string candidate = stem + std::to_string(random() % 1000000) + ".tmp";
    // 0666 less the umask, as any newly created file; an existing destination's mode is copied.
    mFd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (mFd >= 0) {
      mTempPath = std::move(candidate);
    } else if (errno != EEXIST) {
      if (exists && (errno == EACCES || errno == EPERM)) return openInPlace();
      return fail(errno);
    }
  }
  if (mFd < 0) return fail(EEXIST);
  ::flock(mFd, LOCK_EX);
  if (exists) {
    // The owner first: changing it may clear the set-id bits that the mode then restores. A user
    // may not give a file away; then at least the group is kept where allowed.
    [[maybe_unused]] const bool ownerKept =
        ::fchown(mFd, old.st_uid, old.st_gid) == 0 || ::fchown(mFd, static_cast<uid_t>(-1), old.st_gid) == 0;
    ::fchmod(mFd, old.st_mode & 07777);
  }
  removeStaleTemporaries();
  return true;
}

bool AtomicFileWriter::openInPlace() {
  mFd = ::open(mTarget.c_str(), O_WRONLY | O_CLOEXEC);
  if (mFd < 0) return fail(errno);
  mInPlace = true;
  return true;
}

bool AtomicFileWriter::write(std::string_view bytes) {
  if (mFd < 0) return fail(mError ? mError : EBADF);
  if (mInPlace) {
    mInPlaceText += bytes;
    return true;
  }
  return writeAll(mFd, bytes) || fail(errno);
}

bool AtomicFileWriter::commitInPlace() {
  if (::lseek(mFd, 0, SEEK_SET) != 0 || !writeAll(mFd, mInPlaceText) ||
      ::ftruncate(mFd, static_cast<off_t>(mInPlaceText.size())) != 0 || ::fsync(mFd) != 0)
    return fail(errno);
  const int fd = mFd;
  mFd = -1;
  mInPlaceText.clear();
  return ::close(fd) == 0 || fail(errno);
}

bool AtomicFileWriter::commit() {
  if (mFd < 0) return fail(mError ? mError : EBADF);
  if (mInPlace) return commitInPlace();
  // The data must be on disk before the rename makes it the destination.
  if (::fsync(mFd) != 0) return fail(errno);
  const int fd = mFd;
  mFd = -1;
  if (::close(fd) != 0) return fail(errno);
  if (::rename(mTempPath.c_str(), mTarget.c_str()) != 0) return fail(errno);
  mTempPath.clear();
  syncFolder(mTarget);
  return true;
}
