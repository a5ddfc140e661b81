#include "FEJpeg.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <stdexcept>

#include "JpegImage.h"
#include "PictureFile.h"

namespace {

// Thrown through the decoder when a newer load took over while events were handled.
struct TSuperseded {};

// Pictures above this size let events through every kEventsEveryMs while they decode.
constexpr qint64 kEventsAbovePixels = 2'000'000;
constexpr qint64 kEventsEveryMs = 40;

}  // namespace

TFEJpeg::TFEJpeg(QWidget* parent) : TControl(parent) {}

void TFEJpeg::LoadFromFile(const std::string& fileName) { Load(TPictureFile(fileName)); }

void TFEJpeg::LoadFromData(std::string bytes, const std::string& name) {
  Load(TPictureFile(std::move(bytes), name));
}

void TFEJpeg::Load(TPictureFile file) {
  ++loads_;
  if (file.IsJpeg()) {
    LoadJpeg(file.TakeData());
    return;
  }
  if (!file.IsBmp())
    throw std::runtime_error("Not a valid BMP or JPEG picture: " + file.FileName());
  Show(file.Decode());
}

void TFEJpeg::LoadJpeg(std::string bytes) {
  const unsigned load = loads_;
  // Stretched, the picture needs no more pixels than the box shows on the screen.
  const QSize least = stretch_ ? (QSizeF(size()) * devicePixelRatioF()).toSize() : QSize();
  TJpegImage jpeg(std::move(bytes), kGrayscale, kSmoothing, progressive_display_, least);
  // A big picture (a cover of many scans) takes longer than a glance: the window goes on
  // handling its events meanwhile. A load started from those events supersedes this one.
  const QPointer<TFEJpeg> self(this);
  QElapsedTimer sinceEvents;
  sinceEvents.start();
  const QSize stored = jpeg.StoredSize();
  if (qint64(stored.width()) * stored.height() > kEventsAbovePixels) {
    jpeg.SetYield([&] {
      if (sinceEvents.elapsed() < kEventsEveryMs) return;
      QCoreApplication::processEvents();
      sinceEvents.restart();
      if (!self || loads_ != load) throw TSuperseded();
    });
  }
  const QImage previous = picture_;
  try {
    if (!jpeg.Buffered()) {
      jpeg.NextPass();
      Show(jpeg.Image());
      return;
    }
    while (jpeg.NextPass()) {
      picture_ = jpeg.Image();
      repaint();
    }
  } catch (const TSuperseded&) {
    // The newer load shows its own picture.
  } catch (...) {
    // A stream that breaks off after some scans leaves the old picture, not a half one.
    Show(previous);
    throw;
  }
}

void TFEJpeg::Show(const QImage& picture) {
  picture_ = picture;
  update();
}

void TFEJpeg::SetStretch(bool on) {
  if (stretch_ == on) return;
  stretch_ = on;
  update();
}

void TFEJpeg::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter p(this);
  if (stretch_) {
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), picture_);
  } else {
    p.drawImage(0, 0, picture_);
  }
}

void TFEJpeg::mousePressEvent(QMouseEvent* e) {
  TControl::mousePressEvent(e);
  clicked_ = e->button() == Qt::LeftButton;
}

void TFEJpeg::mouseReleaseEvent(QMouseEvent* e) {
  TControl::mouseReleaseEvent(e);
  const bool click =
      clicked_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
  clicked_ = false;
  if (click && OnClick) OnClick(this);
}

// The release that ends a double click is no second click.
void TFEJpeg::mouseDoubleClickEvent(QMouseEvent* e) {
  TControl::mouseDoubleClickEvent(e);
  clicked_ = false;
  if (e->button() == Qt::LeftButton && OnDblClick) OnDblClick(this);
}
