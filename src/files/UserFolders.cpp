#include "UserFolders.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "Platform.h"

#ifndef PELKO_INSTALL_BINDIR
#define PELKO_INSTALL_BINDIR ""
#endif

namespace GlobalShared {
namespace {

std::string xdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  // The rules ignore a relative path.
  if (value && value[0] == '/') return std::string(value) + "/pelkoEditor";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + fallback + "/pelkoEditor";
}

}  // namespace

bool isPortable() {
  const std::string& folder = Platform::programFolder();
  // Root may write anywhere, /usr/bin too: the folder the program was installed to is never its
  // settings' place.
  if (folder == PELKO_INSTALL_BINDIR) return false;
  return ::access(folder.c_str(), W_OK) == 0;
}

std::string userConfigFolder() { return xdgFolder("XDG_CONFIG_HOME", "/.config"); }
std::string userDataFolder() { return xdgFolder("XDG_DATA_HOME", "/.local/share"); }

std::string settingsFolder() { return isPortable() ? Platform::programFolder() : userConfigFolder(); }

std::string getDefaultCopyPath(FileType iFileType) {
  const std::string name = getDefaultFileName(iFileType, true);
  const std::string inProgramFolder = Platform::programFolder() + "/" + name;
  const std::string inDataFolder = userDataFolder() + "/" + name;
  if (fileExists(inProgramFolder)) return inProgramFolder;
  if (fileExists(inDataFolder)) return inDataFolder;
  return isPortable() ? inProgramFolder : inDataFolder;
}

bool makeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (!part.empty() && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

}  // namespace GlobalShared
