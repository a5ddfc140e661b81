#include "GradProgress.h"

#include <QImage>
#include <QPainter>

#include "MulDiv.h"

namespace {

// Fills the pixels x0..x1, y0..y1 (inclusive); nothing when the range is empty.
void FillSpan(QPainter& p, int x0, int y0, int x1, int y1, const QColor& color) {
  if (x1 < x0 || y1 < y0) return;
  p.fillRect(QRect(QPoint(x0, y0), QPoint(x1, y1)), color);
}

}  // namespace

TGradProgress::TGradProgress(QWidget* parent) : TControl(parent) {
  resize(150, 16);
  // Every pixel is drawn, so a repaint need not wait for the parent to paint below.
  setAttribute(Qt::WA_OpaquePaintEvent);
  QFont f = font();
  f.setPointSize(8);
  setFont(f);
  ColorsChanged();
}

void TGradProgress::SetPosition(int value) {
  if (value == position_ || value > maxValue_ || value < 0) return;
  const int filled = Filled();
  position_ = value;
  // Set on every position notification: draw now, not at the next idle moment, but only
  // when a pixel changes (the position bar has fewer columns than steps).
  if (Filled() != filled) repaint();
}

int TGradProgress::Filled() const { return MulDiv(position_, width(), maxValue_); }

void TGradProgress::SetMaxValue(int value) {
  maxValue_ = value;
  if (position_ > maxValue_) position_ = maxValue_;
  update();
}

void TGradProgress::Stepit() { SetPosition(position_ + step_); }

void TGradProgress::SetStartColor(TColor value) {
  startColor_ = value;
  ColorsChanged();
  update();
}

void TGradProgress::SetEndColor(TColor value) {
  endColor_ = value;
  ColorsChanged();
  update();
}

void TGradProgress::SetBackColor(TColor value) {
  backColor_ = value;
  update();
}

void TGradProgress::SetBevelStyle(TBevelStyle value) {
  bevelStyle_ = value;
  update();
}

void TGradProgress::SetBevelWidth(int value) {
  if (value >= 0 && value <= 255 && width() - 4 >= 2 * value) bevelWidth_ = value;
  update();
}

void TGradProgress::SetShowPercent(bool value) {
  showPercent_ = value;
  update();
}

void TGradProgress::SetFontColor(TColor value) {
  fontColor_ = value;
  update();
}

void TGradProgress::ColorsChanged() {
  // The gradient works on the stored bytes, red first.
  for (int i = 0; i < 3; ++i) {
    start_[i] = (startColor_ >> (8 * i)) & 0xFF;
    delta_[i] = ((endColor_ >> (8 * i)) & 0xFF) - start_[i];
  }
}

QColor TGradProgress::ColumnColor(int x, int f) const {
  const int t = MulDiv(255, x, f);
  int ch[3];
  for (int i = 0; i < 3; ++i) ch[i] = (start_[i] + MulDiv(t, delta_[i], 255)) & 0xFF;
  return QColor(ch[0], ch[1], ch[2]);
}

void TGradProgress::paintEvent(QPaintEvent*) {
  const int w = width();
  const int h = height();
  const int b = bevelWidth_;
  QPainter p(this);

  // Frame: b + 1 lines at the top and left, b at the bottom and right (the outermost
  // bottom-right lines fall just outside the control).
  const QColor grey(128, 128, 128);
  const QColor white(255, 255, 255);
  const QColor& topLeft = bevelStyle_ == bsLowered ? grey : white;
  const QColor& bottomRight = bevelStyle_ == bsLowered ? white : grey;
  for (int i = 0; i <= b; ++i) {
    FillSpan(p, i, i, w - i - 1, i, topLeft);
    FillSpan(p, i, i, i, h - i - 1, topLeft);
  }
  for (int c = 0; c <= b; ++c) {
    FillSpan(p, w - c, c, w - c, h - c, bottomRight);
    FillSpan(p, c, h - c, w - c, h - c, bottomRight);
  }

  const QRect interior(QPoint(b + 1, b + 1), QPoint(w - b - 1, h - b - 1));
  if (interior.isEmpty()) return;

  // The interior is composed off screen and copied in one piece, so a bar that moves on
  // every position notification never flickers.
  QImage buffer(w - b, h - b, QImage::Format_RGB32);
  buffer.fill(ColorToQColor(backColor_));
  QPainter bp(&buffer);
  const int filled = Filled();
  const int lastColumn = std::min(filled, buffer.width() - 1);
  for (int x = 0; x <= lastColumn; ++x) {
    FillSpan(bp, x, interior.top(), x, interior.bottom(), ColumnColor(x, filled));
  }
  // Background rectangle right of the gradient, outlined in the last column's colour.
  const QColor outline = filled >= 0 ? ColumnColor(filled, filled) : ColorToQColor(backColor_);
  const int left = std::max(filled, 0);
  FillSpan(bp, left, interior.top() - 1, w - 1, h - 1, outline);
  FillSpan(bp, left + 1, interior.top(), w - 2, h - 2, ColorToQColor(backColor_));

  if (showPercent_) {
    bp.setFont(font());
    bp.setPen(ColorToQColor(fontColor_));
    bp.drawText(interior, Qt::AlignCenter | Qt::TextSingleLine,
                QString::number(MulDiv(filled, 100, w)) + QLatin1Char('%'));
  }
  bp.end();
  p.drawImage(interior, buffer, interior);
}
