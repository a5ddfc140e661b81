// Button pictures: bevelled faces with a symbol, on the transparent key colour.
#pragma once

#include "GlyphMask.h"
#include "PixelCanvas.h"
#include "Theme.h"

class TButtonPainter {
 public:
  explicit TButtonPainter(const TTheme& theme) : theme_(theme) {}

  // A strip of three cells side by side: normal, disabled, pressed.
  TPixelCanvas Strip(int cellWidth, int height, const TGlyphMask& symbol) const;
  // One normal cell.
  TPixelCanvas Single(int width, int height, const TGlyphMask& symbol) const;
  // Only the symbol on the key colour, for buttons too small for a face.
  TPixelCanvas Bare(int width, int height, const TGlyphMask& symbol) const;

 private:
  enum TCell { bcNormal, bcDisabled, bcPressed };

  void PaintCell(TPixelCanvas& canvas, int left, int width, int height, const TGlyphMask& symbol,
                 TCell cell) const;

  const TTheme& theme_;
};
