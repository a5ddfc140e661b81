// The whole-number zoom: the setting, and the real player on an X server at several zooms
// and screen scales (pictures enlarged pixel by pixel, text at the screen's resolution, clicks
// where the user sees the buttons).
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>

#include "CoolButton.h"
#include "FEJpeg.h"
#include "GradProgress.h"
#include "RunLabel.h"
#include "SettingsTest.h"
#include "SkinWriter.h"
#include "TestSongs.h"
#include "WindowZoom.h"

namespace {

TEST(WindowZoom, SettingAndFactor) {
  EXPECT_EQ(TWindowZoom::Factor(1, 1), 1);
  EXPECT_EQ(TWindowZoom::Factor(1.5, 1), 1);
  EXPECT_EQ(TWindowZoom::Factor(1.5, 2), 2);
  EXPECT_EQ(TWindowZoom::Factor(2, 3), 6);
  EXPECT_EQ(TWindowZoom::Factor(0.5, 2), 2);
  EXPECT_EQ(TWindowZoom::Factor(NAN, 2), 2);
  EXPECT_EQ(TWindowZoom::Factor(1, 9), 3);
  // Any request from the environment saturates, and the factor times a zoom still fits.
  const int most = TWindowZoom::Factor(1e300, 3);
  EXPECT_EQ(most, TWindowZoom::Factor(1e9, 3));
  EXPECT_EQ(TWindowZoom::Factor(-1e300, 3), 3);
  EXPECT_EQ(TWindowZoom::Factor(INFINITY, 2), 2);
  EXPECT_LE(int64_t{most} * TWindowZoom::kMax, std::numeric_limits<int>::max());

  const QTemporaryDir dir;
  const std::string file = dir.filePath(QStringLiteral("Sonavera.ini")).toStdString();
  EXPECT_EQ(TWindowZoom::Read(file), 1);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(file))) << "the early read writes nothing";
  for (const auto& [text, zoom] :
       std::vector<std::pair<std::string, int>>{{"[General]\nZoom=2\n", 2},
                                                {"[general]\nzoom=3\n", 3},
                                                {"[General]\nZoom=0\n", 1},
                                                {"[General]\nZoom=12\n", 3},
                                                {"[General]\nZoom=big\n", 1},
                                                {"\x01\x02garbage", 1}}) {
    WriteText(file, text);
    EXPECT_EQ(TWindowZoom::Read(file), zoom) << text;
    EXPECT_EQ(ReadText(file), text);
  }
}

class ZoomSettings : public SettingsTest {
 protected:
  // Later tests of this process draw at the factor they started with.
  ~ZoomSettings() override { TWindowZoom::Change(1); }

  // The window's pictures: every pixel of the skinned buttons, as shown.
  std::vector<QImage> Buttons() const {
    QImage shown = form->grab().toImage();
    const qreal ratio = shown.devicePixelRatio();
    shown.setDevicePixelRatio(1);
    std::vector<QImage> pictures;
    for (const TCoolButton* button : {form->Playbtn, form->Stopbtn, form->rewbtn, form->fwdbtn,
                                      form->ejbtn, form->shufflebtn, form->repeatbtn}) {
      const QRect at(button->pos() * ratio, button->size() * ratio);
      pictures.push_back(shown.copy(at).convertToFormat(QImage::Format_RGB32));
    }
    return pictures;
  }

  void Choose(int zoom) {
    form->ZoomMenu->actions()[zoom - 1]->trigger();
    QTest::qWait(50);
  }
};

TEST_F(ZoomSettings, WindowPlacesAreInZoomOnePixelsAndTheZoomIsKept) {
  WriteText(SettingsPath(), "[General]\nWinX=100\nWinY=60\nOpenX=90\nOpenY=48\nZoom=2\n");
  form->WindowZoom = 2;
  Start();
  EXPECT_EQ(form->Zoom, 2);
  EXPECT_EQ(form->pos(), QPoint(50, 30));
  EXPECT_EQ(form2->pos(), QPoint(45, 24));
  const QList<QAction*> choices = form->ZoomMenu->actions();
  ASSERT_EQ(choices.size(), 3);
  EXPECT_TRUE(choices[1]->isChecked());
  form->close();
  const std::string text = Settings();
  EXPECT_NE(text.find("\nWinX=100\nWinY=60\nOpenX=90\nOpenY=48\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nZoom=2\n"), std::string::npos) << text;

  WriteText(SettingsPath(), "[General]\nZoom=7\n");
  form->WindowZoom = 1;
  Restart();
  EXPECT_EQ(form->Zoom, 3);
  EXPECT_TRUE(form->ZoomMenu->actions()[2]->isChecked());
}

