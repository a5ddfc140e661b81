// A 24-bit picture drawn pixel by pixel, so that every edge lands exactly where meant.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include "GlyphMask.h"

class TPixelCanvas {
 public:
  TPixelCanvas(int width, int height, QColor fill);

  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }

  QColor At(int x, int y) const { return image_.pixelColor(x, y); }
  void Set(int x, int y, QColor c);  // ignored outside
  void Fill(const QRect& r, QColor c);
  // Vertical gradient over r; streaks > 0 adds brushed-metal lines of that strength.
  void Gradient(const QRect& r, QColor top, QColor bottom, int streaks = 0);
  // Every other row of r darkened towards c, like the lines of an LCD.
  void Scanlines(const QRect& r, QColor c);
  // A one-pixel frame on the edge of r: top and left in one colour, bottom and right in
  // the other (light first for a raised look, dark first for a sunken one).
  void Frame(const QRect& r, QColor topLeft, QColor bottomRight);
  void Paint(const TGlyphMask& mask, int x, int y, QColor c);
  // The mask with a one-pixel drop shadow below and to the right.
  void PaintShadowed(const TGlyphMask& mask, int x, int y, QColor c, QColor shadow);
  // A disc between the two radii with a sheen from dark to light. Smooth edges blend
  // with what lies below, so they are only for opaque pictures, never next to the key.
  void Disc(double cx, double cy, double outer, double inner, QColor light, QColor dark,
            bool smooth);

  // The picture shrunk by factor, with pixels of the key colour turned transparent: each
  // block of factor x factor pixels gives one pixel whose opacity is the share of its
  // pixels that are not the key. Smooth edges without a fringe of the key colour.
  QImage Reduced(int factor, QColor key) const;

  // Writes a 24-bit Windows BMP; false on failure.
  bool SaveBmp(const QString& path) const;

  static QColor Mix(QColor a, QColor b, double t);  // t = 0 gives a

 private:
  QImage image_;
};
