// Sonavera: creates the main window and the four dialogs and runs the message loop.
#include <QApplication>

#include "EndSignals.h"
#include "Folders.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "ProgramIcon.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sonavera"));

  const std::string programFolder = platform::ProgramFolder();
  QApplication::setWindowIcon(ProgramIcon(programFolder));
  TForm1 form1(programFolder);
  TForm2 form2(programFolder);
  TForm3 form3;
  TForm4 form4;
  TForm5 form5(programFolder);
  form1.Form2 = &form2;
  form1.Form3 = &form3;
  form1.Form4 = &form4;
  form1.Form5 = &form5;
  form2.Form1 = &form1;
  form2.Form3 = &form3;
  form3.Form1 = &form1;

  // QApplication has taken its own options out of argv.
  form1.Arguments.assign(argv + 1, argv + argc);
  form1.show();
  // A kill or a logout ends the program as its close button does.
  const TEndSignals endSignals([&form1] {
    form1.close();
    QCoreApplication::quit();
  });
  return app.exec();
}
