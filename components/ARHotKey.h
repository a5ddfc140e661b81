// A window-wide keyboard shortcut. HotKey is a shortcut code: the virtual-key code plus
// 0x2000 for Shift, 0x4000 for Ctrl and 0x8000 for Alt (16463 is Ctrl+O). On a key press
// anywhere in its window, whatever control has the focus, the component raises OnPressed
// when the key and the modifiers held make exactly its code: Ctrl+Shift+O is not Ctrl+O.
// Each component takes the window's key-press handler over and calls the one it replaced
// first, so all shortcuts of a window form one chain.
#pragma once

#include <QObject>

#include "KeyPreview.h"
#include "MouseEvents.h"

class QWidget;

class TARHotKey : public QObject {
 public:
  enum : int { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };

  explicit TARHotKey(QWidget* window);

  int HotKey = 0;
  TNotifyEvent OnPressed;

  // The shortcut code of a key with the shift state held.
  static int ShortCut(int key, TShiftState shift);

 private:
  void KeyDown(int key, TShiftState shift);

  TKeyPreview::TKeyEvent previous_;
};