// A zoom chosen in the menu: the window grows at once about its top-left corner, its pictures
// enlarged pixel by pixel; another choice brings back the very same pictures.
TEST_F(ZoomSettings, ZoomChosenInTheMenuAppliesAtOnce) {
  WriteText(SettingsPath(), "[General]\nWinX=60\nWinY=36\nOpenX=90\nOpenY=48\n");
  Start();
  ASSERT_EQ(form->pos(), QPoint(60, 36));
  const std::vector<QImage> atOne = Buttons();
  const QSize screenAtOne = form->DragBounds().size();
  // Preferences, shown once at zoom 1.
  form3->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form3.get()));
  form3->hide();
  Choose(2);
  EXPECT_EQ(form->Zoom, 2);
  EXPECT_TRUE(form->ZoomMenu->actions()[1]->isChecked());
  if (!messages.empty()) {
    // Built without Qt's private headers: the zoom waits for the next start.
    EXPECT_EQ(form->WindowZoom, 1);
    GTEST_SKIP() << messages.front();
  }
  EXPECT_EQ(form->WindowZoom, 2);
  EXPECT_EQ(form->devicePixelRatioF(), 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->pos() == QPoint(30, 18); }, 5000))
      << form->pos().x() << "," << form->pos().y();
  EXPECT_EQ(form->size(), QSize(196, 170)) << "layout pixels stay layout pixels";
  EXPECT_EQ(form2->pos(), QPoint(45, 24)) << "Select Source opens where it was";
  EXPECT_EQ(form->DragBounds().size(), screenAtOne / 2) << "drags are kept on the same screen";
  // Preferences opens whole at the new zoom: its bottom-right corner is on the screen as drawn
  // (an X server's picture of a window; the offscreen one gives layout pixels).
  form3->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form3.get()));
  QTest::qWait(100);
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    const QImage drawn = form3->grab().toImage();
    const QImage onScreen = form3->screen()->grabWindow(form3->winId()).toImage();
    ASSERT_EQ(onScreen.size(), drawn.size());
    const QRect corner(QPoint(drawn.width() - 8, drawn.height() - 8), QSize(8, 8));
    EXPECT_EQ(onScreen.copy(corner).convertToFormat(QImage::Format_RGB32),
              drawn.copy(corner).convertToFormat(QImage::Format_RGB32));
  }
  form3->hide();
  const std::vector<QImage> atTwo = Buttons();
  ASSERT_EQ(atTwo.size(), atOne.size());
  for (std::size_t b = 0; b < atOne.size(); ++b)
    EXPECT_EQ(atTwo[b], atOne[b].scaled(atOne[b].size() * 2)) << "button " << b;

  Choose(1);
  EXPECT_EQ(form->WindowZoom, 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->pos() == QPoint(60, 36); }, 5000));
  EXPECT_EQ(Buttons(), atOne);

  Choose(3);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->pos() == QPoint(20, 12); }, 5000));
  EXPECT_EQ(form->devicePixelRatioF(), 3);
  EXPECT_TRUE(messages.empty());
  form->close();
  const std::string text = Settings();
  EXPECT_NE(text.find("\nWinX=60\nWinY=36\nOpenX=90\nOpenY=48\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nZoom=3\n"), std::string::npos) << text;
}

// The disc's picture on show is decoded again for the pixels a new zoom gives it.
TEST_F(ZoomSettings, PictureShownIsDecodedForTheNewZoom) {
  const std::string album = WriteAlbum();
  QImage cover(640, 480, QImage::Format_RGB32);
  cover.fill(QColor(200, 40, 40));
  ASSERT_TRUE(cover.save(QString::fromStdString(album + "/Disc1/cover.jpg")));
  WriteText(SettingsPath(), "[General]\nLastPos=1\nLastAlbum=" + album + "\n");
  Start();
  ASSERT_TRUE(form->Session.AlbumLoaded());
  form->modeimagebtnClick();
  const int atOne = form->CDImage->Picture().width();
  ASSERT_GE(atOne, form->CDImage->width());
  ASSERT_LT(atOne, form->CDImage->width() * 2) << "a zoom-1 picture needs no more pixels";
  Choose(2);
  if (!messages.empty()) GTEST_SKIP() << messages.front();
  EXPECT_GE(form->CDImage->Picture().width(), form->CDImage->width() * 2);
}

// The real player on the X server the test runs on, its settings in a folder of its own.
struct TScreenCase {
  int Zoom;
  const char* ScreenScale;  // QT_SCALE_FACTOR, as a HiDPI desktop sets it
  int Factor;               // screen pixels per layout pixel
  int MenuZoom = 0;         // chosen in the menu once the player shows, 0 for none
};

void PrintTo(const TScreenCase& c, std::ostream* out) {
  *out << "zoom " << c.Zoom << ", scale " << c.ScreenScale << ", menu zoom " << c.MenuZoom;
}

