// Skins for the window tests, drawn into temporary folders: every picture of a skin is one
// plain colour (but for the transparent bottom-left pixel), so a test can tell by one pixel
// which skin a control shows.
#pragma once

#include <QColor>
#include <map>
#include <set>
#include <string>

// Writes the nineteen skin pictures into folder (created, ends in "/"), leaving out the
// files named in leaveOut. No Colors.ini is written.
void WriteSkin(const std::string& folder, const QColor& color,
               const std::set<std::string>& leaveOut = {});

// Writes text into the file at path, creating its folder as needed.
void WriteText(const std::string& path, const std::string& text);
// Writes each file (path relative to folder).
void WriteFiles(const std::string& folder, const std::map<std::string, std::string>& files);
std::string ReadText(const std::string& path);
