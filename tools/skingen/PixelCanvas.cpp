#include "PixelCanvas.h"

#include <QImageWriter>
#include <algorithm>
#include <cmath>
#include <cstdint>

TPixelCanvas::TPixelCanvas(int width, int height, QColor fill)
    : image_(width, height, QImage::Format_RGB32) {
  image_.fill(fill);
  // 96 dpi, fixed: otherwise the header would follow the screen of whoever runs this.
  image_.setDotsPerMeterX(3780);
  image_.setDotsPerMeterY(3780);
}

void TPixelCanvas::Set(int x, int y, QColor c) {
  if (x >= 0 && y >= 0 && x < Width() && y < Height()) image_.setPixelColor(x, y, c);
}

void TPixelCanvas::Fill(const QRect& r, QColor c) {
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) Set(x, y, c);
}

QColor TPixelCanvas::Mix(QColor a, QColor b, double t) {
  auto channel = [t](int p, int q) { return static_cast<int>(std::lround(p + (q - p) * t)); };
  return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()),
                channel(a.blue(), b.blue()));
}

void TPixelCanvas::Gradient(const QRect& r, QColor top, QColor bottom, int streaks) {
  const int span = std::max(1, r.height() - 1);
  uint32_t seed = 0x2545F491u;
  auto next = [&seed](uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % range);
  };
  auto clamp = [](int v) { return std::clamp(v, 0, 255); };
  for (int y = r.top(); y <= r.bottom(); ++y) {
    const QColor base = Mix(top, bottom, double(y - r.top()) / span);
    int runLeft = 0, delta = 0;
    for (int x = r.left(); x <= r.right(); ++x) {
      if (streaks > 0 && runLeft == 0) {
        // Brushed metal: short runs along the row, lighter or darker, with plain gaps.
        const bool streak = next(3) == 0;
        delta = streak ? next(2 * streaks + 1) - streaks : 0;
        runLeft = streak ? 4 + next(20) : 2 + next(10);
      }
      if (runLeft > 0) --runLeft;
      Set(x, y,
          QColor(clamp(base.red() + delta), clamp(base.green() + delta),
                 clamp(base.blue() + delta)));
    }
  }
}

void TPixelCanvas::Scanlines(const QRect& r, QColor c) {
  for (int y = r.top() + 1; y <= r.bottom(); y += 2)
    for (int x = r.left(); x <= r.right(); ++x) Set(x, y, Mix(At(x, y), c, 0.35));
}

void TPixelCanvas::Frame(const QRect& r, QColor topLeft, QColor bottomRight) {
  for (int x = r.left(); x <= r.right(); ++x) {
    Set(x, r.top(), topLeft);
    Set(x, r.bottom(), bottomRight);
  }
  for (int y = r.top() + 1; y < r.bottom(); ++y) {
    Set(r.left(), y, topLeft);
    Set(r.right(), y, bottomRight);
  }
  Set(r.right(), r.top(), Mix(topLeft, bottomRight, 0.5));
  Set(r.left(), r.bottom(), Mix(topLeft, bottomRight, 0.5));
}

void TPixelCanvas::Paint(const TGlyphMask& mask, int x, int y, QColor c) {
  for (int j = 0; j < mask.Height(); ++j)
    for (int i = 0; i < mask.Width(); ++i)
      if (mask.At(i, j)) Set(x + i, y + j, c);
}

void TPixelCanvas::PaintShadowed(const TGlyphMask& mask, int x, int y, QColor c, QColor shadow) {
  Paint(mask, x + 1, y + 1, shadow);
  Paint(mask, x, y, c);
}

void TPixelCanvas::Disc(double cx, double cy, double outer, double inner, QColor light, QColor dark,
                        bool smooth) {
  const int samples = smooth ? 4 : 1;
  for (int y = static_cast<int>(cy - outer) - 1; y <= cy + outer + 1; ++y)
    for (int x = static_cast<int>(cx - outer) - 1; x <= cx + outer + 1; ++x) {
      int hits = 0;
      for (int j = 0; j < samples; ++j)
        for (int i = 0; i < samples; ++i) {
          const double dx = x + (i + 0.5) / samples - cx, dy = y + (j + 0.5) / samples - cy;
          const double d2 = dx * dx + dy * dy;
          if (d2 <= outer * outer && d2 >= inner * inner) ++hits;
        }
      if (hits == 0 || x < 0 || y < 0 || x >= Width() || y >= Height()) continue;
      // Two bright sectors opposite each other, as light falls on a pressed disc.
      const double angle = std::atan2(y + 0.5 - cy, x + 0.5 - cx);
      const double sheen = 0.5 + 0.5 * std::cos(2 * (angle + M_PI / 4));
      const QColor colour = Mix(dark, light, sheen);
      Set(x, y, Mix(At(x, y), colour, double(hits) / (samples * samples)));
    }
}

QImage TPixelCanvas::Reduced(int factor, QColor key) const {
  QImage out(Width() / factor, Height() / factor, QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      int red = 0, green = 0, blue = 0, count = 0;
      for (int j = 0; j < factor; ++j)
        for (int i = 0; i < factor; ++i) {
          const QColor c = At(x * factor + i, y * factor + j);
          if (c == key) continue;
          red += c.red(), green += c.green(), blue += c.blue(), ++count;
        }
      const int n = std::max(count, 1);
      out.setPixelColor(x, y,
                        QColor(red / n, green / n, blue / n, 255 * count / (factor * factor)));
    }
  return out;
}

bool TPixelCanvas::SaveBmp(const QString& path) const {
  // Qt writes true-colour images as 24-bit BMPs.
  QImageWriter writer(path, "bmp");
  return writer.write(image_);
}
