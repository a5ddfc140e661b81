// A top-level window filled with one colour, so whatever a control leaves transparent shows
// a known background in screenshots.
#pragma once

#include <QColor>
#include <QWidget>

class PlainWindow : public QWidget {
 public:
  PlainWindow(int width, int height, const QColor& background);
  // Shows the window and waits until it can be painted; false on timeout.
  bool ShowAndWait();
};
