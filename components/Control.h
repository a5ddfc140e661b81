// TControl: base of the program's own controls. It hands every mouse press, move and
// release to the owner's OnMouseDown, OnMouseMove and OnMouseUp handlers, with positions in
// the control's coordinates; moves arrive with or without a button held.
#pragma once

#include <QWidget>

#include "MouseEvents.h"

class TControl : public QWidget {
  Q_OBJECT

 public:
  explicit TControl(QWidget* parent = nullptr);

  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

 protected:
  // A double click arrives here as a press with ssDouble in the shift state.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};
