// The program keeps its texts as 8-bit strings; widgets need QString. Titles come from file
// names (UTF-8) and from tags (ISO-8859-1), so a text that is not valid UTF-8 is read as
// ISO-8859-1 instead of being garbled.
#pragma once

#include <QString>
#include <string>
#include <string_view>

QString ToQString(std::string_view text);
std::string FromQString(const QString& text);
