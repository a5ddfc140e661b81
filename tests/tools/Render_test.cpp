// The renderer builds the windows from the committed skins with the program's own
// controls. Looking at what it drew catches a skin whose transparent key, pictures or
// colours do not reach the screen.
#include <gtest/gtest.h>

#include <QFile>
#include <QFrame>
#include <QImage>
#include <QProcess>
#include <QStackedWidget>
#include <QTemporaryDir>

#include "FakeXaudioEngine.h"
#include "Form1.h"
#include "MainLayout.h"
#include "Placement.h"
#include "SkinFiles.h"

namespace {

class Render : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    out_ = new QTemporaryDir;
    const QString renderer = QStringLiteral(SONAVERA_BINARY_DIR "/bin/sonavera-render");
    if (!QFile::exists(renderer)) return;
    QProcess run;
    run.start(renderer, {out_->path(), RuntimeFolder()});
    if (run.waitForFinished(60000) && run.exitStatus() == QProcess::NormalExit)
      exitCode_ = run.exitCode();
    errors_ = run.readAllStandardError().toStdString();
  }
  static void TearDownTestSuite() { delete out_; }

  void SetUp() override {
    ASSERT_TRUE(QFile::exists(QStringLiteral(SONAVERA_BINARY_DIR "/bin/sonavera-render")))
        << "build the sonavera-render target first";
    ASSERT_EQ(exitCode_, 0) << errors_;
  }

  static QImage Rendered(const QString& name) {
    return QImage(out_->path() + "/" + name + ".png").convertToFormat(QImage::Format_RGB32);
  }

  static inline QTemporaryDir* out_ = nullptr;
  static inline int exitCode_ = -1;
  static inline std::string errors_;
};

TEST_F(Render, DrawsEverySkinPageTheMicroWindowAndEachControl) {
  QStringList windows;
  for (const char* skin : {"DEFAULT", "Amber"})
    for (const char* page : {"play", "image", "equalizer"})
      windows << QString("skin-%1-%2").arg(skin, page);
  for (const QString& name : windows) {
    EXPECT_EQ(Rendered(name).size(), QSize(196, 170)) << name.toStdString();
    EXPECT_EQ(Rendered(name + "-x3").size(), QSize(588, 510)) << name.toStdString();
  }
  EXPECT_EQ(Rendered("micro").size(), QSize(209, 38));
  for (const char* control : {"coolbutton", "gradprogress", "runlabel", "fejpeg", "extprogressbar",
                              "wpopupmenu", "legacy", "filelabel", "phcombobox"})
    EXPECT_FALSE(Rendered(QString("control-") + control).isNull()) << control;
}

// Where the strip's cell 0 is opaque the window shows the strip, where it has the key
// colour it shows the background picture.
void ExpectButtonOver(const QImage& window, const QImage& strip, int cells, QPoint at,
                      const QImage& background) {
  const int width = strip.width() / cells;
  const QRgb key = strip.pixel(0, strip.height() - 1);
  int mismatches = 0;
  for (int y = 0; y < strip.height(); ++y)
    for (int x = 0; x < width; ++x) {
      const QRgb expected =
          strip.pixel(x, y) == key ? background.pixel(at.x() + x, at.y() + y) : strip.pixel(x, y);
      mismatches += window.pixel(at.x() + x, at.y() + y) != expected;
    }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(Render, ButtonsShowTheirStripOverTheBackground) {
  for (const QString skin : {"DEFAULT", "Amber"}) {
    SCOPED_TRACE(skin.toStdString());
    const QString folder = RuntimeFolder() + "SKIN/" + skin + "/";
    const QImage window = Rendered("skin-" + skin + "-play");
    const QImage background =
        QImage(folder + "IMG-Background.bmp").convertToFormat(QImage::Format_RGB32);
    ExpectButtonOver(window, QImage(folder + "btn-play.bmp"), 3, {3, 148}, background);
    ExpectButtonOver(window, QImage(folder + "btn-Close.bmp"), 3, {179, 2}, background);
  }
  const QString pictures = RuntimeFolder() + "pictures/";
  ExpectButtonOver(Rendered("micro"), QImage(pictures + "btnrew2.bmp"), 1, {134, 7},
                   QImage(pictures + "MicroImage.bmp").convertToFormat(QImage::Format_RGB32));
}

TEST_F(Render, BarsCarryTheSkinsColours) {
  for (const QString skin : {"DEFAULT", "Amber"}) {
    SCOPED_TRACE(skin.toStdString());
    const QString ini = RuntimeFolder() + "SKIN/" + skin + "/Colors.ini";
    const QImage window = Rendered("skin-" + skin + "-play");
    // The empty right end of each bar, inside its frame (page at 3,19; bars at 16,95 and
    // 16,110, 146 x 10).
    EXPECT_EQ(window.pixelColor(3 + 16 + 140, 19 + 95 + 5),
              ColourOf(ColourText(ini, "PosBarBack")));
    EXPECT_EQ(window.pixelColor(3 + 16 + 140, 19 + 110 + 5),
              ColourOf(ColourText(ini, "VolBarBack")));
  }
}

// The renderer draws the player's window itself, built from the one layout: its pictures
// are the window's own grab, pixel for pixel.
TEST_F(Render, PicturesAreThePlayersOwnWindow) {
  FakeXaudioEngine engine;
  std::vector<std::string> messages;
  const auto savedShowMessage = TForm1::ShowMessage;
  TForm1::ShowMessage = [&messages](const std::string& text) { messages.push_back(text); };
  for (const QString skin : {"DEFAULT", "Amber"}) {
    SCOPED_TRACE(skin.toStdString());
    TForm1 window(RuntimeFolder().toStdString(), engine.Table());
    for (const TControlPlace& place : TMainLayout::Controls()) {
      const auto* control = window.findChild<QWidget*>(QLatin1String(place.Name));
      ASSERT_NE(control, nullptr) << place.Name;
      EXPECT_EQ(control->geometry(), QRect(place.Left, place.Top, place.Width, place.Height))
          << place.Name;
    }
    const std::string folder = (RuntimeFolder() + "SKIN/" + skin + "/").toStdString();
    window.LoadSkin(folder);
    window.LeggiSkinINI(folder + "Colors.ini");
    ASSERT_TRUE(SettleRunLabels({window.CDlbl, window.Songlbl}));
    for (const auto& [page, suffix] :
         {std::pair<QWidget*, const char*>{window.Page0, "play"}, {window.page2, "equalizer"}}) {
      window.Display->setCurrentWidget(page);
      EXPECT_EQ(window.grab().toImage().convertToFormat(QImage::Format_RGB32),
                Rendered("skin-" + skin + "-" + suffix))
          << suffix;
    }
  }
  TForm1::ShowMessage = savedShowMessage;
  EXPECT_TRUE(messages.empty());
}

}  // namespace
