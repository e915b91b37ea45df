#include "AtomicFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <random>

#include "GlobalShared.h"

using GlobalShared::getFileName;
using GlobalShared::getFolderName;
using GlobalShared::kPathSeparators;

AtomicFileWriter::AtomicFileWriter(std::string destination) : mDestination(std::move(destination)) {}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

bool AtomicFileWriter::fail(int error) {
  if (mError == 0) mError = error;
  discard();
  return false;
}

void AtomicFileWriter::discard() {
  closeFile();
  if (!mTempPath.empty()) removeFile(mTempPath);
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
  std::string folder = getFolderName(target);
  if (folder.find_last_of(kPathSeparators) + 1 != folder.size()) folder += GlobalShared::kPathSeparator;
  return folder + ".pelko." + hex + ".";
}

bool AtomicFileWriter::open() {
  if (mDestination.empty()) return fail(ENOENT);
  mTarget = mDestination;
  bool exists = false;
  if (const int error = inspectTarget(exists); error != 0) return fail(error);
  std::random_device seed;
  std::mt19937 random(seed());
  const std::string stem = temporaryStem(mTarget);
  for (int attempt = 0; attempt < 100 && !isOpen(); ++attempt) {
    const int error = createTemporary(stem + std::to_string(random() % 1000000) + ".tmp");
    if (error == 0 || error == EEXIST) continue;
    if (exists && (error == EACCES || error == EPERM)) {
      if (const int inPlace = openTargetInPlace(); inPlace != 0) return fail(inPlace);
      mInPlace = true;
      return true;
    }
    return fail(error);
  }
  if (!isOpen()) return fail(EEXIST);
  removeStaleTemporaries();
  return true;
}

bool AtomicFileWriter::write(std::string_view bytes) {
  if (!isOpen()) return fail(mError ? mError : EBADF);
  if (mInPlace) {
    mInPlaceText += bytes;
    return true;
  }
  const int error = writeAll(bytes);
  return error == 0 || fail(error);
}

bool AtomicFileWriter::commit() {
  if (!isOpen()) return fail(mError ? mError : EBADF);
  int error = mInPlace ? rewrite(mInPlaceText) : 0;
  // The data must be on disk before the replace makes it the destination.
  if (error == 0) error = flushAndClose();
  if (error == 0 && !mInPlace) error = replaceTarget();
  if (error != 0) return fail(error);
  mTempPath.clear();
  mInPlaceText.clear();
  return true;
}
