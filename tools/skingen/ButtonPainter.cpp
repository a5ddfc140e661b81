#include "ButtonPainter.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace {

// Steps from the outside of a button with cut corners: 0 is the outline, 1 the bevel,
// the rest the face; -1 marks pixels outside the button.
std::vector<int> DepthMap(int width, int height, int corner) {
  std::vector<int> depth(width * height, -1);
  std::deque<int> queue;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int dx = std::min(x, width - 1 - x), dy = std::min(y, height - 1 - y);
      if (dx + dy < corner) continue;
      const bool rim = dx == 0 || dy == 0 || dx + dy == corner;
      if (rim) {
        depth[y * width + x] = 0;
        queue.push_back(y * width + x);
      } else {
        depth[y * width + x] = 1 << 20;
      }
    }
  while (!queue.empty()) {
    const int at = queue.front();
    queue.pop_front();
    const int x = at % width, y = at / width;
    const int around[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
    for (const auto& p : around) {
      if (p[0] < 0 || p[1] < 0 || p[0] >= width || p[1] >= height) continue;
      int& d = depth[p[1] * width + p[0]];
      if (d > depth[at] + 1) {
        d = depth[at] + 1;
        queue.push_back(p[1] * width + p[0]);
      }
    }
  }
  return depth;
}

}  // namespace

TPixelCanvas TButtonPainter::Strip(int cellWidth, int height, const TGlyphMask& symbol) const {
  TPixelCanvas canvas(3 * cellWidth, height, kKeyColour);
  PaintCell(canvas, 0, cellWidth, height, symbol, bcNormal);
  PaintCell(canvas, cellWidth, cellWidth, height, symbol, bcDisabled);
  PaintCell(canvas, 2 * cellWidth, cellWidth, height, symbol, bcPressed);
  return canvas;
}

TPixelCanvas TButtonPainter::Single(int width, int height, const TGlyphMask& symbol) const {
  TPixelCanvas canvas(width, height, kKeyColour);
  PaintCell(canvas, 0, width, height, symbol, bcNormal);
  return canvas;
}

TPixelCanvas TButtonPainter::Bare(int width, int height, const TGlyphMask& symbol) const {
  TPixelCanvas canvas(width, height, kKeyColour);
  canvas.PaintShadowed(symbol, (width - symbol.Width()) / 2, (height - symbol.Height()) / 2,
                       theme_.symbol, theme_.symbolShadow);
  return canvas;
}

void TButtonPainter::PaintCell(TPixelCanvas& canvas, int left, int width, int height,
                               const TGlyphMask& symbol, TCell cell) const {
  const TTheme& t = theme_;
  // Tiny buttons keep more of their face with a smaller corner cut.
  const int corner = std::min(t.corner, std::min(width, height) < 12 ? 1 : t.corner);
  const std::vector<int> depth = DepthMap(width, height, corner);
  auto depthAt = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return -1;
    return depth[y * width + x];
  };

  QColor top = t.faceTop, bottom = t.faceBottom, light = t.edgeLight, dark = t.edgeDark;
  if (cell == bcPressed) {
    top = t.pressedTop, bottom = t.pressedBottom;
    std::swap(light, dark);
  } else if (cell == bcDisabled) {
    top = bottom = TPixelCanvas::Mix(t.faceTop, t.faceBottom, 0.5);
    light = TPixelCanvas::Mix(light, top, 0.6);
    dark = TPixelCanvas::Mix(dark, top, 0.6);
  }

  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int d = depthAt(x, y);
      QColor c = kKeyColour;
      if (d == 0) {
        c = t.buttonOutline;
      } else if (d == 1) {
        const bool topLeft = depthAt(x - 1, y) == 0 || depthAt(x, y - 1) == 0;
        const bool bottomRight = depthAt(x + 1, y) == 0 || depthAt(x, y + 1) == 0;
        c = topLeft == bottomRight ? TPixelCanvas::Mix(light, dark, 0.5) : (topLeft ? light : dark);
      } else if (d > 1) {
        c = TPixelCanvas::Mix(top, bottom, double(y) / std::max(1, height - 1));
      }
      canvas.Set(left + x, y, c);
    }

  const int sx = left + (width - symbol.Width()) / 2, sy = (height - symbol.Height()) / 2;
  switch (cell) {
    case bcNormal:
      canvas.PaintShadowed(symbol, sx, sy, t.symbol, t.symbolShadow);
      break;
    case bcPressed:
      canvas.PaintShadowed(symbol, sx + 1, sy + 1, t.symbolPressed, t.symbolShadow);
      break;
    case bcDisabled:
      // White and mid grey: the two colours a disabled cell is recoloured by.
      canvas.PaintShadowed(symbol, sx, sy, QColor(128, 128, 128), QColor(255, 255, 255));
      break;
  }
}
