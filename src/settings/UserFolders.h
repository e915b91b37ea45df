#pragma once
#include <string>

#include "GlobalShared.h"

// Where the program keeps what it writes and looks for default copies. A portable copy, whose
// folder its user may write, keeps everything in that folder. An installed program (in a folder
// the user may not write, or in the folder it was built to be installed to) keeps its settings in
// the user's configuration folder and looks for default copies in the user's data folder too,
// after the XDG base-directory rules.
namespace GlobalShared {

bool isPortable();

// $XDG_CONFIG_HOME/pelkoEditor (default ~/.config/pelkoEditor) and $XDG_DATA_HOME/pelkoEditor
// (default ~/.local/share/pelkoEditor); on Windows both are %APPDATA%\pelkoEditor.
std::string userConfigFolder();
std::string userDataFolder();
// $XDG_STATE_HOME/pelkoEditor (default ~/.local/state/pelkoEditor), on Windows
// %LOCALAPPDATA%\pelkoEditor: what the program keeps between runs that is neither settings nor
// data, the journals of unsaved edits.
std::string userStateFolder();

// The folder of the settings file: the program's folder or the user's configuration folder.
std::string settingsFolder();

// The default copy of a kind: where it exists, the program's folder first; else where the user
// should put it (the program's folder of a portable copy, else the user's data folder).
std::string getDefaultCopyPath(FileType iFileType);

}  // namespace GlobalShared
