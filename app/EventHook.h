// Runs a handler after a widget has handled one of the chosen events. Qt's push buttons,
// check boxes and labels raise nothing for a right or middle button release, and a line
// edit has no signal for focus changes or key releases; the window's handlers need them.
#pragma once

#include <QEvent>
#include <QObject>
#include <functional>
#include <initializer_list>
#include <vector>

class QWidget;

class TEventHook : public QObject {
 public:
  using THandler = std::function<void(QEvent* event)>;

  // The hook is owned by widget. handler sees each event of the given types once the
  // widget itself has handled it (a check box has toggled, a button has been released).
  static void Attach(QWidget* widget, std::initializer_list<QEvent::Type> types, THandler handler);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TEventHook(QWidget* widget, std::initializer_list<QEvent::Type> types, THandler handler);

  std::vector<QEvent::Type> types_;
  THandler handler_;
};
