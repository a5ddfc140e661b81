// Renders the program's controls and every skin into PNG files for a person to look at:
//   sonavera-render OUT-FOLDER [RUNTIME-FOLDER]
// RUNTIME-FOLDER holds SKIN/ and pictures/ (default: the folder of this program, where
// the build copies them). Each picture is written at 1:1 and enlarged three times.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "ControlGallery.h"
#include "MicroWindow.h"
#include "SkinWindow.h"

namespace {

void Save(const QString& folder, const std::string& name, const QImage& image) {
  const QString base = folder + "/" + QString::fromStdString(name);
  const QImage large =
      image.scaled(image.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  if (image.isNull() || !image.save(base + ".png") || !large.save(base + "-x3.png"))
    throw std::runtime_error("cannot write " + base.toStdString() + ".png");
  std::printf("%s.png\n", qPrintable(base));
}

void RenderSkins(const QString& out, const std::string& runtime) {
  const QDir skins(QFile::decodeName((runtime + "SKIN").c_str()));
  const QStringList names = skins.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  if (names.isEmpty()) throw std::runtime_error("no skins below " + runtime + "SKIN");
  const std::pair<TSkinWindow::TPage, const char*> pages[] = {
      {TSkinWindow::spPlay, "play"},
      {TSkinWindow::spImage, "image"},
      {TSkinWindow::spEqualizer, "equalizer"}};
  for (const QString& name : names) {
    const std::string folder = runtime + "SKIN/" + QFile::encodeName(name).toStdString() + "/";
    TSkinWindow window(folder);
    window.show();
    if (!window.SettleTitles()) std::fprintf(stderr, "titles still moving: %s\n", folder.c_str());
    for (const auto& [page, suffix] : pages) {
      window.ShowPage(page);
      Save(out, "skin-" + name.toStdString() + "-" + suffix, window.grab().toImage());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s OUT-FOLDER [RUNTIME-FOLDER]\n", argv[0]);
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const QString out = QFile::decodeName(argv[1]);
  std::string runtime =
      argc == 3 ? argv[2] : QFile::encodeName(app.applicationDirPath()).toStdString();
  if (runtime.empty() || runtime.back() != '/') runtime += '/';
  try {
    if (!QDir().mkpath(out)) throw std::runtime_error("cannot create " + out.toStdString());
    RenderSkins(out, runtime);
    Save(out, "micro", TMicroWindow(runtime + "pictures/").grab().toImage());
    for (const auto& [name, image] : TControlGallery(runtime).Render())
      Save(out, "control-" + name, image);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
