// A control whose mouse events go to its owner (the window's drag and slider handlers),
// with coordinates in the control's own pixels.
#pragma once

#include <QMouseEvent>
#include <functional>

// A button pressed or released at X, Y.
using TMouseEvent = std::function<void(Qt::MouseButton Button, int X, int Y)>;
// The mouse moved to X, Y with these buttons held.
using TMouseMoveEvent = std::function<void(Qt::MouseButtons Buttons, int X, int Y)>;

template <class Base>
class TMouseControl : public Base {
 public:
  using Base::Base;

  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

 protected:
  void mousePressEvent(QMouseEvent* e) override { Raise(OnMouseDown, e); }
  void mouseMoveEvent(QMouseEvent* e) override {
    const QPoint p = e->position().toPoint();
    if (OnMouseMove) OnMouseMove(e->buttons(), p.x(), p.y());
  }
  void mouseReleaseEvent(QMouseEvent* e) override { Raise(OnMouseUp, e); }

 private:
  static void Raise(const TMouseEvent& event, const QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (event) event(e->button(), p.x(), p.y());
  }
};
