#include "MouseEvents.h"

#include <QMouseEvent>

TShiftState ShiftStateOf(const QMouseEvent& event) {
  TShiftState s = 0;
  const Qt::KeyboardModifiers mods = event.modifiers();
  if (mods & Qt::ShiftModifier) s |= ssShift;
  if (mods & Qt::AltModifier) s |= ssAlt;
  if (mods & Qt::ControlModifier) s |= ssCtrl;
  const Qt::MouseButtons held = event.buttons();
  if (held & Qt::LeftButton) s |= ssLeft;
  if (held & Qt::RightButton) s |= ssRight;
  if (held & Qt::MiddleButton) s |= ssMiddle;
  if (event.type() == QEvent::MouseButtonDblClick) s |= ssDouble;
  return s;
}

TMouseButton MouseButtonOf(const QMouseEvent& event) {
  switch (event.button()) {
    case Qt::RightButton:
      return mbRight;
    case Qt::MiddleButton:
      return mbMiddle;
    default:
      return mbLeft;
  }
}
