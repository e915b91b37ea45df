#include "RecentFiles.h"

#include <algorithm>
#include "GlobalShared.h"

namespace {

std::string key(std::size_t n) { return "File" + std::to_string(n); }

bool blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

RecentFiles::RecentFiles(const std::vector<std::string>& paths) {
  // Added oldest first, so that the first stays on top.
  for (auto path = paths.rbegin(); path != paths.rend(); ++path) add(*path);
}

void RecentFiles::add(const std::string& path) {
  if (!storable(path)) return;
  remove(path);
  mPaths.insert(mPaths.begin(), path);
  if (mPaths.size() > kMost) mPaths.resize(kMost);
}

bool RecentFiles::remove(const std::string& path) {
  const auto gone =
      std::remove_if(mPaths.begin(), mPaths.end(), [&](const std::string& p) { return GlobalShared::samePath(p, path); });
  const bool found = gone != mPaths.end();
  mPaths.erase(gone, mPaths.end());
  return found;
}


bool RecentFiles::storable(std::string_view path) {
  // The settings file drops blanks around a value and ends a line at CR or LF.
  return !path.empty() && path.size() <= GlobalShared::kIniValueLimit && !blank(path.front()) && !blank(path.back()) &&
         path.find_first_of("\r\n") == std::string_view::npos;
}

RecentFiles RecentFiles::read(const std::string& iniFile) {
  std::vector<std::string> paths;
  for (std::size_t n = 1; n <= kMost; ++n)
    if (std::string path = GlobalShared::readIniString(kSection, key(n), "", iniFile); !path.empty())
      paths.push_back(std::move(path));
  return RecentFiles(paths);
}

std::vector<GlobalShared::IniEntry> RecentFiles::entries() const {
  std::vector<GlobalShared::IniEntry> made;
  for (std::size_t n = 1; n <= kMost; ++n) made.push_back({kSection, key(n), n <= mPaths.size() ? mPaths[n - 1] : ""});
  return made;
}
