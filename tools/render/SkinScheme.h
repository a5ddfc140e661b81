// The nine colours of a skin's Colors.ini, read with the player's own settings store;
// a missing or unreadable key keeps the player's default.
#pragma once

#include <string>

#include "ColorValue.h"

struct TSkinScheme {
  TColor high = RGBColor(184, 226, 234);
  TColor medium = clSilver;
  TColor low = clGray;
  TColor posStart = RGBColor(0, 0, 160);
  TColor posEnd = clSilver;
  TColor posBack = RGBColor(0, 78, 195);
  TColor volStart = RGBColor(0, 64, 128);
  TColor volEnd = clSilver;
  TColor volBack = RGBColor(0, 78, 195);

  // Reads the file without writing anything back into it.
  static TSkinScheme Read(const std::string& path);
};
