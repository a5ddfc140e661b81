#include "KeyPreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

TKeyPreview* TKeyPreview::Of(QWidget* window) {
  for (QObject* child : window->children())
    if (auto* preview = dynamic_cast<TKeyPreview*>(child)) return preview;
  return new TKeyPreview(window);
}

// The platform hands a key to the top-level window, which passes it on to the focused
// control; watching the window's own handle therefore sees each key once and first.
TKeyPreview::TKeyPreview(QWidget* window) : QObject(window), window_(window) {
  qApp->installEventFilter(this);
}

int TKeyPreview::VirtualKey(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
    return (modifiers & Qt::KeypadModifier) ? 96 + (qtKey - Qt::Key_0) : qtKey;
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Tab:
      return 9;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Delete:
      return 46;
    case Qt::Key_Insert:
      return 45;
    default:
      return 0;
  }
}

TShiftState TKeyPreview::ShiftOf(Qt::KeyboardModifiers modifiers) {
  TShiftState shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  return shift;
}

bool TKeyPreview::eventFilter(QObject* watched, QEvent* event) {
  // Keys let go of in another window (a dialog a press opened) are not released here.
  if ((event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowDeactivate) &&
      watched == window_)
    down_.clear();
  const bool press = event->type() == QEvent::KeyPress;
  if ((press || event->type() == QEvent::KeyRelease) && watched->isWindowType() &&
      watched == window_->windowHandle())
    KeyEvent(*static_cast<QKeyEvent*>(event), press);
  return false;
}

void TKeyPreview::KeyEvent(const QKeyEvent& event, bool press) {
  const int key = VirtualKey(event.key(), event.modifiers());
  if (key == 0) return;
  const TShiftState shift = ShiftOf(event.modifiers());
  if (press) {
    down_.insert(key);
    if (OnKeyDown) OnKeyDown(key, shift);
    return;
  }
  // A held key repeats its press, not its release.
  if (event.isAutoRepeat() || down_.erase(key) == 0) return;
  if (OnKeyUp) OnKeyUp(key, shift);
}
