#include "UserFolders.h"

#include <cerrno>
#include <cstdlib>
#ifdef _WIN32
#include <windows.h>

#include "WindowsText.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "FileKind.h"
#include "Platform.h"

#ifndef PELKO_INSTALL_BINDIR
#define PELKO_INSTALL_BINDIR ""
#endif

namespace GlobalShared {
namespace {

#ifdef _WIN32
std::string windowsFolder(const wchar_t* variable) {
  const wchar_t* value = ::_wgetenv(variable);
  return WindowsText::narrow(value ? value : L".") + "\\pelkoEditor";
}

// The one folder Windows has for a user's own program files, configuration and data alike.
std::string xdgFolder(const char*, const char*) { return windowsFolder(L"APPDATA"); }

// Windows answers the question for a folder only from its read-only attribute, which says
// nothing there: only a file made in it tells.
bool folderWritable(const std::string& folder) {
  const std::wstring probe = WindowsText::widen(folder + "\\.pelko.probe." + std::to_string(::GetCurrentProcessId()));
  const HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(file);
  return true;
}
#else
std::string xdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  // The rules ignore a relative path.
  if (value && value[0] == '/') return std::string(value) + "/pelkoEditor";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + fallback + "/pelkoEditor";
}

bool folderWritable(const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; }
#endif

}  // namespace

bool isPortable() {
  const std::string& folder = Platform::programFolder();
  // Root may write anywhere, /usr/bin too: the folder the program was installed to is never its
  // settings' place.
  if (folder == PELKO_INSTALL_BINDIR) return false;
  return folderWritable(folder);
}

std::string userConfigFolder() { return xdgFolder("XDG_CONFIG_HOME", "/.config"); }
std::string userDataFolder() { return xdgFolder("XDG_DATA_HOME", "/.local/share"); }

std::string userStateFolder() {
#ifdef _WIN32
  // Not roamed to other machines: the state belongs to this one's files.
  return windowsFolder(L"LOCALAPPDATA");
#else
  return xdgFolder("XDG_STATE_HOME", "/.local/state");
#endif
}

std::string settingsFolder() { return isPortable() ? Platform::programFolder() : userConfigFolder(); }

std::string getDefaultCopyPath(FileType iFileType) {
  const std::string name = kPathSeparator + FileKind::defaultFileName(iFileType, true);
  const std::string inProgramFolder = Platform::programFolder() + name;
  const std::string inDataFolder = userDataFolder() + name;
  if (fileExists(inProgramFolder)) return inProgramFolder;
  if (fileExists(inDataFolder)) return inDataFolder;
  return isPortable() ? inProgramFolder : inDataFolder;
}

}  // namespace GlobalShared
