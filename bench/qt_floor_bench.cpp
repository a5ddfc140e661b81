// The floor of any Qt Widgets window here: one window of the player's size with one label in
// the player's font, nothing else. bench/window_vs_mpg123.sh measures its RSS and PSS in the
// same rounds as the player's.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel window(QStringLiteral("00:00"));
  window.setFont(QFont(QStringLiteral("Liberation Sans"), 12, QFont::Bold));
  window.setFixedSize(196, 170);
  window.show();
  return app.exec();
}
