#include "EventHook.h"

#include <QWidget>
#include <algorithm>

TEventHook::TEventHook(QWidget* widget, std::initializer_list<QEvent::Type> types, THandler handler)
    : QObject(widget), types_(types), handler_(std::move(handler)) {
  widget->installEventFilter(this);
}

void TEventHook::Attach(QWidget* widget, std::initializer_list<QEvent::Type> types,
                        THandler handler) {
  new TEventHook(widget, types, std::move(handler));
}

bool TEventHook::eventFilter(QObject* watched, QEvent* event) {
  if (watched != parent() || std::find(types_.begin(), types_.end(), event->type()) == types_.end())
    return false;
  // The widget's own handling first (a direct call passes no filter, so this one is not
  // entered again); the event then counts as handled.
  watched->event(event);
  handler_(event);
  return true;
}
