// A progress bar with a free 32-bit range, both orientations and its own colours; the
// equalizer uses eight vertical ones as band sliders and drags them with the mouse, so the
// mouse events go to the owner. The whole client area is painted in Color, then the filled
// part in SelectionColor: from the left when horizontal, from the bottom when vertical.
#pragma once

#include <QColor>
#include <string>

#include "Control.h"

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TExtProgressBar : public TControl {
 public:
  explicit TExtProgressBar(QWidget* parent = nullptr);

  int Min() const { return min_; }
  int Max() const { return max_; }
  // Both throw std::out_of_range "TExtProgressBar property out of range" when the
  // maximum would fall below the minimum.
  void SetMin(int value) { SetRange(value, max_); }
  void SetMax(int value) { SetRange(min_, value); }
  void SetRange(int min, int max);

  // Always within Min..Max: values outside are taken as the nearest bound.
  int Position() const { return position_; }
  void SetPosition(int value);

  bool Smooth() const { return smooth_; }
  void SetSmooth(bool on);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation o);
  QColor SelectionColor() const { return selection_color_; }
  void SetSelectionColor(const QColor& c);
  QColor Color() const { return color_; }
  void SetColor(const QColor& c);
  static std::string Version() { return "TExtProgressBar v2.01"; }

  // Pixels of the bar's length that the position fills.
  int FilledLength() const;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  bool smooth_ = false;
  TProgressBarOrientation orientation_ = pbHorizontal;
  QColor selection_color_;
  QColor color_;
};
