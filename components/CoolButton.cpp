#include "CoolButton.h"

#include <QCursor>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

#include "ColorValue.h"
#include "PictureFile.h"
#include "QtText.h"

TCoolButton::TCoolButton(QWidget* parent) : TControl(parent) { resize(25, 25); }

TCoolButton::~TCoolButton() = default;

void TCoolButton::SetGlyph(const QImage& strip) {
  glyph_.SetGlyph(strip);
  const int w = strip.width();
  const int h = strip.height();
  if (w > 0 && h > 0 && w % h == 0) glyph_.SetNumGlyphs(w / h < 5 ? w / h : 1);
  update();
}

bool TCoolButton::LoadGlyph(const std::string& path) {
  try {
    return LoadGlyph(TPictureFile(path));
  } catch (const std::exception&) {
    return false;
  }
}

bool TCoolButton::LoadGlyph(const TPictureFile& file) {
  QImage strip;
  try {
    strip = file.Decode();
  } catch (const std::exception&) {
    return false;
  }
  glyph_.SetGlyph(strip);
  update();
  return true;
}

void TCoolButton::SetNumGlyphs(int value) {
  glyph_.SetNumGlyphs(value);
  update();
}

void TCoolButton::SetLayout(TButtonLayout value) {
  layout_ = value;
  update();
}

void TCoolButton::SetMargin(int value) {
  margin_ = value < -1 ? -1 : value;
  update();
}

void TCoolButton::SetCaption(const std::string& value) {
  caption_ = value;
  const QKeySequence key = QKeySequence::mnemonic(ToQString(caption_));
  if (key.isEmpty()) {
    delete accelerator_;
    accelerator_ = nullptr;
  } else {
    if (!accelerator_) {
      accelerator_ = new QShortcut(this);
      connect(accelerator_, &QShortcut::activated, this, [this] {
        if (isEnabled()) Click();
      });
    }
    accelerator_->setKey(key);
  }
  update();
}

void TCoolButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  UpdateExclusive();
}

void TCoolButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = value;
  state_ = value ? bsExclusive : bsUp;
  update();
  if (value) UpdateExclusive();
}

void TCoolButton::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  UpdateExclusive();
}

void TCoolButton::Click() {
  if (OnClick) OnClick(this);
}

void TCoolButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !parentWidget()) return;
  const auto siblings = parentWidget()->findChildren<TCoolButton*>(Qt::FindDirectChildrenOnly);
  for (TCoolButton* other : siblings) {
    if (other != this && other->groupIndex_ == groupIndex_) other->ButtonPressed(this);
  }
}

void TCoolButton::ButtonPressed(const TCoolButton* sender) {
  if (sender->down_ && down_) {
    down_ = false;
    state_ = bsUp;
    update();
  }
  allowAllUp_ = sender->allowAllUp_;
}

bool TCoolButton::OverOpaquePixel(QPoint pos) const {
  const QImage& strip = glyph_.Glyph();
  if (strip.isNull() || pos.x() < 0 || pos.y() < 0) return false;
  if (pos.x() >= strip.width() || pos.y() >= strip.height()) return false;
  return (strip.pixel(pos) | 0xFF000000u) != glyph_.TransparentColor();
}

bool TCoolButton::UnderPointer(QPoint pos) const {
  const QWidget* top = window();
  if (top == this) return rect().contains(pos);
  return top->childAt(mapTo(top, pos)) == this;
}

bool TCoolButton::InsideForRelease(QPoint pos) const {
  // The row just below the button still counts, as it always has for these buttons.
  return pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
}

void TCoolButton::mousePressEvent(QMouseEvent* event) {
  TControl::mousePressEvent(event);
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  if (!down_) {
    state_ = bsDown;
    update();
  }
  dragging_ = true;
}

void TCoolButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is still a press.
  TControl::mouseDoubleClickEvent(event);
  if (down_ && OnDblClick) OnDblClick(this);
}

void TCoolButton::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const bool over = OverOpaquePixel(pos) && UnderPointer(pos);
  TControl::mouseMoveEvent(event);
  if (dragging_) {
    const bool inside = InsideForRelease(pos);
    // Stored only; the repaint below follows the hover flag.
    state_ = down_ ? bsExclusive : (inside ? bsDown : bsUp);
  }
  if (over != mouseInControl_) {
    mouseInControl_ = over;
    update();
  }
}

