// TClickWatcher: gives a plain Qt widget, such as a label, the OnClick of the program's own
// controls: a left press on it followed by the left release inside it. It only watches;
// every mouse event still reaches the widget and its other watchers (a label may also be a
// handle for dragging the window).
#pragma once

#include <QObject>

#include "MouseEvents.h"

class QWidget;

class TClickWatcher : public QObject {
 public:
  // Watches widget for as long as it lives (the watcher is its child), which shows the hand
  // pointer from then on.
  explicit TClickWatcher(QWidget* widget);

  // Raised with the widget as sender. The second press of a double click counts as a
  // press, so a double click is two clicks.
  TNotifyEvent OnClick;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* widget_;
  bool pressed_ = false;
};
