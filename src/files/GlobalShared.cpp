#include "GlobalShared.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#ifdef _WIN32
#include <windows.h>

#include "WindowsText.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/mman.h>
#endif

#include "SystemError.h"

namespace GlobalShared {
namespace {

bool isSeparator(char c) { return std::strchr(kPathSeparators, c) != nullptr && c != '\0'; }

// A file open for reading, closed with the object.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // 0, the error number or kNotRegularFile; `size` is the file's length.
  int open(const std::string& path, std::size_t& size);
  // One read: the bytes read, 0 at the end, -1 with `error` set.
  std::int64_t readSome(char* buffer, std::size_t size, int& error);

 private:
#ifdef _WIN32
  HANDLE mHandle = INVALID_HANDLE_VALUE;
#else
  int mFd = -1;
#endif
};

#ifdef _WIN32
InputFile::~InputFile() {
  if (mHandle != INVALID_HANDLE_VALUE) ::CloseHandle(mHandle);
}

int InputFile::open(const std::string& path, std::size_t& size) {
  const std::wstring wide = WindowsText::widen(path);
  // Others may go on reading, writing and replacing the file meanwhile, as on other systems.
  mHandle = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (mHandle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());  // a folder opens as "access denied"
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EISDIR
                                                                                            : WindowsText::errnoOf(error);
  }
  if (::GetFileType(mHandle) != FILE_TYPE_DISK) return kNotRegularFile;
  LARGE_INTEGER length{};
  if (!::GetFileSizeEx(mHandle, &length)) return WindowsText::errnoOf(::GetLastError());
  size = static_cast<std::size_t>(length.QuadPart);
  return 0;
}

std::int64_t InputFile::readSome(char* buffer, std::size_t size, int& error) {
  DWORD got = 0;
  if (::ReadFile(mHandle, buffer, static_cast<DWORD>(std::min<std::size_t>(size, DWORD{1} << 30)), &got, nullptr))
    return got;
  error = WindowsText::errnoOf(::GetLastError());
  return -1;
}
#else
InputFile::~InputFile() {
  if (mFd >= 0) ::close(mFd);
}

int InputFile::open(const std::string& path, std::size_t& size) {
  // Without O_NONBLOCK, opening a named pipe waits for a writer; on a regular file it does nothing.
  mFd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (mFd < 0) return errno;
  struct stat info {};
  if (::fstat(mFd, &info) != 0) return errno;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (!S_ISREG(info.st_mode)) return kNotRegularFile;
  size = static_cast<std::size_t>(info.st_size);
  return 0;
}

std::int64_t InputFile::readSome(char* buffer, std::size_t size, int& error) {
  for (;;) {
    const ssize_t got = ::read(mFd, buffer, size);
    if (got >= 0) return got;
    if (errno != EINTR) return (error = errno, -1);
  }
}
#endif

}  // namespace

void reserveLarge(std::string& text, std::size_t size) {
  text.reserve(size);
  adviseLarge(text.data(), size);
}

void adviseLarge(const void* data, std::size_t size) {
#ifdef __linux__
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHuge - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data, (void)size;
#endif
}

namespace {

// Reads until the buffer is full or the file ends; returns the bytes read or -1 with `error` set.
std::int64_t readFully(InputFile& file, char* buffer, std::size_t size, int& error) {
  std::size_t done = 0;
  while (done < size) {
    const std::int64_t got = file.readSome(buffer + done, size - done, error);
    if (got < 0) return -1;
    if (got == 0) break;  // the file shrank while we read it
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

#ifdef _WIN32
bool makeFolder(const std::string& folder) {
  return ::CreateDirectoryW(WindowsText::widen(folder).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}
#else
bool makeFolder(const std::string& folder) { return ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST; }
#endif

}  // namespace

int readFileBytes(const std::string& sPath, std::string& text) {
  InputFile file;
  std::size_t size = 0;
  if (const int error = file.open(sPath, size); error != 0) return error;
  int error = 0;
  try {
    reserveLarge(text, size);
    // The read itself is the buffer's first touch: zero-filling it first would cost a second pass.
    auto fill = [&](char* buffer, std::size_t n) -> std::size_t {
      const std::int64_t got = readFully(file, buffer, n, error);
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

bool fileExists(const std::string& sPath) {
  if (sPath.empty()) return false;
#ifdef _WIN32
  return ::GetFileAttributesW(WindowsText::widen(sPath).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  struct stat info {};
  return ::stat(sPath.c_str(), &info) == 0;
#endif
}

bool isReadOnlyFile(const std::string& sPath) {
#ifdef _WIN32
  const DWORD attributes = ::GetFileAttributesW(WindowsText::widen(sPath).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (attributes & FILE_ATTRIBUTE_READONLY);
#else
  struct stat info {};
  return ::stat(sPath.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0;
#endif
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

bool makeFolders(const std::string& folder) {
  // A part that cannot be made (a drive, a network share's server) may still hold the next one:
  // only the whole folder decides.
  for (std::size_t end = folder.find_first_of(kPathSeparators, 1); end != std::string::npos;
       end = folder.find_first_of(kPathSeparators, end + 1))
    makeFolder(folder.substr(0, end));
  return makeFolder(folder);
}

std::string describeError(int errorNumber) { return SystemError::of(errorNumber).described(); }

bool samePath(std::string_view a, std::string_view b) {
#ifdef _WIN32
  // Both separators name the same folder; the system's own case folding, not the C library's.
  std::wstring wa = WindowsText::widen(std::string(a)), wb = WindowsText::widen(std::string(b));
  std::replace(wa.begin(), wa.end(), L'/', L'\\');
  std::replace(wb.begin(), wb.end(), L'/', L'\\');
  return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()), TRUE) ==
         CSTR_EQUAL;
#else
  return a == b;
#endif
}

}  // namespace GlobalShared
