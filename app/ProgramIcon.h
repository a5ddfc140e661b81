// The program's own icon, drawn at 48 and 256 pixels and shipped in the program folder's
// pictures/: the windows show it and links point at it.
#pragma once

#include <QIcon>
#include <string>

// The large picture, for links (programFolder ends in "/").
std::string ProgramIconFile(const std::string& programFolder);

// Both sizes, for the windows.
QIcon ProgramIcon(const std::string& programFolder);
