#include <cerrno>
#include <windows.h>

#include "AtomicFileWriter.h"
#include "GlobalShared.h"
#include "SystemFile.h"
#include "WindowsText.h"

namespace {

using GlobalShared::getFolderName;
using WindowsText::errnoOf;
using WindowsText::finalPath;
using WindowsText::fullPath;
using WindowsText::narrow;
using WindowsText::widen;

HANDLE handle(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }

int lastError() { return errnoOf(::GetLastError()); }

}  // namespace

int AtomicFileWriter::inspectTarget(bool& exists) {
  DWORD attributes = ::GetFileAttributesW(widen(mTarget).c_str());
  DWORD error = ::GetLastError();
  // Every existing destination, not only a reparse point: Wine shows Linux links as plain files,
  // and replacing one would move its target's name away.
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (const int linkError = finalPath(mTarget); linkError != 0) return linkError;
    attributes = ::GetFileAttributesW(widen(mTarget).c_str());
    error = ::GetLastError();
  }
  exists = attributes != INVALID_FILE_ATTRIBUTES;
  // A missing folder shows when the temporary file cannot be made in it.
  if (!exists) return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : errnoOf(error);
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EISDIR;
  return attributes & FILE_ATTRIBUTE_READONLY ? EACCES : 0;
}

int AtomicFileWriter::createTemporary(const std::string& path) {
  // Not shared: a save's own file cannot be removed as a leftover while it is open.
  const HANDLE file =
      ::CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lastError();
  mFile = reinterpret_cast<std::intptr_t>(file);
  mTempPath = path;
  return 0;
}

int AtomicFileWriter::openTargetInPlace() {
  const HANDLE file = ::CreateFileW(widen(mTarget).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lastError();
  mFile = reinterpret_cast<std::intptr_t>(file);
  return 0;
}

int AtomicFileWriter::writeAll(std::string_view bytes) { return SystemFile::writeAll(mFile, bytes) ? 0 : lastError(); }

int AtomicFileWriter::rewrite(std::string_view bytes) {
  if (!::SetFilePointerEx(handle(mFile), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return lastError();
  if (const int error = writeAll(bytes); error != 0) return error;
  return ::SetEndOfFile(handle(mFile)) ? 0 : lastError();
}

int AtomicFileWriter::flushAndClose() {
  const HANDLE file = handle(mFile);
  mFile = kNoFile;
  int error = ::FlushFileBuffers(file) ? 0 : lastError();
  if (!::CloseHandle(file) && error == 0) error = lastError();
  return error;
}

int AtomicFileWriter::replaceTarget() {
  const std::wstring target = fullPath(mTarget), temporary = fullPath(mTempPath);
  // The replaced file lends the new one its attributes, access rights and creation time.
  if (::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
    return 0;
  if (::GetLastError() != ERROR_FILE_NOT_FOUND) return lastError();
  // A new destination has nothing to keep.
  return ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : lastError();
}

void AtomicFileWriter::closeFile() {
  if (isOpen()) ::CloseHandle(handle(mFile));
  mFile = kNoFile;
}

void AtomicFileWriter::removeFile(const std::string& path) const { ::DeleteFileW(widen(path).c_str()); }

// A save keeps its temporary file open without sharing until it ends, so a file that can be
// deleted is a leftover.
void AtomicFileWriter::removeStaleTemporaries() const {
  const std::string stem = temporaryStem(mTarget);
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(widen(stem + "*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string path = getFolderName(stem) + GlobalShared::kPathSeparator + narrow(found.cFileName);
    if (path != mTempPath) removeFile(path);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}
