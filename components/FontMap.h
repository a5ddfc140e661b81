// The Windows font names used by the forms and skins, mapped onto fonts every Debian
// desktop has: Arial -> Liberation Sans, Times New Roman -> Liberation Serif, and the tiny
// bitmap face "Small Fonts" -> DejaVu Sans, hinted and smoothed in grey at the given pixel
// size.
#pragma once

#include <QFont>
#include <string_view>

// A font given by its Windows name and its character height in pixels.
QFont FontFromPixels(std::string_view family, int pixels, bool bold = false);

// A font given by its Windows name and its size in points (96 dots per inch, as the forms
// were laid out).
QFont FontFromPoints(std::string_view family, int points, bool bold = false);

// The fixed-pitch face beside font's, at its size and with its rendering.
QFont FixedPitch(const QFont& font);
