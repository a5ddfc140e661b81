// TGradProgress: a horizontal bar with a bevelled frame whose filled part carries a colour
// gradient from StartColor to EndColor, squeezed or stretched to the filled width, on
// BackColor. Used for the position and volume bars and the colour samples. It only
// displays; the owner handles the mouse through the mouse events.
#pragma once

#include <QFont>

#include "ColorValue.h"
#include "Control.h"

enum TBevelStyle { bsLowered, bsRaised };

class TGradProgress : public TControl {
  Q_OBJECT

 public:
  explicit TGradProgress(QWidget* parent = nullptr);

  int Position() const { return position_; }
  // Ignored when unchanged or outside 0..MaxValue; otherwise repaints at once when the
  // filled width changes.
  void SetPosition(int value);
  int MaxValue() const { return maxValue_; }
  // A position above the new maximum is pulled down to it.
  void SetMaxValue(int value);
  int Step() const { return step_; }
  void SetStep(int value) { step_ = value; }
  // Position + Step, under the rules of SetPosition.
  void Stepit();

  TColor StartColor() const { return startColor_; }
  void SetStartColor(TColor value);
  TColor EndColor() const { return endColor_; }
  void SetEndColor(TColor value);
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor value);
  TBevelStyle BevelStyle() const { return bevelStyle_; }
  void SetBevelStyle(TBevelStyle value);
  int BevelWidth() const { return bevelWidth_; }
  // Accepted only while the frame leaves room: width - 4 >= 2 x value.
  void SetBevelWidth(int value);
  bool ShowPercent() const { return showPercent_; }
  void SetShowPercent(bool value);
  // Colour of the percentage text (the font is the widget's font).
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void ColorsChanged();
  // The filled width F: everything drawn depends on the position through it alone.
  int Filled() const;
  // Colour of gradient column x when the filled width is f.
  QColor ColumnColor(int x, int f) const;

  int position_ = 0;
  int maxValue_ = 100;
  int step_ = 1;
  TColor startColor_ = RGBColor(0, 0, 255);
  TColor endColor_ = RGBColor(255, 0, 0);
  TColor backColor_ = clBtnFace;
  TBevelStyle bevelStyle_ = bsLowered;
  int bevelWidth_ = 1;
  bool showPercent_ = true;
  TColor fontColor_ = clWhite;
  // Start channels and end - start differences, red, green, blue.
  int start_[3] = {};
  int delta_[3] = {};
};
