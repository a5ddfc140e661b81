// The folders the program keeps its files in. Every folder is returned with a trailing "/".
#pragma once

#include <string>

namespace platform {

// The user's home folder: $HOME, else the password database entry.
std::string HomeFolder();

// The folder of the running executable (from /proc/self/exe): SKIN/, Equ/ and help/ lie here.
std::string ProgramFolder();

// Where Sonavera.ini lives: $XDG_CONFIG_HOME, default ~/.config. Created when missing, so
// that the first start can write its settings on a fresh account.
std::string ConfigFolder();

// The user's music folder: XDG_MUSIC_DIR of the user-dirs file in the configuration folder,
// else ~/Music, when that folder exists; otherwise the home folder.
std::string MusicFolder();

// Where user data goes when the program folder cannot be written: $XDG_DATA_HOME, default
// ~/.local/share. Not created here.
std::string UserDataFolder();

}  // namespace platform
