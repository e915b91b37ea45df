#include "Platform.h"

#include <algorithm>
#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "WindowsText.h"
#else
#include <climits>
#include <unistd.h>
#endif

#include "GlobalShared.h"

namespace Platform {
namespace {

std::string executableFolder() {
#ifdef _WIN32
  std::wstring path(MAX_PATH, L'\0');
  DWORD size = 0;
  while ((size = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
    path.resize(path.size() * 2);
  path.resize(size);
  const std::string file = WindowsText::narrow(path);
#else
  char path[PATH_MAX];
  const ssize_t size = ::readlink("/proc/self/exe", path, sizeof path);
  const std::string file = size > 0 && static_cast<std::size_t>(size) < sizeof path ? std::string(path, static_cast<std::size_t>(size)) : "";
#endif
  return file.empty() ? "." : GlobalShared::getFolderName(file);
}

std::string& folder() {
  static std::string value = executableFolder();
  return value;
}

ScreenTwips& screen() {
  static ScreenTwips value{pixelsToTwips(1920), pixelsToTwips(1080)};
  return value;
}

}  // namespace

void setProgramFolder(std::string value) { folder() = std::move(value); }
const std::string& programFolder() { return folder(); }

std::vector<std::string> arguments([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) args.push_back(WindowsText::narrow(wide[i]));
  ::LocalFree(wide);
  return args;
#else
  return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
#endif
}

void setScreenTwips(ScreenTwips size) { screen() = size; }
ScreenTwips screenTwips() { return screen(); }

}  // namespace Platform
