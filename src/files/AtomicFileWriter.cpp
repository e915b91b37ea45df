#include "AtomicFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
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
}

bool AtomicFileWriter::open() {
  if (mDestination.empty()) return fail(ENOENT);
  const std::string folder = folderOf(mDestination);
  const std::string stem = (folder == "/" ? "" : folder) + "/." + fileNameOf(mDestination) + ".";
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = stem + std::to_string(random() % 1000000) + ".tmp";
    // 0666 less the umask, as any newly created file; an existing destination's mode is copied.
    mFd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (mFd >= 0) {
      mTempPath = std::move(candidate);
      struct stat old {};
      if (::stat(mDestination.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(mFd, old.st_mode & 07777);
      return true;
    }
    if (errno != EEXIST) return fail(errno);
  }
  return fail(EEXIST);
}

bool AtomicFileWriter::write(std::string_view bytes) {
  if (mFd < 0) return fail(mError ? mError : EBADF);
  while (!bytes.empty()) {
    const ssize_t done = ::write(mFd, bytes.data(), bytes.size());
    if (done < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

bool AtomicFileWriter::commit() {
  if (mFd < 0) return fail(mError ? mError : EBADF);
  // The data must be on disk before the rename makes it the destination.
  if (::fsync(mFd) != 0) return fail(errno);
  const int fd = mFd;
  mFd = -1;
  if (::close(fd) != 0) return fail(errno);
  if (::rename(mTempPath.c_str(), mDestination.c_str()) != 0) return fail(errno);
  mTempPath.clear();
  const int folder = ::open(folderOf(mDestination).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}
