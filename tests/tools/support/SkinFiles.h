// Where the committed runtime files lie, and reading a skin's colours the way the player
// reads them.
#pragma once

#include <QColor>
#include <QString>
#include <optional>
#include <string>

// assets/runtime of the source tree, with a trailing "/".
QString RuntimeFolder();

// The text of a key of section "Colors" in a Colors.ini, without writing anything back;
// empty when the key is missing.
std::string ColourText(const QString& iniPath, const std::string& key);

// The colour a Colors.ini value names (0x00BBGGRR), if the value is a number.
std::optional<QColor> ColourOf(const std::string& text);
