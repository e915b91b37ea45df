#include "PrivateProfile.h"

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "AtomicFileWriter.h"
#include "GlobalShared.h"

namespace GlobalShared {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Where a section and a key stand in the file's text.
struct Lookup {
  bool sectionFound = false;
  std::size_t insertAt = 0;         // just after the section's last line that is not blank or a comment
  bool insertNeedsLineEnd = false;  // that line is the file's last and has no line end
  std::optional<std::size_t> keyBegin, keyEnd, valueBegin;
};

Lookup find(std::string_view text, std::string_view section, std::string_view key) {
  Lookup found;
  bool inSection = false;
  std::size_t pos = text.substr(0, 3) == kByteOrderMark ? 3 : 0;
  while (pos < text.size()) {
    const std::size_t newline = text.find('\n', pos);
    const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    std::size_t end = newline == std::string_view::npos ? text.size() : newline;
    while (end > pos && text[end - 1] == '\r') --end;  // stray CRs at a line's end belong to no value
    const std::string_view line = text.substr(pos, end - pos);
    const std::string_view content = trim(line);
    if (!content.empty() && content.front() == '[') {
      if (inSection) break;  // the section ended; a later duplicate does not count
      const std::size_t close = content.find(']');
      inSection = sameName(trim(content.substr(1, close == std::string_view::npos ? close : close - 1)), section);
      if (inSection) found.sectionFound = true;
    } else if (inSection && !found.keyBegin) {
      const std::size_t equals = line.find('=');
      if (equals != std::string_view::npos && sameName(trim(line.substr(0, equals)), key)) {
        found.keyBegin = pos;
        found.keyEnd = end;
        found.valueBegin = pos + equals + 1;
      }
    }
    // A new key goes after the section's last key, not after comments that lead into the next.
    if (inSection && !content.empty() && content.front() != ';' && content.front() != '#') {
      found.insertAt = next;
      found.insertNeedsLineEnd = newline == std::string_view::npos;
    }
    pos = next;
  }
  return found;
}

std::string lineEndOf(std::string_view text) {
  const bool lfOnly = text.find('\n') != std::string_view::npos && text.find("\r\n") == std::string_view::npos;
  return lfOnly ? "\n" : "\r\n";
}

// The file's bytes. Not valid when the file exists but cannot be read; such a file must not be
// overwritten either. A missing file reads as an empty one.
#ifdef _WIN32
// A copy: a file cannot be replaced while a view of it is mapped, so other instances' writes
// would fail meanwhile.
class FileView {
 public:
  explicit FileView(const std::string& path) {
    const int error = readFileBytes(path, mBytes);
    mValid = error == 0 || error == ENOENT;
  }

  bool valid() const { return mValid; }
  std::string_view bytes() const { return mBytes; }

 private:
  std::string mBytes;
  bool mValid = false;
};
#else
// Mapped rather than copied: a settings file may be huge, and only the few bytes of one key are
// wanted.
class FileView {
 public:
  explicit FileView(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      mValid = errno == ENOENT;
      return;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
      mSize = static_cast<std::size_t>(info.st_size);
      if (mSize == 0) {
        mValid = true;
      } else {
        mData = ::mmap(nullptr, mSize, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        mValid = mData != MAP_FAILED;
        if (!mValid) mData = nullptr;
      }
    }
    ::close(fd);
  }
  ~FileView() {
    if (mData) ::munmap(mData, mSize);
  }
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;

  bool valid() const { return mValid; }
  std::string_view bytes() const { return mData ? std::string_view(static_cast<const char*>(mData), mSize) : ""; }

 private:
  void* mData = nullptr;
  std::size_t mSize = 0;
  bool mValid = false;
};
#endif

// Keeps two instances' read-modify-write cycles from interleaving. A process that dies releases
// its lock.
#ifdef _WIN32
// Windows cannot lock a folder. One lock for every settings file of the session: writes are rare
// and short.
class WriterLock {
 public:
  explicit WriterLock(const std::string&) : mMutex(::CreateMutexW(nullptr, FALSE, L"Local\\PelkoEditor.settings")) {
    if (mMutex) ::WaitForSingleObject(mMutex, INFINITE);  // also taken over from a process that died
  }
  ~WriterLock() {
    if (!mMutex) return;
    ::ReleaseMutex(mMutex);
    ::CloseHandle(mMutex);
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

 private:
  HANDLE mMutex;
};
#else
// A lock on the settings file's folder, so that nothing is left beside the file. (The file itself
// is replaced at every write: a waiter on the old file could be passed over again and again.)
class WriterLock {
 public:
  explicit WriterLock(const std::string& file) {
    mFd = ::open(getFolderName(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (mFd >= 0 && ::flock(mFd, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~WriterLock() {
    if (mFd >= 0) ::close(mFd);  // closing releases the lock
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

 private:
  int mFd = -1;
};
#endif

// Puts one key's line into the file's text.
void setKey(std::string& text, const IniEntry& entry) {
  std::string value = entry.value;
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';  // a line end would split the key's line
  const std::string eol = lineEndOf(text);
  const std::string keyLine = entry.key + "=" + value;
  const Lookup found = find(text, entry.section, entry.key);
  if (found.keyBegin) {
    text.replace(*found.keyBegin, *found.keyEnd - *found.keyBegin, keyLine);
  } else if (found.sectionFound) {
    text.insert(found.insertAt, (found.insertNeedsLineEnd ? eol : "") + keyLine + eol);
  } else {
    if (!text.empty() && text.back() != '\n') text += eol;
    if (!text.empty()) text += eol;
    text += "[" + entry.section + "]" + eol + keyLine + eol;
  }
}

}  // namespace

std::string readIniString(const std::string& sSection, const std::string& sKey, const std::string& sDefault,
                          const std::string& sFile) {
  const FileView file(sFile);
  const std::string_view text = file.bytes();
  const Lookup found = find(text, sSection, sKey);
  if (!found.keyBegin) return sDefault;
  const std::string_view value = trim(text.substr(*found.valueBegin, *found.keyEnd - *found.valueBegin));
  return std::string(value.substr(0, kIniValueLimit));
}

bool writeIniString(const std::string& sSection, const std::string& sKey, const std::string& sValue,
                    const std::string& sFile) {
  return writeIniStrings({{sSection, sKey, sValue}}, sFile);
}

bool writeIniStrings(const std::vector<IniEntry>& entries, const std::string& sFile) {
  WriterLock lock(sFile);
  std::string text;
  {
    const FileView file(sFile);
    if (!file.valid()) return false;
    text = file.bytes();
  }
  for (const IniEntry& entry : entries) setKey(text, entry);
  AtomicFileWriter file(sFile);
  return file.open() && file.write(text) && file.commit();
}

}  // namespace GlobalShared
