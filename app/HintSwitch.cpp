#include "HintSwitch.h"

#include <QEvent>
#include <QWidget>

void THintSwitch::SetShowHint(QWidget* widget, bool on) {
  // Filtering twice would need two removals to undo.
  widget->removeEventFilter(this);
  if (!on) widget->installEventFilter(this);
}

bool THintSwitch::eventFilter(QObject*, QEvent* event) { return event->type() == QEvent::ToolTip; }
