#include "SortGridPainter.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kArrowWidth = 8, kArrowHeight = 7;

// A triangle filling the picture's bottom row and narrowing to its two middle columns.
QImage MakeArrow(bool up) {
  QImage image(kArrowWidth, kArrowHeight, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < kArrowHeight; ++y) {
    const int step = up ? y : kArrowHeight - 1 - y;
    const int half = 1 + (step + 1) / 2;  // 1 .. 4
    for (int x = kArrowWidth / 2 - half; x < kArrowWidth / 2 + half; ++x) {
      image.setPixelColor(x, y, QColor(64, 64, 64));
    }
  }
  return image;
}

}  // namespace

const QImage& TSortGridPainter::Arrow(TSortDirection direction) {
  static const QImage up = MakeArrow(true), down = MakeArrow(false);
  return direction == sdAscending ? up : down;
}

QString TSortGridPainter::CutText(const QString& text, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(text) <= width) return text;
  const QString stops = QStringLiteral("..");
  int keep = int(text.size()) - 1;
  while (keep > 3 && metrics.horizontalAdvance(text.left(keep) + stops) > width) --keep;
  // Never split a character made of two UTF-16 units.
  if (keep > 0 && keep < text.size() && text[keep - 1].isHighSurrogate()) --keep;
  return text.left(keep) + stops;
}

QPoint TSortGridPainter::TextPlace(const QRect& rect, QSize text, TAlignment horz,
                                   TAlignmentVert vert) {
  int x = rect.x() + 2, y = rect.y() + 2;
  if (horz == taRightJustify) x = rect.x() + rect.width() - 2 - text.width();
  if (horz == taCenter) x = rect.x() + (rect.width() - text.width()) / 2;
  if (vert == taBottomJustify) y = rect.y() + rect.height() - 3 - text.height();
  if (vert == taMiddle) y = rect.y() + (rect.height() - text.height()) / 2;
  return {x, y};
}

void TSortGridPainter::Paint(QPainter& painter, const TCell& cell, const TFormatOptions& format) {
  const QRect& r = cell.Rect;
  painter.save();
  painter.setClipRect(r);
  painter.fillRect(r, format.Brush);
  if (format.Bevel != cbNone) {
    const int right = r.x() + r.width() - 1, bottom = r.y() + r.height() - 1;
    if (cell.VertEdges) {
      painter.fillRect(r.x(), r.y(), 1, r.height(), format.HighlightColor);
      painter.fillRect(right, r.y(), 1, r.height(), format.ShadowColor);
    }
    if (cell.HorzEdges) {
      painter.fillRect(r.x(), r.y(), r.width(), 1, format.HighlightColor);
      painter.fillRect(r.x(), bottom, r.width(), 1, format.ShadowColor);
    }
  }
  QRect textRect = r;
  if (cell.SortColumn) {
    const int width = r.width() <= 10 ? r.width() - 3 : 8;
    const int y = r.y() + (r.height() - kArrowHeight) / 2;
    if (width > 0)
      painter.drawImage(r.x() + 3, y, Arrow(cell.Direction), 0, 0, width, kArrowHeight);
    textRect.setLeft(r.x() + kArrowSpace - 1);
  }
  if (!format.HideText && !cell.Text.isEmpty()) {
    painter.setFont(format.Font);
    painter.setPen(format.FontColor);
    const QFontMetrics metrics(format.Font);
    QString text = cell.Text;
    if (cell.Header) {
      const int room = r.width() - 4 - (cell.SortColumn ? kArrowSpace : 0);
      text = CutText(text, metrics, room);
    }
    const QSize size(metrics.horizontalAdvance(text), metrics.height());
    const QPoint at = TextPlace(textRect, size, format.AlignmentHorz, format.AlignmentVert);
    painter.drawText(at.x(), at.y() + metrics.ascent(), text);
  }
  painter.restore();
}
