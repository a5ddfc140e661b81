#include "PlainWindow.h"

#include <QPalette>
#include <QTest>

PlainWindow::PlainWindow(int width, int height, const QColor& background) {
  resize(width, height);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, background);
  setPalette(pal);
}

bool PlainWindow::ShowAndWait() {
  show();
  return QTest::qWaitForWindowExposed(this);
}