void TCoolButton::mouseReleaseEvent(QMouseEvent* event) {
  TControl::mouseReleaseEvent(event);
  if (!dragging_) return;
  dragging_ = false;
  const QPoint pos = event->position().toPoint();
  const bool inside = InsideForRelease(pos);
  if (groupIndex_ == 0) {
    state_ = bsUp;
    mouseInControl_ = false;
    if (inside) update();
  } else if (inside) {
    SetDown(!down_);
    if (down_) update();
  } else {
    if (down_) state_ = bsExclusive;
    update();
  }
  if (inside) Click();
  UpdateTracking(pos);
}

void TCoolButton::UpdateTracking(QPoint pos) {
  if (!isEnabled()) return;
  mouseInControl_ = !UnderPointer(pos);
  if (mouseInControl_) MouseLeft();
}

void TCoolButton::leaveEvent(QEvent*) { MouseLeft(); }

void TCoolButton::MouseLeft() {
  if (!mouseInControl_ || !isEnabled() || dragging_) return;
  mouseInControl_ = false;
  update();
}

void TCoolButton::changeEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::EnabledChange:
      glyph_.StateImage(isEnabled() ? bsUp : bsDisabled);
      UpdateTracking(mapFromGlobal(QCursor::pos()));
      update();
      break;
    case QEvent::PaletteChange:
      // The disabled images are made of system colours.
      glyph_.Invalidate();
      update();
      break;
    case QEvent::FontChange:
      update();
      break;
    default:
      break;
  }
  TControl::changeEvent(event);
}

void TCoolButton::CalcLayout(QPoint& glyphPos, QRect& textRect) const {
  const QSize cell = glyph_.CellSize();
  const QSize glyph(std::max(cell.width(), 0), std::max(cell.height(), 0));
  QSize text(0, 0);
  if (!caption_.empty()) {
    text =
        QFontMetrics(font()).size(Qt::TextSingleLine | Qt::TextShowMnemonic, ToQString(caption_));
  }
  const int w = width();
  const int h = height();
  const bool across = layout_ == blGlyphLeft || layout_ == blGlyphRight;
  QPoint textPos;
  if (across) {
    glyphPos.setY((h - glyph.height() + 1) / 2);
    textPos.setY((h - text.height() + 1) / 2);
  } else {
    glyphPos.setX((w - glyph.width() + 1) / 2);
    textPos.setX((w - text.width() + 1) / 2);
  }
  const int client = across ? w : h;
  const int glyphLen = across ? glyph.width() : glyph.height();
  const int textLen = across ? text.width() : text.height();
  int spacing = (text.width() == 0 || glyph.width() == 0) ? 0 : kSpacing;
  int margin = margin_;
  if (margin == -1 && spacing == -1) {
    spacing = (client - glyphLen - textLen) / 3;
    margin = spacing;
  } else if (margin == -1) {
    margin = (client - (glyphLen + spacing + textLen) + 1) / 2;
  } else if (spacing == -1) {
    spacing = (client - margin - glyphLen - textLen) / 2;
  }
  switch (layout_) {
    case blGlyphLeft:
      glyphPos.setX(margin);
      textPos.setX(margin + glyph.width() + spacing);
      break;
    case blGlyphRight:
      glyphPos.setX(w - margin - glyph.width());
      textPos.setX(glyphPos.x() - spacing - text.width());
      break;
    case blGlyphTop:
      glyphPos.setY(margin);
      textPos.setY(margin + glyph.height() + spacing);
      break;
    case blGlyphBottom:
      glyphPos.setY(h - margin - glyph.height());
      textPos.setY(glyphPos.y() - spacing - text.height());
      break;
  }
  textRect = QRect(textPos, text);
}

void TCoolButton::paintEvent(QPaintEvent*) {
  if (!isEnabled()) {
    state_ = bsDisabled;
  } else if (!mouseInControl_) {
    state_ = bsUp;
  } else if (state_ != bsDown) {
    state_ = bsExclusive;
  }
  QPoint glyphPos;
  QRect textRect;
  CalcLayout(glyphPos, textRect);
  QPainter p(this);
  const QImage& image = glyph_.StateImage(state_);
  if (!image.isNull()) p.drawImage(glyphPos, image);
  if (caption_.empty()) return;
  const QString text = ToQString(caption_);
  const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
  if (state_ == bsDisabled) {
    p.setPen(ColorToQColor(clBtnHighlight));
    p.drawText(textRect.translated(1, 1), flags, text);
    p.setPen(ColorToQColor(clBtnShadow));
  } else {
    p.setPen(palette().color(QPalette::ButtonText));
  }
  p.drawText(textRect, flags, text);
}
