// The user's shell folders, the places links to a program go: the desktop, the program menu
// and the folder of programs started with the session. Every folder ends in "/".
#pragma once

#include <string>

namespace platform {

// The desktop: XDG_DESKTOP_DIR of the user-dirs file, else $HOME/Desktop.
std::string DesktopFolder();

// A shell folder by its Windows name: "Desktop"; "Programs" and "Start Menu" are the user's
// applications folder ($XDG_DATA_HOME/applications); "StartUp" is $XDG_CONFIG_HOME/autostart.
// Empty for a name without an equivalent here ("Recent") or unknown.
std::string ShellFolder(const std::string& name);

}  // namespace platform
