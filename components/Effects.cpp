#include "Effects.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Pass {
  QPoint offset;
  QColor color;
};

QPoint Unit(TEffectDirection d) {
  static const QPoint units[] = {{0, 0}, {0, -1}, {1, -1}, {1, 0},  {1, 1},
                                 {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
  return units[d];
}

QColor Blend(const QColor& from, const QColor& to, int k, int n) {
  auto mix = [k, n](int a, int b) { return a + (b - a) * k / std::max(n, 1); };
  return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                mix(from.blue(), to.blue()));
}

// Copies of the text behind it, farthest first.
void AddPasses(std::vector<Pass>& passes, int depth, TEffectDirection dir, TEffectStyle style,
               const QColor& color, const QColor& textColor) {
  const QPoint unit = Unit(dir);
  for (int k = depth; k >= 1; --k) {
    if (style == esNormal && k != depth) continue;
    if (style == esEveryOther && (depth - k) % 2 != 0) continue;
    const QColor c = style == esGraduate ? Blend(color, textColor, depth - k, depth) : color;
    passes.push_back({unit * k, c});
  }
}

}  // namespace

// image without those of its first rows (logical rows) that hold no ink.
QImage TEffects::WithoutEmptyRowsAbove(const QImage& image, int rows) {
  const qreal ratio = image.devicePixelRatio();
  const int deviceRows = static_cast<int>(std::lround(rows * ratio));
  int firstInk = deviceRows;
  for (int y = 0; y < deviceRows && firstInk == deviceRows; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    if (std::any_of(line, line + image.width(), [](QRgb pixel) { return qAlpha(pixel) != 0; }))
      firstInk = y;
  }
  // Whole logical rows, so the text stays on the same pixel grid at every zoom.
  const int keep = static_cast<int>(std::ceil((deviceRows - firstInk) / ratio));
  const int cut = static_cast<int>(std::lround((rows - keep) * ratio));
  QImage cropped = image.copy(0, cut, image.width(), image.height() - cut);
  cropped.setDevicePixelRatio(ratio);
  return cropped;
}

QImage TEffects::Blank(QSize size, qreal pixelRatio) {
  const qreal ratio = std::max(pixelRatio, qreal(1));
  QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  return image;
}

QImage TEffects::Render(const QString& text, const QFont& font, const QColor& color, bool mnemonics,
                        qreal pixelRatio) const {
  QFont f = font;
  const int ratioY = std::max(StretchRatioY, 1);
  const int ratioX = StretchMode == smVariable ? std::max(StretchRatioX, 1) : ratioY;
  if (f.pixelSize() > 0) {
    f.setPixelSize(std::max(1, f.pixelSize() * ratioY / 100));
  } else {
    f.setPointSizeF(f.pointSizeF() * ratioY / 100);
  }
  if (ratioX != ratioY) f.setStretch(std::clamp(100 * ratioX / ratioY, 1, 4000));

  const QColor highlight = ColorToQColor(ColorHighlight);
  const QColor shadow = ColorToQColor(ColorShadow);
  std::vector<Pass> passes;
  switch (LabelStyle) {
    case lsRaised:
      passes.push_back({Unit(edDownRight), shadow});
      passes.push_back({Unit(edUpLeft), highlight});
      break;
    case lsLowered:
      passes.push_back({Unit(edUpLeft), shadow});
      passes.push_back({Unit(edDownRight), highlight});
      break;
    case lsCustom:
      AddPasses(passes, ShadowDepth, DirectionShadow, ShadowEffect, shadow, color);
      AddPasses(passes, HighlightDepth, DirectionHighlight, HighlightEffect, highlight, color);
      break;
    case lsFlying:
      AddPasses(passes, std::max(ShadowDepth, 1), DirectionShadow, ShadowEffect, shadow, color);
      break;
    case lsNormal:
      break;
  }

  const int flags = Qt::TextSingleLine | (mnemonics ? Qt::TextShowMnemonic : 0);
  const QSize textSize = QFontMetrics(f).size(flags, text);
  const int depth = std::max(HighlightDepth, ShadowDepth);
  int left = 0;
  int top = 0;
  for (const Pass& pass : passes) {
    left = std::max(left, -pass.offset.x());
    top = std::max(top, -pass.offset.y());
  }
  // Room above the line for marks that reach past the font's ascent (the dots of a small
  // hinted "Ü"); only the rows they use are kept.
  const int above = textSize.height();
  QImage image =
      Blank(QSize(textSize.width() + depth + left, above + textSize.height() + depth + top + 1),
            pixelRatio);
  QPainter p(&image);
  p.translate(0, above);
  p.setFont(f);
  const QRect textRect(QPoint(left, top), textSize);
  for (const Pass& pass : passes) {
    p.setPen(pass.color);
    p.drawText(textRect.translated(pass.offset), flags, text);
  }
  if (GraduateStyle == gsNone) {
    p.setPen(color);
  } else {
    // The text runs from its colour to ColorGraduate in GraduateSteps bands.
    const QPointF end = GraduateStyle == gsHorizontal ? QPointF(textRect.right(), textRect.top())
                                                      : QPointF(textRect.left(), textRect.bottom());
    QLinearGradient gradient(textRect.topLeft(), end);
    const int steps = std::max(GraduateSteps, 1);
    const QColor last = ColorToQColor(ColorGraduate);
    for (int i = 0; i < steps; ++i) {
      gradient.setColorAt(static_cast<double>(i) / steps, Blend(color, last, i, steps - 1));
      gradient.setColorAt(static_cast<double>(i + 1) / steps - 1e-6,
                          Blend(color, last, i, steps - 1));
    }
    p.setPen(QPen(QBrush(gradient), 1));
  }
  p.drawText(textRect, flags, text);
  p.end();
  image = WithoutEmptyRowsAbove(image, above);
  if (Angle % 360 == 0) return image;

  // Rotated text keeps a transparent bottom-left pixel: pad with one clear row.
  const QImage turned = image.transformed(QTransform().rotate(-Angle), Qt::FastTransformation);
  QImage padded = Blank(turned.deviceIndependentSize().toSize() + QSize(0, 1), pixelRatio);
  QPainter(&padded).drawImage(0, 0, turned);
  return padded;
}
