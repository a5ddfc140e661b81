#include "RunLabel.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "FontMap.h"
#include "QtText.h"

TRunLabel::TRunLabel(QWidget* parent) : TRunner(parent) {
  resize(width(), 28);
  setFont(FontFromPoints("Times New Roman", 14, true));
  Rebuild();
}

TRunLabel::~TRunLabel() = default;

void TRunLabel::SetCaption(const std::string& value) {
  caption_ = value;
  Rebuild();
}

void TRunLabel::SetFontColor(TColor value) {
  fontColor_ = value;
  Rebuild();
}

void TRunLabel::SetColor(TColor value) {
  color_ = value;
  update();
}

void TRunLabel::SetTransparent(bool value) {
  transparent_ = value;
  update();
}

void TRunLabel::SetShowAccelChar(bool value) {
  showAccelChar_ = value;
  Rebuild();
}

void TRunLabel::SetEffects(const TEffects& value) {
  if (value == effects_) return;
  effects_ = value;
  Rebuild();
}

void TRunLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) Rebuild();
  TRunner::changeEvent(event);
}

// On a screen of another resolution (a new zoom) the caption is rendered again for it.
void TRunLabel::paintEvent(QPaintEvent* event) {
  if (rendered_.devicePixelRatio() != devicePixelRatioF()) Rebuild();
  TRunner::paintEvent(event);
}

void TRunLabel::Rebuild() {
  const QString text = caption_.empty() ? QStringLiteral(" ") : ToQString(caption_);
  rendered_ =
      effects_.Render(text, font(), ColorToQColor(fontColor_), showAccelChar_, devicePixelRatioF());
  if (effects_.Blinking) {
    if (!blinkTimer_) {
      blinkTimer_ = new QTimer(this);
      connect(blinkTimer_, &QTimer::timeout, this, &TRunLabel::Blink);
    }
    blinkTimer_->start(std::max(effects_.BlinkRate, 1));
  } else {
    delete blinkTimer_;
    blinkTimer_ = nullptr;
    blinkHidden_ = false;
  }
  ShowText();
}

void TRunLabel::ShowText() {
  if (blinkHidden_) {
    SetTextImage(
        TEffects::Blank(rendered_.deviceIndependentSize().toSize(), rendered_.devicePixelRatio()));
  } else {
    SetTextImage(rendered_);
  }
}

// The caption is already rendered: a blink only swaps it with a blank of its size.
void TRunLabel::Blink() {
  blinkHidden_ = !blinkHidden_;
  ShowText();
}

void TRunLabel::PaintBackground(QPainter& painter) {
  if (!transparent_) painter.fillRect(rect(), ColorToQColor(color_));
}
