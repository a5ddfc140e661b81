// Draws the DEFAULT and Amber skins and the windows' own pictures into a runtime folder:
//   sonavera-skingen assets/runtime
// writes SKIN/DEFAULT/, SKIN/Amber/ and pictures/ below it. Run by hand when the look
// changes; the player never runs it.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>

#include "FormPictures.h"
#include "SkinPainter.h"
#include "Theme.h"

namespace {

bool WritePictures(const QString& folder,
                   const std::vector<std::pair<std::string, TPixelCanvas>>& pictures) {
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
    return false;
  }
  for (const auto& [name, canvas] : pictures) {
    const QString path = folder + "/" + QString::fromStdString(name);
    if (!canvas.SaveBmp(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return false;
    }
  }
  return true;
}

bool WriteText(const QString& path, const std::string& text) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size())) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s RUNTIME-FOLDER\n", argv[0]);
    return 2;
  }
  QCoreApplication app(argc, argv);
  const QString root = QFile::decodeName(argv[1]);
  for (const TTheme& theme : {TTheme::Default(), TTheme::Amber()}) {
    const TSkinPainter painter(theme);
    const QString folder = root + "/SKIN/" + QString::fromStdString(theme.name);
    if (!WritePictures(folder, painter.Pictures()) ||
        !WriteText(folder + "/Colors.ini", painter.ColoursIni()))
      return 1;
  }
  const TFormPictures forms;
  if (!WritePictures(root + "/pictures", forms.Pictures())) return 1;
  const std::pair<const char*, int> icons[] = {{"Sonavera.png", 48}, {"Sonavera-256.png", 256}};
  for (const auto& [name, size] : icons) {
    const QString icon = root + "/pictures/" + name;
    if (!forms.DesktopIcon(size).save(icon, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(icon));
      return 1;
    }
  }
  return 0;
}
