// The symbols on the buttons and icons, drawn as pixel art so they stay sharp at 1:1.
#pragma once

#include <initializer_list>

#include "GlyphMask.h"

class TSymbols {
 public:
  // Main window, large buttons (about 11 x 9).
  static TGlyphMask Play();
  static TGlyphMask PauseStop();
  static TGlyphMask Previous();
  static TGlyphMask Next();
  static TGlyphMask Eject();
  static TGlyphMask Notes();
  static TGlyphMask Picture();
  static TGlyphMask Sliders();
  static TGlyphMask Disc();
  // Main window, small buttons (about 7 x 7).
  static TGlyphMask Repeat();
  static TGlyphMask Shuffle();
  static TGlyphMask ProgramList();
  static TGlyphMask Menu();
  static TGlyphMask Minimize();
  static TGlyphMask Close();
  // Micro window.
  static TGlyphMask SmallPrevious();
  static TGlyphMask SmallNext();
  static TGlyphMask DoublePrevious();
  static TGlyphMask DoubleNext();
  static TGlyphMask SmallPlay();
  static TGlyphMask SmallPause();
  // Icons.
  static TGlyphMask Note();
  static TGlyphMask Speaker();
  static TGlyphMask Progress();

 private:
  // Rows of the picture, 'X' for a set pixel.
  static TGlyphMask FromArt(std::initializer_list<const char*> rows);
  static TGlyphMask Mirrored(const TGlyphMask& mask);
};
