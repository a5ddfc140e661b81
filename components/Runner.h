// TRunner: moves a prepared image across the control in steps driven by a timer. In
// rmNormal the image crosses the control and leaves at the far edge, in rmLabel it slides
// in and rests at its aligned place, in rmBounce it runs back and forth. Positions count
// from 0 to the run length L (image plus control extent along the direction of motion).
#pragma once

#include <QImage>

#include "Control.h"

class QTimer;

enum TRunDirection { rdStatic, rdRightToLeft, rdLeftToRight, rdTopToBottom, rdBottomToTop };
enum TRunMode { rmNormal, rmBounce, rmLabel };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

class TRunner : public TControl {
  Q_OBJECT

 public:
  explicit TRunner(QWidget* parent = nullptr);
  ~TRunner() override;

  TRunDirection Direction() const { return direction_; }
  // Ignored while a run is in progress.
  void SetDirection(TRunDirection value);
  TRunMode RunMode() const { return runMode_; }
  // Ignored while a run is in progress.
  void SetRunMode(TRunMode value);
  // Milliseconds per step, kept within 1..1000; a running timer follows at once.
  int Speed() const { return speed_; }
  void SetSpeed(int value);
  int PixelsPerStep() const { return pixelsPerStep_; }
  void SetPixelsPerStep(int value) { pixelsPerStep_ = value; }
  // Resting place across a horizontal run's end, and the fixed x of a vertical run.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // Fixed y of a horizontal run, and the resting place of a vertical run.
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);

  // Starts a run from position from to the end given by the mode (rmNormal ends at to, or at
  // L when to <= 0). Does nothing while a run is in progress.
  void StartRun(int from, int to);
  // Ends the run; with reset the image goes back to position 0 (just outside the control).
  void StopRun(bool reset);
  bool Running() const;

  int Position() const { return position_; }
  int EndPosition() const { return endPosition_; }
  int RunLength() const { return runLength_; }
  const QImage& TextImage() const { return image_; }
  // The image's size in layout pixels (it may hold more pixels on a zoomed screen).
  QSize ImageSize() const;
  // Top-left corner of the image when drawn at position p.
  QPoint ImageOrigin(int p) const;

  TNotifyEvent OnBegin;
  TNotifyEvent OnStep;
  TNotifyEvent OnEnd;

 protected:
  // The image to move; pixels of its bottom-left colour are drawn transparent.
  void SetTextImage(const QImage& image);
  // Paints below the image on every repaint (nothing: the parent shows through).
  virtual void PaintBackground(QPainter& painter);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool Horizontal() const;
  void Rescale();
  int RestingEnd(int to) const;
  QRect FrameRect(int p) const;
  void DrawFrame(int p);
  void Tick();
  void DiscardTimer();

  TRunDirection direction_ = rdRightToLeft;
  TRunMode runMode_ = rmNormal;
  int speed_ = 50;
  int pixelsPerStep_ = 1;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlCenter;
  QImage image_;
  int runLength_ = 1;
  int position_ = 0;
  int beginPosition_ = 0;
  int endPosition_ = 0;
  QRect lastFrame_;
  QTimer* timer_ = nullptr;
};
