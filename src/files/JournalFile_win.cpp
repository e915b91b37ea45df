#include <cerrno>
#include <windows.h>

#include "JournalFile.h"
#include "SystemFile.h"
#include "WindowsText.h"

namespace {

using WindowsText::errnoOf;
using WindowsText::widen;

HANDLE handle(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }

int lastError() {
  const DWORD error = ::GetLastError();
  return error == ERROR_SHARING_VIOLATION ? JournalFile::kHeldElsewhere : errnoOf(error);
}

}  // namespace

int JournalFile::open(const std::string& path, std::uint64_t keep) {
  close();
  // Others may read it, but not write, move or remove it while it is held.
  const HANDLE file = ::CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lastError();
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(keep);
  if (!::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(file)) {
    const int error = lastError();
    ::CloseHandle(file);
    return error;
  }
  mFile = reinterpret_cast<std::intptr_t>(file);
  return 0;
}

int JournalFile::append(std::string_view bytes) { return SystemFile::writeAll(mFile, bytes) ? 0 : lastError(); }

int JournalFile::sync() { return ::FlushFileBuffers(handle(mFile)) ? 0 : lastError(); }

void JournalFile::close() {
  if (isOpen()) ::CloseHandle(handle(mFile));
  mFile = kNoFile;
}

bool JournalFile::heldElsewhere(const std::string& path) {
  const HANDLE file = ::CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  return file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

int JournalFile::rename(const std::string& from, const std::string& to) {
  return ::MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_WRITE_THROUGH) ? 0 : lastError();
}

int JournalFile::remove(const std::string& path) { return ::DeleteFileW(widen(path).c_str()) ? 0 : lastError(); }

std::string JournalFile::canonicalPath(const std::string& path) {
  std::string canonical = path;
  if (WindowsText::finalPath(canonical) == 0) return canonical;
  return WindowsText::narrow(WindowsText::fullPath(path));
}
