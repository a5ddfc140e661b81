// TRunLabel: the scrolling title label. Its caption is rendered once into the image that
// TRunner moves; changing the caption, font, colour, glyph or effects re-renders it without
// touching a run in progress.
#pragma once

#include <QPointer>
#include <string>

#include "Effects.h"
#include "Runner.h"

class QShortcut;
class QTimer;

enum TGlyphLayout { glGlyphLeft, glGlyphRight, glGlyphTop, glGlyphBottom };

class TRunLabel : public TRunner {
  Q_OBJECT

 public:
  explicit TRunLabel(QWidget* parent = nullptr);
  ~TRunLabel() override;

  // An empty caption is shown as one blank, so it still has an image and a run.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value);
  // Painted below the text when Transparent is off.
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // With it on, an ampersand marks the accelerator letter (Alt+letter focuses
  // FocusControl); off, ampersands are shown as they are.
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  QWidget* FocusControl() const { return focusControl_; }
  void SetFocusControl(QWidget* value);

  // A picture beside the text: cell GlyphIndex of a strip of GlyphNumber cells.
  const QImage& Glyph() const { return glyph_; }
  void SetGlyph(const QImage& value);
  int GlyphNumber() const { return glyphNumber_; }
  void SetGlyphNumber(int value);
  int GlyphIndex() const { return glyphIndex_; }
  void SetGlyphIndex(int value);
  TGlyphLayout GlyphLayout() const { return glyphLayout_; }
  void SetGlyphLayout(TGlyphLayout value);
  bool GlyphShow() const { return glyphShow_; }
  void SetGlyphShow(bool value);

  const TEffects& Effects() const { return effects_; }
  void SetEffects(const TEffects& value);

 protected:
  void PaintBackground(QPainter& painter) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Rebuild();
  void ShowText();
  QImage WithGlyph(const QImage& text) const;
  void UpdateAccelerator();
  void Blink();

  std::string caption_;
  TColor fontColor_ = clWindowText;
  TColor color_ = clBtnFace;
  bool transparent_ = true;
  bool showAccelChar_ = true;
  QPointer<QWidget> focusControl_;
  QImage glyph_;
  int glyphNumber_ = 1;
  int glyphIndex_ = 0;
  TGlyphLayout glyphLayout_ = glGlyphLeft;
  bool glyphShow_ = false;
  TEffects effects_;
  QImage rendered_;
  bool blinkHidden_ = false;
  QTimer* blinkTimer_ = nullptr;
  QShortcut* accelerator_ = nullptr;
};
