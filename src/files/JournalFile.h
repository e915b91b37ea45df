#pragma once
#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>

// A file that is only ever appended to, whose bytes are on the disk when sync() returns, and
// that one program holds at a time (a lock on POSIX, a share mode on Windows): a second editor
// of the same data file neither truncates nor moves the journal of the first. The file is left
// where it is when closed; removing it is the caller's decision.
class JournalFile {
 public:
  // The error number open() gives for a file another program holds.
  static constexpr int kHeldElsewhere = EBUSY;

  JournalFile() = default;
  ~JournalFile() { close(); }
  JournalFile(const JournalFile&) = delete;
  JournalFile& operator=(const JournalFile&) = delete;

  // Opens the file, creating it when missing, keeps its first `keep` bytes and appends after
  // them. Each returns 0 or the error number.
  int open(const std::string& path, std::uint64_t keep);
  int append(std::string_view bytes);
  int sync();
  void close();
  bool isOpen() const { return mFile != kNoFile; }

  // True when another program holds the file open as a journal.
  static bool heldElsewhere(const std::string& path);
  // Renames a file that nobody holds; an existing `to` is never replaced (EEXIST).
  static int rename(const std::string& from, const std::string& to);
  static int remove(const std::string& path);
  // The absolute path with every link followed; an absolute path as given for a file that
  // cannot be found.
  static std::string canonicalPath(const std::string& path);

 private:
  static constexpr std::intptr_t kNoFile = -1;  // a file descriptor, or on Windows a HANDLE
  std::intptr_t mFile = kNoFile;
};
