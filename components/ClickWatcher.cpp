#include "ClickWatcher.h"

#include <QMouseEvent>
#include <QWidget>

// What can be clicked shows the hand pointer, as the program's own buttons do.
TClickWatcher::TClickWatcher(QWidget* widget) : QObject(widget), widget_(widget) {
  widget->setCursor(Qt::PointingHandCursor);
  widget->installEventFilter(this);
}

bool TClickWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (watched != widget_) return false;
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
      type != QEvent::MouseButtonRelease)
    return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  if (mouse->button() != Qt::LeftButton) return false;
  if (type != QEvent::MouseButtonRelease) {
    pressed_ = true;
    return false;
  }
  const bool inside = widget_->rect().contains(mouse->position().toPoint());
  const bool click = pressed_ && inside;
  pressed_ = false;
  if (click && OnClick) OnClick(widget_);
  return false;
}
