#include "RunLabel.h"

#include <QEvent>
#include <QKeySequence>
#include <QPainter>
#include <QShortcut>
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

void TRunLabel::SetFocusControl(QWidget* value) {
  focusControl_ = value;
  UpdateAccelerator();
}

void TRunLabel::SetGlyph(const QImage& value) {
  glyph_ = value;
  Rebuild();
}

void TRunLabel::SetGlyphNumber(int value) {
  glyphNumber_ = std::max(value, 1);
  Rebuild();
}

void TRunLabel::SetGlyphIndex(int value) {
  glyphIndex_ = value;
  Rebuild();
}

void TRunLabel::SetGlyphLayout(TGlyphLayout value) {
  glyphLayout_ = value;
  Rebuild();
}

void TRunLabel::SetGlyphShow(bool value) {
  glyphShow_ = value;
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
  rendered_ = WithGlyph(effects_.Render(text, font(), ColorToQColor(fontColor_), showAccelChar_,
                                        devicePixelRatioF()));
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
  UpdateAccelerator();
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

QImage TRunLabel::WithGlyph(const QImage& text) const {
  if (!glyphShow_ || glyph_.isNull()) return text;
  const int cellWidth = glyph_.width() / glyphNumber_;
  const int index = std::clamp(glyphIndex_, 0, glyphNumber_ - 1);
  if (cellWidth <= 0) return text;
  const QImage cell = glyph_.copy(index * cellWidth, 0, cellWidth, glyph_.height());
  const bool across = glyphLayout_ == glGlyphLeft || glyphLayout_ == glGlyphRight;
  const QSize textSize = text.deviceIndependentSize().toSize();
  const QSize size =
      across ? QSize(cell.width() + textSize.width(), std::max(cell.height(), textSize.height()))
             : QSize(std::max(cell.width(), textSize.width()), cell.height() + textSize.height());
  // One clear row below everything keeps the bottom-left pixel transparent.
  QImage image = TEffects::Blank(size + QSize(0, 1), text.devicePixelRatio());
  QPainter p(&image);
  QPoint cellAt;
  QPoint textAt;
  switch (glyphLayout_) {
    case glGlyphLeft:
      textAt.setX(cell.width());
      break;
    case glGlyphRight:
      cellAt.setX(textSize.width());
      break;
    case glGlyphTop:
      textAt.setY(cell.height());
      break;
    case glGlyphBottom:
      cellAt.setY(textSize.height());
      break;
  }
  p.drawImage(cellAt, cell);
  p.drawImage(textAt, text);
  return image;
}

void TRunLabel::UpdateAccelerator() {
  const QKeySequence key = showAccelChar_ && focusControl_
                               ? QKeySequence::mnemonic(ToQString(caption_))
                               : QKeySequence();
  if (key.isEmpty()) {
    delete accelerator_;
    accelerator_ = nullptr;
    return;
  }
  if (!accelerator_) {
    accelerator_ = new QShortcut(this);
    connect(accelerator_, &QShortcut::activated, this, [this] {
      if (focusControl_ && focusControl_->isEnabled()) focusControl_->setFocus();
    });
  }
  accelerator_->setKey(key);
}

void TRunLabel::PaintBackground(QPainter& painter) {
  if (!transparent_) painter.fillRect(rect(), ColorToQColor(color_));
}
