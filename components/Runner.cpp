#include "Runner.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

TRunner::TRunner(QWidget* parent) : TControl(parent) {}

TRunner::~TRunner() = default;

void TRunner::SetDirection(TRunDirection value) {
  if (Running()) return;
  direction_ = value;
  Rescale();
  update();
}

void TRunner::SetRunMode(TRunMode value) {
  if (!Running()) runMode_ = value;
}

void TRunner::SetSpeed(int value) {
  speed_ = std::clamp(value, 1, 1000);
  if (timer_) timer_->setInterval(speed_);
}

void TRunner::SetAlignment(TAlignment value) {
  alignment_ = value;
  update();
}

void TRunner::SetLayout(TTextLayout value) {
  layout_ = value;
  update();
}

bool TRunner::Running() const { return timer_ && timer_->isActive(); }

QSize TRunner::ImageSize() const { return image_.deviceIndependentSize().toSize(); }

bool TRunner::Horizontal() const {
  return direction_ == rdRightToLeft || direction_ == rdLeftToRight;
}

void TRunner::SetTextImage(const QImage& image) {
  image_ = image.convertToFormat(QImage::Format_ARGB32);
  if (!image_.isNull()) {
    // The bottom-left pixel names the key colour.
    const QRgb key = image_.pixel(0, image_.height() - 1);
    for (int y = 0; y < image_.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
      std::replace(line, line + image_.width(), key, QRgb(0));
    }
  }
  image_ = image_.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  Rescale();
  update();
}

void TRunner::Rescale() {
  int length = 1;
  if (direction_ != rdStatic) {
    length = Horizontal() ? ImageSize().width() + width() : ImageSize().height() + height();
  }
  length = std::max(length, 1);
  if (length == runLength_) return;
  // The run keeps its progress when the caption or the size changes.
  const double scale = static_cast<double>(length) / runLength_;
  position_ = static_cast<int>(std::lround(position_ * scale));
  endPosition_ = static_cast<int>(std::lround(endPosition_ * scale));
  runLength_ = length;
}

int TRunner::RestingEnd(int to) const {
  if (direction_ == rdStatic || runMode_ == rmNormal) return to;
  const int wt = ImageSize().width();
  const int ht = ImageSize().height();
  const int wc = width();
  const int hc = height();
  if (runMode_ == rmBounce) return Horizontal() ? wc : hc;
  const int centreX = wt / 2 + wc / 2 - 1;
  const int centreY = ht / 2 + hc / 2 - 1;
  switch (direction_) {
    case rdRightToLeft:
      return alignment_ == taLeftJustify ? wc - 1 : alignment_ == taRightJustify ? wt - 1 : centreX;
    case rdLeftToRight:
      return alignment_ == taLeftJustify ? wt - 1 : alignment_ == taRightJustify ? wc - 1 : centreX;
    case rdTopToBottom:
      return layout_ == tlTop ? ht - 1 : layout_ == tlBottom ? hc - 1 : centreY;
    default:
      return layout_ == tlTop ? hc - 1 : layout_ == tlBottom ? ht - 1 : centreY;
  }
}

void TRunner::StartRun(int from, int to) {
  if (!timer_) {
    timer_ = new QTimer(this);
    timer_->setInterval(speed_);
    connect(timer_, &QTimer::timeout, this, &TRunner::Tick);
  } else if (timer_->isActive()) {
    return;
  }
  Rescale();
  const int end = RestingEnd(to);
  endPosition_ = end <= 0 ? runLength_ : std::min(end, runLength_);
  const int start = runMode_ == rmNormal || direction_ == rdStatic ? from : 0;
  beginPosition_ = position_ = std::clamp(start, 0, runLength_);
  timer_->start();
}

void TRunner::StopRun(bool reset) {
  DiscardTimer();
  if (!reset) return;
  position_ = 0;
  repaint();
}

void TRunner::DiscardTimer() {
  if (!timer_) return;
  // May run inside the timer's own tick: let Qt free it afterwards.
  timer_->stop();
  timer_->deleteLater();
  timer_ = nullptr;
}

void TRunner::Tick() {
  const QTimer* const run = timer_;
  if (position_ == beginPosition_ && OnBegin) OnBegin(this);
  if (OnStep) OnStep(this);
  if (timer_ != run) return;  // a handler stopped or restarted the run
  if (position_ < endPosition_) {
    DrawFrame(position_);
    position_ += pixelsPerStep_;
    return;
  }
  if (runMode_ == rmBounce) {
    position_ = runLength_ - position_;
    switch (direction_) {
      case rdRightToLeft:
        direction_ = rdLeftToRight;
        break;
      case rdLeftToRight:
        direction_ = rdRightToLeft;
        break;
      case rdTopToBottom:
        direction_ = rdBottomToTop;
        break;
      case rdBottomToTop:
        direction_ = rdTopToBottom;
        break;
      case rdStatic:
        break;
    }
    return;
  }
  DiscardTimer();
  DrawFrame(position_);
  if (OnEnd) OnEnd(this);
}

QPoint TRunner::ImageOrigin(int p) const {
  const int wt = ImageSize().width();
  const int ht = ImageSize().height();
  const int wc = width();
  const int hc = height();
  const double f = static_cast<double>(p) / runLength_;
  int x = alignment_ == taLeftJustify ? 0 : alignment_ == taRightJustify ? wc - wt : (wc - wt) / 2;
  int y = layout_ == tlTop ? 0 : layout_ == tlBottom ? hc - ht : (hc - ht) / 2;
  switch (direction_) {
    case rdRightToLeft:
      x = static_cast<int>(std::lround((1 - f) * (wt + wc))) - wt;
      break;
    case rdLeftToRight:
      x = static_cast<int>(std::lround(f * (wt + wc))) - wt;
      break;
    case rdTopToBottom:
      y = static_cast<int>(std::lround(f * (ht + hc))) - ht;
      break;
    case rdBottomToTop:
      y = static_cast<int>(std::lround((1 - f) * (ht + hc))) - ht;
      break;
    case rdStatic:
      break;
  }
  return QPoint(x, y);
}

QRect TRunner::FrameRect(int p) const {
  // Widened by one step along the motion, so the trail of the last frame is covered.
  const QRect r(ImageOrigin(p), ImageSize());
  const int s = std::abs(pixelsPerStep_);
  if (direction_ == rdStatic) return r;
  return Horizontal() ? r.adjusted(-s, 0, s, 0) : r.adjusted(0, -s, 0, s);
}

void TRunner::DrawFrame(int p) {
  if (!isVisible()) return;
  const QRect frame = FrameRect(p);
  const QRegion area = QRegion(frame).united(lastFrame_).intersected(rect());
  lastFrame_ = frame;
  // Only the old and new image rectangles are refreshed, through Qt's back buffer (which
  // holds what the parent painted below), so the step never flickers.
  if (!area.isEmpty()) repaint(area);
}

void TRunner::PaintBackground(QPainter&) {}

void TRunner::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  PaintBackground(p);
  if (event->region().contains(rect())) lastFrame_ = FrameRect(position_);
  if (!image_.isNull()) p.drawImage(ImageOrigin(position_), image_);
}

void TRunner::resizeEvent(QResizeEvent* event) {
  TControl::resizeEvent(event);
  Rescale();
}
