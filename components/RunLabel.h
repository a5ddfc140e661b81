// TRunLabel: the scrolling title label. Its caption is rendered once into the image that
// TRunner moves; changing the caption, font, colour or effects re-renders it without
// touching a run in progress.
#pragma once

#include <string>

#include "Effects.h"
#include "Runner.h"

class QTimer;

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
  // With it on, an ampersand marks the letter after it and is not shown itself; off,
  // ampersands are shown as they are.
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);

  const TEffects& Effects() const { return effects_; }
  void SetEffects(const TEffects& value);

 protected:
  void PaintBackground(QPainter& painter) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Rebuild();
  void ShowText();
  void Blink();

  std::string caption_;
  TColor fontColor_ = clWindowText;
  TColor color_ = clBtnFace;
  bool transparent_ = true;
  bool showAccelChar_ = true;
  TEffects effects_;
  QImage rendered_;
  bool blinkHidden_ = false;
  QTimer* blinkTimer_ = nullptr;
};
