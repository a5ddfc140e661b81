// Renders the program's controls and every skin into PNG files for a person to look at:
//   sonavera-render OUT-FOLDER [RUNTIME-FOLDER]
// RUNTIME-FOLDER holds SKIN/ and pictures/ (default: the folder of this program, where
// the build copies them). Each picture is written at 1:1 and enlarged three times.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QStackedWidget>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "ControlGallery.h"
#include "FEJpeg.h"
#include "FakeXaudioEngine.h"
#include "Form1.h"
#include "Placement.h"
#include "RunLabel.h"

namespace {

void Save(const QString& folder, const std::string& name, const QImage& image) {
  const QString base = folder + "/" + QString::fromStdString(name);
  const QImage large =
      image.scaled(image.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  if (image.isNull() || !image.save(base + ".png") || !large.save(base + "-x3.png"))
    throw std::runtime_error("cannot write " + base.toStdString() + ".png");
  std::printf("%s.png\n", qPrintable(base));
}

// The player's own window over a silent engine, never shown (showing reads the user's
// settings), with each skin loaded as the player loads it.
void RenderWindows(const QString& out, const std::string& runtime) {
  const QDir skins(QFile::decodeName((runtime + "SKIN").c_str()));
  const QStringList names = skins.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  if (names.isEmpty()) throw std::runtime_error("no skins below " + runtime + "SKIN");
  TForm1::ShowMessage = [](const std::string& text) { throw std::runtime_error(text); };
  FakeXaudioEngine engine;
  for (const QString& name : names) {
    TForm1 window(runtime, engine.Table());
    const std::string folder = runtime + "SKIN/" + QFile::encodeName(name).toStdString() + "/";
    window.LoadSkin(folder);
    window.LeggiSkinINI(folder + "Colors.ini");
    if (!SettleRunLabels({window.CDlbl, window.Songlbl}))
      std::fprintf(stderr, "titles still moving: %s\n", folder.c_str());
    const std::pair<QWidget*, const char*> pages[] = {
        {window.Page0, "play"}, {window.page1, "image"}, {window.page2, "equalizer"}};
    for (const auto& [page, suffix] : pages) {
      window.Display->setCurrentWidget(page);
      Save(out, "skin-" + name.toStdString() + "-" + suffix, window.grab().toImage());
    }
  }
  // The micro window's picture, without the panel's margin beyond it.
  const TForm1 window(runtime, engine.Table());
  Save(out, "micro", window.MicroPanel->grab(window.MicroImage->geometry()).toImage());
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
    RenderWindows(out, runtime);
    for (const auto& [name, image] : TControlGallery(runtime).Render())
      Save(out, "control-" + name, image);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