class ZoomOnScreen : public WindowTest, public testing::WithParamInterface<TScreenCase> {
 protected:
  static constexpr int kCorner = 24;  // screen pixels; a multiple of every factor

  void SetUp() override {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
      GTEST_SKIP() << "needs an X server (runs on an X server of its own)";
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
      GTEST_SKIP() << "xdotool is not installed";
    const std::string root = dir.path().toStdString();
    album = root + "/album";
    ASSERT_TRUE(MakeSong(album + "/Disc1/01 Slow Sine.mp3", TTestSong{.Seconds = 30, .Title = {}}));
    // The expected pictures: the shipped skin beside the player, cut by the buttons. Skins
    // load only from the skins folders, so the player's is made this window's.
    form->SkinsRoot = SONAVERA_BINARY_DIR "/bin/SKIN/";
    form->LoadSkin(form->SkinsRoot + "DEFAULT/");
  }

  void TearDown() override {
    if (player.state() != QProcess::NotRunning) {
      player.kill();
      player.waitForFinished(5000);
    }
  }

  void StartPlayer() {
    const TScreenCase c = GetParam();
    const std::string config = dir.path().toStdString() + "/player-config";
    WriteText(config + "/Sonavera.ini", "[General]\nWinX=" + std::to_string(kCorner) +
                                            "\nWinY=" + std::to_string(kCorner) +
                                            "\nAutoStart=0\nLastPos=1\nLastAlbum=" + album +
                                            "\nZoom=" + std::to_string(c.Zoom) + "\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(config));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(c.ScreenScale));
    player.setProcessEnvironment(env);
    // What the sound libraries say on a machine without sound is of no interest here.
    player.setProcessChannelMode(QProcess::MergedChannels);
    player.start(QStringLiteral(SONAVERA_BINARY_DIR "/bin/sonavera"), {});
    ASSERT_TRUE(player.waitForStarted(10000));
    factor = c.Factor;
    zoomShown = c.Zoom;
  }

  // The zoom chosen in the main menu, by keys as a user without a mouse would.
  void ChooseZoom(int zoom) {
    Click(form->menubtn->geometry().center());
    QTest::qWait(700);
    // The fifth item, then the zoom's item of its submenu.
    for (int item = 0; item < 5; ++item) Key("Down");
    Key("Right");
    for (int item = 1; item < zoom; ++item) Key("Down");
    Key("Return");
    // Away from the buttons, which show no hover then.
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QStringLiteral("1000"), QStringLiteral("700")});
    factor = factor / zoomShown * zoom;
    zoomShown = zoom;
  }

  static void Key(const char* name) {
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QLatin1String(name)});
    QTest::qWait(100);
  }

  // Where the window's top-left corner is on the screen: the settings keep it as at zoom 1,
  // in the desktop's own scale.
  static QPoint Corner() {
    const TScreenCase c = GetParam();
    return QPoint(kCorner, kCorner) * (c.Factor / c.Zoom);
  }

  static QImage Screen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
  }

  // Screen pixels of button's opaque picture pixels that differ from the picture enlarged by
  // factor; -1 while the button is not on the screen at all.
  int Mismatches(const QImage& screen, const TCoolButton* button) const {
    const QImage strip = button->Glyph().convertToFormat(QImage::Format_RGB32);
    const QImage cell = strip.copy(0, 0, strip.width() / button->NumGlyphs(), strip.height());
    const QRgb clear = cell.pixel(0, cell.height() - 1);
    const QPoint origin = Corner() + button->pos() * factor;
    int wrong = 0;
    int opaque = 0;
    for (int y = 0; y < cell.height(); ++y)
      for (int x = 0; x < cell.width(); ++x) {
        if (cell.pixel(x, y) == clear) continue;
        ++opaque;
        for (int dy = 0; dy < factor; ++dy)
          for (int dx = 0; dx < factor; ++dx)
            wrong += screen.pixel(origin.x() + x * factor + dx, origin.y() + y * factor + dy) !=
                     cell.pixel(x, y);
      }
    return wrong == opaque * factor * factor ? -1 : wrong;
  }

  // Blocks of factor x factor screen pixels in the layout rectangle area that are not one
  // colour: text drawn at the screen's resolution has them, enlarged text has none.
  int FineBlocks(const QImage& screen, const QRect& area) const {
    int fine = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) {
        const QPoint at = Corner() + QPoint(x, y) * factor;
        bool same = true;
        for (int d = 1; d < factor * factor; ++d)
          same = same && screen.pixel(at + QPoint(d % factor, d / factor)) == screen.pixel(at);
        fine += !same;
      }
    return fine;
  }

  void Click(QPoint layout) {
    const QPoint at = Corner() + layout * factor;
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(at.x()),
                       QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
  }

  std::string album;
  QProcess player;
  int factor = 1;     // screen pixels per layout pixel, as shown now
  int zoomShown = 1;  // the zoom the player is drawn at
};

