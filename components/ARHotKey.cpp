#include "ARHotKey.h"

#include <QWidget>

TARHotKey::TARHotKey(QWidget* window) : QObject(window) {
  TKeyPreview* preview = TKeyPreview::Of(window);
  previous_ = std::move(preview->OnKeyDown);
  preview->OnKeyDown = [this](int key, TShiftState shift) { KeyDown(key, shift); };
}

int TARHotKey::ShortCut(int key, TShiftState shift) {
  if (shift & ssShift) key += scShift;
  if (shift & ssCtrl) key += scCtrl;
  if (shift & ssAlt) key += scAlt;
  return key;
}

void TARHotKey::KeyDown(int key, TShiftState shift) {
  if (previous_) previous_(key, shift);
  // A modifier alone is never a shortcut.
  if (key == 16 || key == 17 || key == 18) return;
  if (ShortCut(key, shift) == HotKey && OnPressed) OnPressed(this);
}
