#include "ExtProgressBar.h"

#include <QPainter>
#include <algorithm>
#include <stdexcept>

TExtProgressBar::TExtProgressBar(QWidget* parent)
    : TControl(parent),
      selection_color_(palette().color(QPalette::Highlight)),
      color_(palette().color(QPalette::Button)) {}

void TExtProgressBar::SetRange(int min, int max) {
  if (max < min) throw std::out_of_range("TExtProgressBar property out of range");
  if (min == min_ && max == max_) return;
  const int old_min = min_;
  min_ = min;
  max_ = max;
  if (min < old_min) position_ = min;
  position_ = std::clamp(position_, min_, max_);
  update();
}

void TExtProgressBar::SetPosition(int value) {
  value = std::clamp(value, min_, max_);
  if (value == position_) return;
  position_ = value;
  update();
}

void TExtProgressBar::SetSmooth(bool on) {
  smooth_ = on;
  update();
}

void TExtProgressBar::SetOrientation(TProgressBarOrientation o) {
  orientation_ = o;
  update();
}

void TExtProgressBar::SetSelectionColor(const QColor& c) {
  selection_color_ = c;
  update();
}

void TExtProgressBar::SetColor(const QColor& c) {
  color_ = c;
  update();
}

int TExtProgressBar::FilledLength() const {
  const int length = orientation_ == pbVertical ? height() : width();
  if (max_ == min_) return 0;
  return int(static_cast<long long>(position_ - min_) * length /
             (static_cast<long long>(max_) - min_));
}

void TExtProgressBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), color_);
  const bool vertical = orientation_ == pbVertical;
  const int filled = FilledLength();
  const int thickness = vertical ? width() : height();
  // Blocks are two thirds of the bar's thickness long with a 2-pixel gap, as the classic
  // control draws them; the smooth bar is one block.
  const int block = smooth_ ? filled : std::max(1, thickness * 2 / 3);
  const int gap = smooth_ ? 0 : 2;
  for (int start = 0; start < filled; start += block + gap) {
    const int len = std::min(block, filled - start);
    const QRect r =
        vertical ? QRect(0, height() - start - len, width(), len) : QRect(start, 0, len, height());
    p.fillRect(r, selection_color_);
  }
}
