#include "MprisRoot.h"

#include <QGuiApplication>
#include <QTimer>

#include "Form1.h"

TMprisRoot::TMprisRoot(QObject* parent, TForm1& form) : QDBusAbstractAdaptor(parent), form_(form) {}

void TMprisRoot::Raise() {
  form_.setWindowState(form_.windowState() & ~Qt::WindowMinimized);
  form_.show();
  form_.raise();
  form_.activateWindow();
}

// The caller has its answer before the program ends.
void TMprisRoot::Quit() {
  QTimer::singleShot(0, &form_, [this] {
    form_.closebtnClick();
    // Closing a window hidden to the tray does not end the program as closing the last
    // shown window does; the program ends all the same.
    if (!form_.isVisible() && QGuiApplication::quitOnLastWindowClosed()) QCoreApplication::exit(0);
  });
}
