// Key preview for a window: the window sees every key before the control that has the focus
// does, and the control still gets it afterwards. Keys are reported as virtual-key codes
// (letters by their capital, digits of the main row 48..57, keypad digits 96..105, Enter
// 13, Space 32, Page Up 33 ... Down 40, Shift 16, Ctrl 17, Alt 18) with the shift state.
// A release counts only when its press reached the same window while it stayed active: the
// release of a key whose press closed a menu or opened a dialog does nothing here.
#pragma once

#include <QObject>
#include <functional>
#include <set>

#include "MouseEvents.h"

class QKeyEvent;
class QWidget;

class TKeyPreview : public QObject {
 public:
  using TKeyEvent = std::function<void(int Key, TShiftState Shift)>;

  // The preview of window, made on first use; the window owns it.
  static TKeyPreview* Of(QWidget* window);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;

  // The virtual-key code of a Qt key; 0 for keys without one here.
  static int VirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);
  static TShiftState ShiftOf(Qt::KeyboardModifiers modifiers);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit TKeyPreview(QWidget* window);
  void KeyEvent(const QKeyEvent& event, bool press);

  QWidget* window_;
  std::set<int> down_;
};
