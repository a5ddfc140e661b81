#include "ShellFolders.h"

#include <QProcess>
#include <QStandardPaths>

#include "Folders.h"

namespace platform {

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

// The folder the user-dirs tool prints for name; empty when the tool is missing, fails or
// prints no absolute path.
std::string UserDirTool(const char* name) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-user-dir"));
  if (tool.isEmpty()) return {};
  QProcess run;
  run.start(tool, {QString::fromLatin1(name)});
  if (!run.waitForFinished(3000) || run.exitStatus() != QProcess::NormalExit ||
      run.exitCode() != 0) {
    run.kill();
    run.waitForFinished(1000);
    return {};
  }
  const std::string printed = run.readAllStandardOutput().trimmed().toStdString();
  return !printed.empty() && printed[0] == '/' ? printed : std::string();
}

}  // namespace

std::string DesktopFolder() {
  const std::string folder = UserDirTool("DESKTOP");
  return folder.empty() ? HomeFolder() + "Desktop/" : WithSlash(folder);
}

std::string ShellFolder(const std::string& name) {
  if (name == "Desktop") return DesktopFolder();
  if (name == "Programs" || name == "Start Menu") return UserDataFolder() + "applications/";
  if (name == "StartUp") return ConfigFolder() + "autostart/";
  return {};
}

}  // namespace platform
