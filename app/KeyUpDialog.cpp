#include "KeyUpDialog.h"

#include <QKeyEvent>

bool TKeyUpDialog::ActsOnRelease(int key) const { return key == Qt::Key_Escape; }

void TKeyUpDialog::keyPressEvent(QKeyEvent* event) {
  if (ActsOnRelease(event->key())) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TKeyUpDialog::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) FormKeyUp(event->key());
  QDialog::keyReleaseEvent(event);
}
