// sonavera-table [FOLDER]: shows the album table the player builds from FOLDER (default:
// the last album of the settings file), with its discs, tracks, paths and titles, sortable
// and searchable, and how long the scan took.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <optional>
#include <string>

#include "Folders.h"
#include "IniFile.h"
#include "SettingsKeys.h"
#include "TableWindow.h"

namespace {

// The folder the player would open: LastAlbum of the settings file, read without writing
// anything back; else the music folder, as the player's own default.
std::string LastAlbum() {
  IniFile ini(platform::ConfigFolder() + settings::kFileName);
  if (const std::optional<std::string> album = ini.Read(settings::kGeneral, settings::kLastAlbum);
      album && !album->empty()) {
    return *album;
  }
  std::string folder = platform::MusicFolder();
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() > 2 || (args.size() == 2 && args[1].startsWith(QLatin1Char('-')))) {
    std::fprintf(stderr, "usage: sonavera-table [FOLDER]\n");
    return 1;
  }
  const std::string root =
      args.size() == 2 ? QFile::encodeName(args[1]).toStdString() : LastAlbum();
  if (!QFileInfo(QFile::decodeName(root.c_str())).isDir()) {
    std::fprintf(stderr, "sonavera-table: %s: no such folder\n", root.c_str());
    return 1;
  }
  TTableWindow window;
  window.setWindowTitle(QStringLiteral("Sonavera table - ") + QFile::decodeName(root.c_str()));
  window.show();
  window.Scan(root);
  return app.exec();
}
