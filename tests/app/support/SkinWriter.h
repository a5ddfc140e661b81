// Skins for the window tests, drawn into temporary folders: every picture of a skin is one
// plain colour (but for the transparent bottom-left pixel), so a test can tell by one pixel
// which skin a control shows.
#pragma once

#include <QColor>
#include <set>
#include <string>

// Writes the nineteen skin pictures into folder (created, ends in "/"), leaving out the
// files named in leaveOut. No Colors.ini is written.
void WriteSkin(const std::string& folder, const QColor& color,
               const std::set<std::string>& leaveOut = {});

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
