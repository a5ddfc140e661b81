// Sonavera: creates the main window and the four dialogs and runs the message loop.
#include <QApplication>
#include <iostream>

#include "CommandLine.h"
#include "EndSignals.h"
#include "Folders.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "MprisService.h"
#include "ProgramIcon.h"
#include "SettingsKeys.h"
#include "WindowZoom.h"

int main(int argc, char** argv) {
  if (const int code = TCommandLine::Early(argc, argv, std::cout, std::cerr); code >= 0)
    return code;
  // The zoom is fixed before the application object reads the scale factor.
  const int zoom = TWindowZoom::Read(platform::ConfigFolder() + settings::kFileName);
  const int screenZoom = TWindowZoom::Factor(TWindowZoom::RequestedScale(), 1);
  const QByteArray requestedScale = TWindowZoom::Prepare(zoom);
  QApplication app(argc, argv);
  TWindowZoom::Restore(requestedScale);
  QApplication::setApplicationName(QStringLiteral("Sonavera"));
  // QApplication has taken its own options out of argv.
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!TCommandLine::Operands(arguments, std::cerr)) return 1;
  // A file or folder named while a player runs goes to that player, not to a second window
  // over the same settings file.
  if (!arguments.empty() && arguments[0].size() > 3 && arguments[0] != "setup" &&
      TMprisService::HandOver(arguments[0]))
    return 0;

  const std::string programFolder = platform::ProgramFolder();
  QApplication::setWindowIcon(ProgramIcon(programFolder));
  TForm1 form1(programFolder);
  form1.WindowZoom = zoom;
  form1.ScreenZoom = screenZoom;
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

  form1.Arguments = arguments;
  form1.show();
  // A kill or a logout ends the program as its close button does.
  const TEndSignals endSignals([&form1] { form1.EndProgram(); });
  // After the first show, which reads the settings the service reports.
  const TMprisService mpris(form1);
  return app.exec();
}
