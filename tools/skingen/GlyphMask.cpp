#include "GlyphMask.h"

TGlyphMask::TGlyphMask(int width, int height)
    : width_(width), height_(height), bits_(width * height, false) {}

bool TGlyphMask::At(int x, int y) const {
  return x >= 0 && y >= 0 && x < width_ && y < height_ && bits_[y * width_ + x];
}

void TGlyphMask::Set(int x, int y) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) bits_[y * width_ + x] = true;
}

void TGlyphMask::Rect(int x, int y, int w, int h) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) Set(i, j);
}

void TGlyphMask::Triangle(int x, int y, int size, TDirection dir) {
  const int depth = (size + 1) / 2;
  for (int d = 0; d < depth; ++d) {
    // Row d counted from the base: the span shrinks by one pixel at each end.
    const int from = d, to = size - 1 - d;
    for (int s = from; s <= to; ++s) {
      switch (dir) {
        case gdRight:
          Set(x + d, y + s);
          break;
        case gdLeft:
          Set(x + depth - 1 - d, y + s);
          break;
        case gdDown:
          Set(x + s, y + d);
          break;
        case gdUp:
          Set(x + s, y + depth - 1 - d);
          break;
      }
    }
  }
}

TGlyphMask TGlyphMask::Scaled(int factor) const {
  TGlyphMask out(width_ * factor, height_ * factor);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (At(x, y)) out.Rect(x * factor, y * factor, factor, factor);
  return out;
}

void TGlyphMask::Ring(double cx, double cy, double outer, double inner) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      const double d2 = dx * dx + dy * dy;
      if (d2 <= outer * outer && d2 >= inner * inner) Set(x, y);
    }
}
