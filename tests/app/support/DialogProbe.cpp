#include "DialogProbe.h"

#include <QDialog>
#include <QTimer>

// Polls while the action runs: a modal dialog runs its own event loop, so the poll sees it.
bool Opens(QDialog& dialog, const std::function<void()>& action) {
  bool shown = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
    if (!dialog.isVisible()) return;
    shown = true;
    dialog.reject();
  });
  poll.start(0);
  action();
  poll.stop();
  return shown;
}
