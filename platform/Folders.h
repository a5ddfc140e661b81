// The folders the program keeps its files in. Every folder is returned with a trailing "/".
#pragma once

#include <string>

namespace platform {

// The user's home folder: $HOME, else the password database entry.
std::string HomeFolder();

// The folder of the running executable (from /proc/self/exe): SKIN/, Equ/ and help/ lie here.
std::string ProgramFolder();

// The file the install step leaves in the program folder. A folder holding it is an installed
// copy of the program, which the program never writes into, whoever runs it (root too).
inline const char* const kInstalledMark = "INSTALLED";

// Whether programFolder (ending in "/") is an installed copy of the program.
bool IsInstalledFolder(const std::string& programFolder);

// Where Sonavera.ini lives: $XDG_CONFIG_HOME, default ~/.config. Created when missing, so
// that the first start can write its settings on a fresh account.
std::string ConfigFolder();

// XDG_<name>_DIR of the user-dirs file in the configuration folder ("MUSIC", "DESKTOP"), as
// written there; empty when the file or the line is missing or malformed.
std::string UserDirsFolder(const std::string& name);

// The user's music folder: XDG_MUSIC_DIR of the user-dirs file in the configuration folder,
// else ~/Music, when that folder exists; otherwise the home folder.
std::string MusicFolder();

// Where user data goes when the program folder cannot be written: $XDG_DATA_HOME, default
// ~/.local/share. Not created here.
std::string UserDataFolder();

}  // namespace platform
