#include "OpenerFailure.h"

#include <QCoreApplication>

#include "AppLauncher.h"

std::string OpenerStartFailure(int code) {
  if (code == 2)
    return std::string(platform::kOpenCommand) +
           " was not found; it comes with the package xdg-utils";
  return platform::LaunchErrorText(code);
}

std::string OpenerExitFailure(int status) {
  if (status == 3) return "no web browser or other program was found for it";
  return std::string(platform::kOpenCommand) + " ended with status " + std::to_string(status);
}

std::function<void(int)> ReportOpenerExit(QObject* context,
                                          std::function<void(const std::string&)> report) {
  // Called on the launcher's thread; the report runs on the GUI thread.
  return [guard = QPointer<QObject>(context), report = std::move(report)](int status) {
    if (status == 0) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    QMetaObject::invokeMethod(
        app,
        [guard, report, reason = OpenerExitFailure(status)] {
          if (guard) report(reason);
        },
        Qt::QueuedConnection);
  };
}
