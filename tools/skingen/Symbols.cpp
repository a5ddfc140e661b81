#include "Symbols.h"

#include <cstring>

TGlyphMask TSymbols::FromArt(std::initializer_list<const char*> rows) {
  int width = 0;
  for (const char* row : rows) width = std::max(width, static_cast<int>(std::strlen(row)));
  TGlyphMask mask(width, static_cast<int>(rows.size()));
  int y = 0;
  for (const char* row : rows) {
    for (int x = 0; row[x]; ++x)
      if (row[x] == 'X') mask.Set(x, y);
    ++y;
  }
  return mask;
}

TGlyphMask TSymbols::Mirrored(const TGlyphMask& mask) {
  TGlyphMask out(mask.Width(), mask.Height());
  for (int y = 0; y < mask.Height(); ++y)
    for (int x = 0; x < mask.Width(); ++x)
      if (mask.At(x, y)) out.Set(mask.Width() - 1 - x, y);
  return out;
}

TGlyphMask TSymbols::Play() {
  TGlyphMask mask(5, 9);
  mask.Triangle(0, 0, 9, TGlyphMask::gdRight);
  return mask;
}

TGlyphMask TSymbols::PauseStop() {
  TGlyphMask mask(12, 7);
  mask.Rect(0, 0, 2, 7);
  mask.Rect(3, 0, 2, 7);
  mask.Rect(7, 1, 5, 5);
  return mask;
}

TGlyphMask TSymbols::Previous() {
  TGlyphMask mask(12, 9);
  mask.Rect(0, 0, 2, 9);
  mask.Triangle(2, 0, 9, TGlyphMask::gdLeft);
  mask.Triangle(7, 0, 9, TGlyphMask::gdLeft);
  return mask;
}

TGlyphMask TSymbols::Next() { return Mirrored(Previous()); }

TGlyphMask TSymbols::Eject() {
  TGlyphMask mask(11, 9);
  mask.Triangle(0, 0, 11, TGlyphMask::gdUp);
  mask.Rect(0, 7, 11, 2);
  return mask;
}

TGlyphMask TSymbols::Notes() {
  return FromArt({
      "...XXXXXX",
      "...XXXXXX",
      "...X....X",
      "...X....X",
      "...X....X",
      ".XXX..XXX",
      "XXXX.XXXX",
      "XXXX.XXXX",
      ".XX...XX.",
  });
}

TGlyphMask TSymbols::Picture() {
  return FromArt({
      "XXXXXXXXXXX",
      "X.........X",
      "X......XX.X",
      "X...X..XX.X",
      "X..XXX....X",
      "X.XXXXX.X.X",
      "XXXXXXXXXXX",
      "X.........X",
      "XXXXXXXXXXX",
  });
}

TGlyphMask TSymbols::Sliders() {
  return FromArt({
      ".X...X...X.",
      ".X...X...X.",
      ".X..XXX..X.",
      ".X..XXX..X.",
      ".X...X..XXX",
      "XXX..X..XXX",
      "XXX..X...X.",
      ".X...X...X.",
      ".X...X...X.",
  });
}

TGlyphMask TSymbols::Disc() {
  TGlyphMask mask(9, 9);
  mask.Ring(4.5, 4.5, 4.7, 1.6);
  return mask;
}

TGlyphMask TSymbols::Repeat() {
  return FromArt({
      ".......X.",
      "XXXXXXXXX",
      "X......X.",
      "X.......X",
      ".X......X",
      "XXXXXXXXX",
      ".X.......",
  });
}

TGlyphMask TSymbols::Shuffle() {
  return FromArt({
      ".......X.",
      "XX...XXXX",
      "..X.X..X.",
      "...X.....",
      "..X.X..X.",
      "XX...XXXX",
      ".......X.",
  });
}

TGlyphMask TSymbols::ProgramList() {
  return FromArt({
      ".X..XXXXX",
      "XX.......",
      ".X..XXXXX",
      ".X.......",
      "XXX.XXXXX",
  });
}

TGlyphMask TSymbols::Menu() {
  TGlyphMask mask(7, 5);
  for (int y = 0; y < 5; y += 2) mask.Rect(0, y, 7, 1);
  return mask;
}

TGlyphMask TSymbols::Minimize() {
  TGlyphMask mask(7, 7);
  mask.Rect(0, 5, 7, 2);
  return mask;
}

TGlyphMask TSymbols::Close() {
  return FromArt({
      "XX....XX",
      ".XX..XX.",
      "..XXXX..",
      "...XX...",
      "..XXXX..",
      ".XX..XX.",
      "XX....XX",
  });
}

TGlyphMask TSymbols::SmallPrevious() {
  TGlyphMask mask(3, 5);
  mask.Triangle(0, 0, 5, TGlyphMask::gdLeft);
  return mask;
}

TGlyphMask TSymbols::SmallNext() { return Mirrored(SmallPrevious()); }

TGlyphMask TSymbols::DoublePrevious() {
  TGlyphMask mask(6, 5);
  mask.Triangle(0, 0, 5, TGlyphMask::gdLeft);
  mask.Triangle(3, 0, 5, TGlyphMask::gdLeft);
  return mask;
}

TGlyphMask TSymbols::DoubleNext() { return Mirrored(DoublePrevious()); }

TGlyphMask TSymbols::SmallPlay() {
  TGlyphMask mask(4, 7);
  mask.Triangle(0, 0, 7, TGlyphMask::gdRight);
  return mask;
}

TGlyphMask TSymbols::SmallPause() {
  TGlyphMask mask(5, 7);
  mask.Rect(0, 0, 2, 7);
  mask.Rect(3, 0, 2, 7);
  return mask;
}

TGlyphMask TSymbols::Note() {
  return FromArt({
      "...XXX",
      "...X.X",
      "...X..",
      "...X..",
      ".XXX..",
      "XXXX..",
      ".XX...",
  });
}

TGlyphMask TSymbols::Speaker() {
  return FromArt({
      "...X...X.",
      "..XX.X..X",
      "XXXX..X.X",
      "XXXX..X.X",
      "XXXX..X.X",
      "..XX.X..X",
      "...X...X.",
  });
}

TGlyphMask TSymbols::Progress() {
  return FromArt({
      "X.....X..",
      "X.....XX.",
      "XXXXXXXXX",
      "X.....XX.",
      "X.....X..",
  });
}
