#pragma once
#include <optional>
#include <string>

#include "FileFailure.h"
#include "GlobalShared.h"
#include "RecentFiles.h"

class SettingsWindow;

// The view settings of each kind of file, the window placement and the recent files, kept between runs in
// pelkoEditor.ini in the program's folder, or in the user's configuration folder for an
// installed program (UserFolders.h). Nothing is cached: each call reads or writes the file. A
// missing or unreadable file gives the window's own defaults. A save that cannot write the file,
// unless it is read-only, returns why, once in a run.
namespace GlobalShared {

std::string getIniPath();

// The kind's ranges 2-6 with their captions, the selected range, the scroll options and widths.
void loadTypeSettings(FileType iFileType, SettingsWindow& window);
std::optional<FileFailure> saveTypeSettings(FileType iFileType, SettingsWindow& window);

void loadWindowPlacement(SettingsWindow& window);
std::optional<FileFailure> saveWindowPlacement(const SettingsWindow& window);

// What closing the window stores: the kind's view (unless iFileType is 0), then the placement,
// with one rewrite of the file.
std::optional<FileFailure> saveClosingSettings(FileType iFileType, SettingsWindow& window);

RecentFiles loadRecentFiles();
std::optional<FileFailure> saveRecentFiles(const RecentFiles& recent);

// How numbers are written: a blank before a number that is not negative ("Selected Range= 3").
std::string formatSettingsNumber(double value);

}  // namespace GlobalShared
