#include "Control.h"

#include <QMouseEvent>

namespace {

void Raise(const TMouseEvent& handler, QObject* sender, const QMouseEvent& event) {
  if (!handler) return;
  const QPoint p = event.position().toPoint();
  handler(sender, MouseButtonOf(event), ShiftStateOf(event), p.x(), p.y());
}

}  // namespace

TControl::TControl(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void TControl::mousePressEvent(QMouseEvent* event) { Raise(OnMouseDown, this, *event); }

void TControl::mouseMoveEvent(QMouseEvent* event) {
  if (!OnMouseMove) return;
  const QPoint p = event->position().toPoint();
  OnMouseMove(this, ShiftStateOf(*event), p.x(), p.y());
}

void TControl::mouseReleaseEvent(QMouseEvent* event) { Raise(OnMouseUp, this, *event); }
