#include "Settings.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "FileKind.h"
#include "NumberText.h"
#include "PrivateProfile.h"
#include "SettingsWindow.h"
#include "UserFolders.h"

namespace GlobalShared {
namespace {

constexpr const char* kNoData = "NoData";
constexpr const char* kWindowSection = "Pelko Editor";
constexpr std::int32_t kFirstUserRange = 2;
constexpr std::int32_t kLastRange = FileKind::kRangeCount;

std::string rangeArrayKey(std::int32_t n) { return "Range Array " + std::to_string(n); }
std::string captionKey(std::int32_t n) { return "Caption " + std::to_string(n); }
std::string scrollUpdateKey(std::int32_t i) { return "ScrollUpdate" + std::to_string(i); }
constexpr const char* kSelectedRange = "Selected Range";
constexpr const char* kWidthsArray = "WidthsArray";

std::string sectionOf(FileType iFileType) {
  const FileKind* kind = FileKind::find(iFileType);
  return kind ? std::string(kind->section) : std::string();
}

// The value, or nothing when the key is absent (or literally "NoData").
std::optional<std::string> read(const std::string& section, const std::string& key) {
  std::string value = readIniString(section, key, kNoData, getIniPath());
  if (value == kNoData) return std::nullopt;
  return value;
}

double number(const std::string& text) { return NumberText::leadingNumber(text, NumberText::Blanks::Leading); }

// A whole number within [low, high], or nothing for a value only a hand-edited file can hold.
std::optional<std::int32_t> wholeNumber(const std::string& text, std::int32_t low, std::int32_t high) {
  const double value = std::nearbyint(number(text));
  if (!(value >= low && value <= high)) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// A failed write changes nothing, as the settings file is the only state. A read-only file was
// made so on purpose; any other failure means that nothing can be kept, which the user hears once.
std::optional<FileFailure> write(const std::vector<IniEntry>& entries) {
  static bool told = false;
  const std::string folder = settingsFolder();
  const std::string path = getIniPath();
  if ((makeFolders(folder) && writeIniStrings(entries, path)) || told) return std::nullopt;
  if (isReadOnlyFile(path)) return std::nullopt;
  told = true;
  return FileFailure{FileFailure::Kind::SettingsNotKept, path};
}

// What saveTypeSettings writes, in order.
std::vector<IniEntry> typeSettings(FileType iFileType, const SettingsWindow& window) {
  const std::string section = sectionOf(iFileType);
  std::vector<IniEntry> entries{{section, kSelectedRange, formatSettingsNumber(window.RangeSelected())}};
  for (std::int32_t n = kFirstUserRange; n <= kLastRange; ++n) {
    entries.push_back({section, rangeArrayKey(n), window.getSelRangeArrayStr(n)});
    entries.push_back({section, captionKey(n), window.rangeButtonTag(n)});
  }
  for (std::int32_t i = 0; i <= 1; ++i)
    entries.push_back({section, scrollUpdateKey(i), formatSettingsNumber(window.scrollUpdate(i))});
  entries.push_back({section, kWidthsArray, window.getWidthArrayStr()});
  return entries;
}

// What saveWindowPlacement writes, in order.
std::vector<IniEntry> windowPlacement(const SettingsWindow& window) {
  const SettingsWindow::State state = window.windowState();
  std::vector<IniEntry> entries;
  // A minimized or maximized window keeps the last normal placement for its restored size.
  if (state != SettingsWindow::Minimized) entries.push_back({kWindowSection, "Windowstate", formatSettingsNumber(state)});
  if (state != SettingsWindow::Normal) return entries;
  entries.push_back({kWindowSection, "Left", formatSettingsNumber(window.windowLeft())});
  entries.push_back({kWindowSection, "Width", formatSettingsNumber(window.windowWidth())});
  entries.push_back({kWindowSection, "Top", formatSettingsNumber(window.windowTop())});
  entries.push_back({kWindowSection, "Height", formatSettingsNumber(window.windowHeight())});
  return entries;
}

}  // namespace

std::string getIniPath() { return settingsFolder() + kPathSeparator + "pelkoEditor.ini"; }

std::string formatSettingsNumber(double value) {
  // Plain decimal digits, never an exponent: the largest double has 309 of them.
  char digits[512];
  const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed);
  std::string text(digits, result.ptr);
  return value < 0 ? text : " " + text;
}

void loadTypeSettings(FileType iFileType, SettingsWindow& window) {
  const std::string section = sectionOf(iFileType);
  for (std::int32_t n = kFirstUserRange; n <= kLastRange; ++n) {
    if (auto range = read(section, rangeArrayKey(n))) window.setRange(n, *range);
    if (auto caption = read(section, captionKey(n))) {
      window.setRangeButtonTag(n, *caption);
      if (!window.HideNames()) window.setRangeButtonCaption(n, *caption);
    }
  }
  if (auto value = read(section, kSelectedRange)) {
    if (auto selected = wholeNumber(*value, 1, kLastRange)) {
      window.setRangeButtonOn(*selected);
      window.setRangeSelected(*selected);
    }
  }
  for (std::int32_t i = 0; i <= 1; ++i)
    if (auto value = read(section, scrollUpdateKey(i)))
      if (auto state = wholeNumber(*value, 0, 1)) window.setScrollUpdate(i, *state);
  if (auto widths = read(section, kWidthsArray)) window.setAllDisplayWidths(*widths);
}

std::optional<FileFailure> saveTypeSettings(FileType iFileType, SettingsWindow& window) {
  return write(typeSettings(iFileType, window));
}

void loadWindowPlacement(SettingsWindow& window) {
  using Setter = void (SettingsWindow::*)(double);
  const std::pair<const char*, Setter> edges[] = {{"Left", &SettingsWindow::setWindowLeft},
                                                 {"Width", &SettingsWindow::setWindowWidth},
                                                 {"Top", &SettingsWindow::setWindowTop},
                                                 {"Height", &SettingsWindow::setWindowHeight}};
  for (const auto& [key, set] : edges)
    if (auto value = read(kWindowSection, key)) (window.*set)(number(*value));
  if (auto value = read(kWindowSection, "Windowstate"))
    if (auto state = wholeNumber(*value, SettingsWindow::Normal, SettingsWindow::Maximized))
      window.setWindowState(static_cast<SettingsWindow::State>(*state));
}

std::optional<FileFailure> saveWindowPlacement(const SettingsWindow& window) { return write(windowPlacement(window)); }

std::optional<FileFailure> saveClosingSettings(FileType iFileType, SettingsWindow& window) {
  std::vector<IniEntry> entries;
  if (iFileType != 0) entries = typeSettings(iFileType, window);
  const std::vector<IniEntry> placement = windowPlacement(window);
  entries.insert(entries.end(), placement.begin(), placement.end());
  return write(entries);
}

RecentFiles loadRecentFiles() { return RecentFiles::read(getIniPath()); }

std::optional<FileFailure> saveRecentFiles(const RecentFiles& recent) { return write(recent.entries()); }

}  // namespace GlobalShared
