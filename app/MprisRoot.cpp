#include "MprisRoot.h"

#include <QTimer>

#include "Form1.h"

TMprisRoot::TMprisRoot(QObject* parent, TForm1& form) : QDBusAbstractAdaptor(parent), form_(form) {}

// As the tray menu's "&Window Mode" and a click on the tray icon do.
void TMprisRoot::Raise() { form_.WindowMode1Click(); }

// The caller has its answer before the program ends. As a kill does, it ends every event
// loop, so an open dialog or message box does not hold the program.
void TMprisRoot::Quit() { QTimer::singleShot(0, &form_, &TForm1::EndProgram); }
