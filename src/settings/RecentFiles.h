#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "PrivateProfile.h"

// The data files loaded last, the most recent first, each once, as the settings file keeps them
// in a section of their own ("[Recent Files]", keys "File1".."File8").
class RecentFiles {
 public:
  static constexpr std::size_t kMost = 8;
  static constexpr const char* kSection = "Recent Files";

  RecentFiles() = default;
  explicit RecentFiles(const std::vector<std::string>& paths);

  const std::vector<std::string>& paths() const { return mPaths; }
  // To the top; an earlier entry of the same file goes, the oldest beyond kMost too. A path the
  // settings file cannot hold as it is stays out.
  void add(const std::string& path);
  // False when the file was not in the list.
  bool remove(const std::string& path);

  // A path that a "key=value" line gives back unchanged.
  static bool storable(std::string_view path);

  // From the section of the settings file; empty keys are skipped.
  static RecentFiles read(const std::string& iniFile);
  // Every key of the section, those beyond the list emptied, so that a dropped file is gone.
  std::vector<GlobalShared::IniEntry> entries() const;

 private:
  std::vector<std::string> mPaths;
};
