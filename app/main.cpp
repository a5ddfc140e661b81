// Sonavera: creates the main window and the four dialogs and runs the message loop.
#include <QApplication>
#include <QDBusConnection>
#include <QMessageBox>
#include <QThread>
#include <iostream>
#include <optional>

#include "CommandLine.h"
#include "EndSignals.h"
#include "Folders.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "InstanceLock.h"
#include "MprisService.h"
#include "ProgramIcon.h"
#include "SettingsKeys.h"
#include "WindowZoom.h"

namespace {

enum class TOtherPlayer { HandedOver, Gone, Unreachable };

// A player that holds the lock but is not on the bus yet is still starting: the hand-over is
// tried for a few seconds. Without a bus there is nobody to hand over to.
TOtherPlayer WaitForOtherPlayer(TInstanceLock& lock, const std::string& handed) {
  if (!QDBusConnection::sessionBus().isConnected()) return TOtherPlayer::Unreachable;
  for (int attempt = 0; attempt < 50; ++attempt) {
    QThread::msleep(100);
    if (TMprisService::HandOver(handed)) return TOtherPlayer::HandedOver;
    if (lock.TryAgain()) return TOtherPlayer::Gone;
  }
  return TOtherPlayer::Unreachable;
}

}  // namespace

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
  // One player per user: a file or folder named while a player runs goes to that player, a
  // start without one brings its window to the front.
  const bool named = !arguments.empty() && arguments[0].size() > 3 && arguments[0] != "setup";
  const std::string handed = named ? arguments[0] : std::string();
  TInstanceLock lock(platform::ConfigFolder() + settings::kFileName + ".lock");
  // A lock taken here means no other player runs: the bus waits until after the first sound.
  if (!lock.Taken() && TMprisService::HandOver(handed)) return 0;
  if (const TOtherPlayer other =
          lock.Held() ? TOtherPlayer::Gone : WaitForOtherPlayer(lock, handed);
      other == TOtherPlayer::HandedOver) {
    return 0;
  } else if (other == TOtherPlayer::Unreachable) {
    const std::string text =
        "Sonavera is already running for this user and could not be "
        "reached; only one player may use the settings file " +
        platform::ConfigFolder() + settings::kFileName + ".";
    std::cerr << "sonavera: " << text << "\n";
    QMessageBox::warning(nullptr, QStringLiteral("Sonavera"), QString::fromStdString(text));
    return 1;
  }

  const std::string programFolder = platform::ProgramFolder();
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
  // The first sound need not wait for the service on the bus or the window icon's pictures:
  // they follow the first activation (after the first show, which reads the settings the
  // service reports).
  std::optional<TMprisService> mpris;
  form1.OnStarted = [&] {
    mpris.emplace(form1);
    QApplication::setWindowIcon(ProgramIcon(programFolder));
  };
  return app.exec();
}
