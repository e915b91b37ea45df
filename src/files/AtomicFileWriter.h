#pragma once
#include <string>
#include <string_view>

// Writes a file so that the destination is only ever the whole old file or the whole new one:
// the bytes go to a temporary file in the destination's folder, which replaces the destination
// on commit(). A writer destroyed before commit() removes its temporary file.
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

 private:
  bool fail(int error);
  void discard();

  std::string mDestination;
  std::string mTempPath;
  int mFd = -1;
  int mError = 0;
};