TEST_P(ZoomOnScreen, PicturesAreWholePixelsTextIsFineAndClicksHitTheButtons) {
  StartPlayer();
  const std::vector<TCoolButton*> buttons{
      form->Playbtn,   form->Stopbtn,     form->rewbtn,       form->fwdbtn,     form->ejbtn,
      form->repeatbtn, form->shufflebtn,  form->progbtn,      form->menubtn,    form->minimizebtn,
      form->closebtn,  form->modeplaybtn, form->modeimagebtn, form->modeequbtn, form->modemodebtn};
  QImage screen;
  const auto shown = [&] {
    return QTest::qWaitFor(
        [&] {
          screen = Screen();
          return Mismatches(screen, form->Playbtn) == 0;
        },
        20000);
  };
  ASSERT_TRUE(shown());
  // The volume bar, drawn by lines and fills: enlarged whole by a new zoom.
  const QRect volume(form->VolBar->mapTo(form.get(), QPoint()), form->VolBar->size());
  const auto shownVolume = [&] {
    return screen.copy(QRect(Corner() + volume.topLeft() * factor, volume.size() * factor));
  };
  const QImage volumeAtStart = shownVolume();
  const int menuZoom = GetParam().MenuZoom;
  if (menuZoom) {
    ChooseZoom(menuZoom);
    ASSERT_TRUE(shown()) << "drawn at zoom " << menuZoom;
    EXPECT_EQ(shownVolume(), volumeAtStart.scaled(volume.size() * factor));
  }
  // With the album's title come to rest.
  QTest::qWait(4000);
  screen = Screen();
  for (const TCoolButton* button : buttons)
    EXPECT_EQ(Mismatches(screen, button), 0) << button->toolTip().toStdString();
  // The disc title, drawn by the scrolling label.
  const QRect title(form->Display->x() + form->CDlbl->x(), form->Display->y() + form->CDlbl->y(),
                    form->CDlbl->width(), form->CDlbl->height());
  if (factor > 1) {
    EXPECT_GT(FineBlocks(screen, title), 20);
  }

  // Play, at the place the zoomed window shows it: the time starts running.
  const QRect time(form->Display->x() + form->CurrTime->x(),
                   form->Display->y() + form->CurrTime->y(), form->CurrTime->width(),
                   form->CurrTime->height());
  const auto shownTime = [&] {
    return Screen().copy(QRect(Corner() + time.topLeft() * factor, time.size() * factor));
  };
  const QImage stopped = shownTime();
  Click(form->Playbtn->geometry().center());
  EXPECT_TRUE(QTest::qWaitFor([&] { return shownTime() != stopped; }, 10000));

  if (menuZoom) {
    // Back to zoom 1 while playing: the music goes on, the pictures are the same as before.
    ChooseZoom(1);
    ASSERT_TRUE(shown());
    EXPECT_EQ(shownVolume(), volumeAtStart);
    const QImage playing = shownTime();
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownTime() != playing; }, 5000));
    EXPECT_EQ(player.state(), QProcess::Running);
    ChooseZoom(menuZoom);
    ASSERT_TRUE(shown());
  }

  // Exit: the zoom and the window's place are kept.
  Click(form->closebtn->geometry().center());
  ASSERT_TRUE(player.waitForFinished(10000));
  const std::string settings = ReadText(dir.path().toStdString() + "/player-config/Sonavera.ini");
  EXPECT_NE(settings.find("\nZoom=" + std::to_string(zoomShown) + "\n"), std::string::npos);
  EXPECT_NE(settings.find("\nWinX=" + std::to_string(kCorner) + "\n"), std::string::npos)
      << settings;
}

INSTANTIATE_TEST_SUITE_P(Zooms, ZoomOnScreen,
                         testing::Values(TScreenCase{1, "1", 1}, TScreenCase{1, "1.5", 1},
                                         TScreenCase{2, "1", 2}, TScreenCase{3, "1", 3},
                                         TScreenCase{1, "2", 2}, TScreenCase{1, "1", 1, 2}),
                         [](const testing::TestParamInfo<TScreenCase>& test) {
                           std::string scale = test.param.ScreenScale;
                           std::replace(scale.begin(), scale.end(), '.', '_');
                           const std::string menu =
                               test.param.MenuZoom ? "Menu" + std::to_string(test.param.MenuZoom)
                                                   : "";
                           return "Zoom" + std::to_string(test.param.Zoom) + "Scale" + scale + menu;
                         });

}  // namespace
