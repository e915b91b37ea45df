#include "GlobalShared.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/mman.h>
#endif
#include <unistd.h>

#include "Platform.h"

namespace GlobalShared {
namespace {

struct Kind {
  const char* stem;
  const char* section;
};

const Kind* kindOf(FileType iFileType) {
  static constexpr Kind kinds[] = {
      {"crusaders_unit_prod11.", "[Unit_Prod11]"},
      {"crusader_build_prod13.", "[Build_prod13]"},
      {"ProjectileStats.", "[ProjectileStats]"},
  };
  if (iFileType < 1 || iFileType > 3) return nullptr;
  return &kinds[iFileType - 1];
}

bool isSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : mFd(fd) {}
  ~FileDescriptor() {
    if (mFd >= 0) ::close(mFd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return mFd; }

 private:
  int mFd;
};

// Fresh memory is mapped slowly page by page on these machines (about 330 MB/s): a large
// buffer asks for huge pages before it is first touched.
void reserveLarge(std::string& text, std::size_t size) {
  text.reserve(size);
#ifdef __linux__
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  const auto begin = (reinterpret_cast<std::uintptr_t>(text.data()) + kHuge - 1) & ~(kHuge - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(text.data()) + size) & ~(kHuge - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

// Reads until the buffer is full or the file ends; returns the bytes read or -1 with errno set.
std::int64_t readFully(int fd, char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, buffer + done, size - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;  // the file shrank while we read it
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

// Our own code for a path that names a pipe, device or socket: reading one could wait forever.
constexpr int kNotRegularFile = -1;

// Reads the whole file; returns 0, the error number or kNotRegularFile.
int readInto(const std::string& sPath, std::string& text) {
  // Without O_NONBLOCK, opening a named pipe waits for a writer; on a regular file it does nothing.
  FileDescriptor file(::open(sPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) return errno;
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return errno;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (!S_ISREG(info.st_mode)) return kNotRegularFile;
  const auto size = static_cast<std::size_t>(info.st_size);
  int error = 0;
  try {
    reserveLarge(text, size);
    // The read itself is the buffer's first touch: zero-filling it first would cost a second pass.
    auto fill = [&](char* buffer, std::size_t n) -> std::size_t {
      const std::int64_t got = readFully(file.get(), buffer, n);
      if (got < 0) error = errno;
      return got < 0 ? 0 : static_cast<std::size_t>(got);
    };
#ifdef __cpp_lib_string_resize_and_overwrite
    text.resize_and_overwrite(size, fill);
#else
    text.resize(size);
    text.resize(fill(text.data(), size));
#endif
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  } catch (const std::length_error&) {
    return EFBIG;
  }
  return error;
}

}  // namespace

std::string getDefaultFileName(FileType iFileType, bool bBackup) {
  const Kind* kind = kindOf(iFileType);
  return std::string(kind ? kind->stem : "") + (bBackup ? "bak" : "txt");
}

std::string getSectionName(FileType iFileType) {
  const Kind* kind = kindOf(iFileType);
  return kind ? kind->section : "";
}

bool fileExists(const std::string& sPath) {
  struct stat info {};
  return !sPath.empty() && ::stat(sPath.c_str(), &info) == 0;
}

std::string getFileName(const std::string& sPath) {
  for (std::size_t i = sPath.size(); i > 0; --i)
    if (isSeparator(sPath[i - 1])) return sPath.substr(i);
  return sPath;
}

std::string getFolderName(const std::string& sPath) {
  for (std::size_t i = sPath.size(); i > 0; --i)
    if (isSeparator(sPath[i - 1])) return i == 1 ? sPath.substr(0, 1) : sPath.substr(0, i - 1);
  return ".";
}

std::string describeError(int errorNumber) {
  return "[" + std::to_string(errorNumber) + "] :" + std::strerror(errorNumber);
}

std::string readWholeFile(const std::string& sPath) {
  std::string text;
  if (const int error = readInto(sPath, text); error != 0) {
    const std::string why = error == kNotRegularFile ? describeError(EINVAL) + " (not a regular file)" : describeError(error);
    Platform::msgBox("An error occurred trying to read '" + Platform::pathInMessage(sPath) + "'\r\n" + why,
                     Platform::OkOnly | Platform::Critical, "PelkoEditor");
    return {};
  }
  return text;
}

}  // namespace GlobalShared
