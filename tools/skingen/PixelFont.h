// A 5 x 7 pixel font for the lettering on the skins: crisp at 1:1 and the same on every
// machine, unlike a rendered system font.
#pragma once

#include <string_view>

#include "GlyphMask.h"

class TPixelFont {
 public:
  static constexpr int kCellWidth = 6;  // five pixels and one of spacing
  static constexpr int kHeight = 7;

  // Upper-case letters, digits, '+', '-', '.' and blank; anything else is left blank.
  // scale > 1 enlarges every pixel to a scale x scale block.
  static TGlyphMask Text(std::string_view text, int scale = 1);
};
