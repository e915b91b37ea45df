#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Writes a file so that the destination is only ever the whole old file or the whole new one:
// the bytes go to a temporary file in the destination's folder, which replaces the destination
// on commit(). A writer destroyed before commit() removes its temporary file.
//
// Destinations are treated as a careful editor treats them: a symbolic link is followed and its
// target written (the link stays a link); a read-only file is refused as a failed open; the old
// file's permissions and, where allowed, its owner are kept; when the folder cannot take a
// temporary file but the file itself is writable, the file is rewritten in place at commit(),
// from the whole text gathered in memory, so that only the disk can fail it. Temporary files that
// killed saves left beside the same destination are removed. On Windows the read-only attribute
// refuses a file, and the replace keeps the old file's attributes and access rights.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::string destination);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool open();
  bool write(std::string_view bytes);
  bool commit();

  // The platform error number of the first failure, 0 while all went well.
  int errorNumber() const { return mError; }

  // The name stem of this writer's temporary files beside `target` (a path without links).
  static std::string temporaryStem(const std::string& target);

 private:
  bool fail(int error);
  void discard();
  bool isOpen() const { return mFile != kNoFile; }

  // Per platform (AtomicFileWriter_posix.cpp, AtomicFileWriter_win.cpp). Each returns 0 or the
  // error number.
  int inspectTarget(bool& exists);  // follows links into mTarget and checks what is there
  int createTemporary(const std::string& path);  // exclusively, held so that no other save removes it
  int openTargetInPlace();
  int writeAll(std::string_view bytes);
  int rewrite(std::string_view bytes);  // from the start, cut to the bytes' length
  int flushAndClose();
  int replaceTarget();  // by the closed temporary file
  void closeFile();
  void removeFile(const std::string& path) const;
  void removeStaleTemporaries() const;

  // A file descriptor, or on Windows a HANDLE; -1 is no file on both.
  static constexpr std::intptr_t kNoFile = -1;

  std::string mDestination;
  std::string mTarget;  // the destination with its links followed
  std::string mTempPath;
  std::string mInPlaceText;
  bool mInPlace = false;
  std::intptr_t mFile = kNoFile;
  int mError = 0;
};
