#include "Legacy.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>

#include "AppLauncher.h"
#include "OpenerFailure.h"

TLegacy::TLegacy(QWidget* parent) : QLabel(parent) { setCursor(Qt::PointingHandCursor); }

void TLegacy::SetCaption(const std::string& caption) {
  setText(QFile::decodeName(QByteArray::fromStdString(caption)));
}

std::string TLegacy::Target() const {
  return address_type_ == atMail ? "mailto:" + address_ : address_;
}

void TLegacy::enterEvent(QEnterEvent* e) {
  QLabel::enterEvent(e);
  if (hot_) return;
  hot_ = true;
  normal_font_ = font();
  normal_palette_ = palette();
  QFont f = normal_font_;
  f.setUnderline(true);
  setFont(f);
  QPalette p = normal_palette_;
  p.setColor(QPalette::WindowText, active_color_);
  setPalette(p);
}

void TLegacy::leaveEvent(QEvent* e) {
  QLabel::leaveEvent(e);
  if (!hot_) return;
  hot_ = false;
  setFont(normal_font_);
  setPalette(normal_palette_);
}

void TLegacy::mousePressEvent(QMouseEvent* e) {
  QLabel::mousePressEvent(e);
  pressed_ = e->button() == Qt::LeftButton;
}

// A double click opens the address once, not twice.
void TLegacy::mouseDoubleClickEvent(QMouseEvent* e) {
  QLabel::mouseDoubleClickEvent(e);
  pressed_ = false;
}

void TLegacy::mouseReleaseEvent(QMouseEvent* e) {
  QLabel::mouseReleaseEvent(e);
  const bool click =
      pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
  pressed_ = false;
  if (!click) return;
  const auto failed = [this](const std::string& reason) {
    if (OnOpenFailed) OnOpenFailed(this, reason);
  };
  QApplication::setOverrideCursor(Qt::BusyCursor);
  const int code = platform::Launcher().StartWatched(platform::kOpenCommand, {Target()},
                                                     ReportOpenerExit(this, failed));
  QApplication::restoreOverrideCursor();
  if (code < 32) failed(OpenerStartFailure(code));
}
