// Pixel checks on grabbed widgets.
#pragma once

#include <QColor>
#include <QImage>

inline int CountColour(const QImage& img, QColor c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) == c;
  }
  return n;
}
