// Text on the shipped skin as the user sees it: legible small text, titles shown as they
// are, the scrolling disc title, and the equalizer page's controls. Run offscreen and on a
// real X server (Xvfb), where the font rendering differs.
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "FontMap.h"
#include "RunLabel.h"
#include "WindowTest.h"

namespace {

class TextTest : public WindowTest {
 protected:
  TextTest() {
    std::filesystem::copy(SONAVERA_SOURCE_DIR "/assets/runtime/SKIN/DEFAULT",
                          SkinFolder("DEFAULT"));
    form->LoadSkin(SkinFolder("DEFAULT"));
    form->Assegnacolori();
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // No source: the two-second check would put "NO CD LOADED" back.
    form->AutoPTimer->stop();
  }

  // What the window shows of widget, at one pixel per layout pixel.
  QImage Shot(QWidget* widget) const {
    const QRect area(widget->mapTo(form.get(), QPoint(0, 0)), widget->size());
    QImage image = form->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    return image.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
  }

  // Puts caption into a title label and waits until its run has ended.
  static void ShowTitle(TRunLabel* label, const std::string& caption) {
    label->SetSpeed(1);
    label->SetCaption(caption);
    label->StopRun(true);
    label->StartRun(0, 0);
    EXPECT_TRUE(QTest::qWaitFor([label] { return !label->Running(); }, 5000));
  }

  // Pixels of image that differ from its top-left pixel (the ground under the text).
  static int Ink(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != image.pixel(0, 0);
    return count;
  }
  static int Pixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xFFFFFF) == colour;
    return count;
  }
  // One past the rightmost column where image differs from ground.
  static int InkEnd(const QImage& image, const QImage& ground) {
    for (int x = image.width() - 1; x >= 0; --x)
      for (int y = 0; y < image.height(); ++y)
        if (image.pixel(x, y) != ground.pixel(x, y)) return x + 1;
    return 0;
  }
  // Pixels nearer to colour than to other: faces are shaded, so no exact colour is asked.
  static int PixelsNearer(const QImage& image, const QColor& colour, const QColor& other) {
    const auto distance = [](const QColor& a, const QColor& b) {
      return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
             std::abs(a.blue() - b.blue());
    };
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        count += distance(c, colour) < distance(c, other);
      }
    return count;
  }

  // In grey, its darkest pixel black and its brightest white: the reader is made for print,
  // not for dim text on a dark display.
  static QImage Stretched(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    int low = 255;
    int high = 0;
    for (int y = 0; y < grey.height(); ++y)
      for (int x = 0; x < grey.width(); ++x) {
        low = std::min<int>(low, grey.constScanLine(y)[x]);
        high = std::max<int>(high, grey.constScanLine(y)[x]);
      }
    for (int y = 0; y < grey.height(); ++y)
      for (int x = 0; x < grey.width(); ++x) {
        uchar& v = grey.scanLine(y)[x];
        v = static_cast<uchar>((v - low) * 255 / std::max(high - low, 1));
      }
    return grey;
  }

  // Tesseract's reading of the window's picture of widget, enlarged 4 times pixel by pixel.
  std::string Read(QWidget* widget, const QRect& part) const {
    const QImage shot = Stretched(Shot(widget).copy(part));
    const QString file = dir.filePath(QStringLiteral("ocr.png"));
    shot.scaled(shot.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(file);
    QProcess ocr;
    ocr.start(QStringLiteral("tesseract"),
              {file, QStringLiteral("stdout"), QStringLiteral("--psm"), QStringLiteral("7")});
    EXPECT_TRUE(ocr.waitForFinished(30000));
    return QString::fromUtf8(ocr.readAllStandardOutput()).simplified().toStdString();
  }
};

TEST_F(TextTest, SmallTextReadsBackThroughOcr) {
  if (QStandardPaths::findExecutable(QStringLiteral("tesseract")).isEmpty())
    GTEST_SKIP() << "tesseract is not installed: the small text is not read back";
  ShowTitle(form->CDlbl, "1. DISC 1 - MORNING CHORDS");
  ShowTitle(form->Songlbl, "3. F Major Walk");
  EXPECT_EQ(Read(form->CDlbl, form->CDlbl->rect()), "1. DISC 1 - MORNING CHORDS");
  EXPECT_EQ(Read(form->Songlbl, form->Songlbl->rect()), "3. F Major Walk");
  ShowTitle(form->Songlbl, "Slow Sine");
  EXPECT_EQ(Read(form->Songlbl, form->Songlbl->rect()), "Slow Sine");
  // The four mode labels in one row, as they stand on the play page.
  const QRect row(form->replbl->x(), form->replbl->y(),
                  form->Albumlbl->geometry().right() - form->replbl->x() + 1,
                  form->replbl->height());
  EXPECT_EQ(Read(form->Page0, row.adjusted(-2, -2, 2, 2)), "REPEAT SHUFFLE PROGRAM ALBUM");
}

TEST_F(TextTest, SmallTextStaysInsideItsLabels) {
  form->Bitratelbl->setText(QStringLiteral("320 KBs"));
  for (QLabel* label : {form->Bitratelbl, form->Stereolbl, form->replbl, form->shufflelbl,
                        form->Programlbl, form->Albumlbl}) {
    const QFontMetrics metrics(label->font());
    EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
        << label->text().toStdString();
    EXPECT_LE(metrics.ascent(), label->height()) << label->text().toStdString();
  }
}

TEST_F(TextTest, BitRateIsDrawnLikeTheChannelsBesideIt) {
  form->Bitratelbl->setText(QStringLiteral("128 KBs"));
  const QRgb medium = ColorToQColor(form->Colors.MediumText).rgb() & 0xFFFFFF;
  const QImage bitrate = Shot(form->Bitratelbl);
  const QImage channels = Shot(form->Stereolbl);
  ASSERT_GT(Ink(bitrate), 20);
  ASSERT_GT(Ink(channels), 20);
  // The stems of both are solid medium colour: the bit rate is not smoothed more than the
  // channels are.
  const double bitrateSolid = double(Pixels(bitrate, medium)) / Ink(bitrate);
  const double channelsSolid = double(Pixels(channels, medium)) / Ink(channels);
  EXPECT_GT(channelsSolid, 0.05);
  EXPECT_GE(bitrateSolid, channelsSolid / 2);
  EXPECT_EQ(FixedPitch(form->Stereolbl->font()).styleStrategy(),
            form->Bitratelbl->font().styleStrategy());
}

// "-00:23" in the bold time font is wider than the time label: it is narrowed to fit inside
// the display's frame, while a time without the sign keeps the font to the pixel.
TEST_F(TextTest, RemainingTimeShowsItsMinusSignWhole) {
  const QFont timeFont = form->CurrTime->font();
  const QFont microFont = form->lblDisplay2->font();
  const int inside = std::max(0, form->Page0->frameWidth() - form->CurrTime->x());
  form->ShowTime(QString());
  const QImage ground = Shot(form->CurrTime);
  for (const char* time : {"-00:23", "-59:59", "-128:00"}) {
    form->ShowTime(QString::fromLatin1(time));
    const QImage shot = Shot(form->CurrTime);
    int firstInk = shot.width();
    for (int x = shot.width() - 1; x >= 0; --x)
      for (int y = 0; y < shot.height(); ++y)
        if (shot.pixel(x, y) != ground.pixel(x, y)) firstInk = x;
    EXPECT_GE(firstInk, inside) << time;
    EXPECT_LE(QFontMetrics(form->CurrTime->font()).horizontalAdvance(time),
              form->CurrTime->width() - inside)
        << time;
    EXPECT_LE(QFontMetrics(form->lblDisplay2->font()).horizontalAdvance(time),
              form->lblDisplay2->width())
        << time;
  }
  form->ShowTime(QStringLiteral("00:23"));
  EXPECT_EQ(form->CurrTime->font(), timeFont);
  EXPECT_EQ(form->lblDisplay2->font(), microFont);
  EXPECT_EQ(form->lblDisplay2->text(), "00:23");
}

TEST_F(TextTest, AmpersandsInTitlesAreShown) {
  for (TRunLabel* label : {form->CDlbl, form->Songlbl}) {
    ShowTitle(label, "");
    const QImage ground = Shot(label);
    ShowTitle(label, "SALT PEPPER");
    const int without = InkEnd(Shot(label), ground);
    ShowTitle(label, "SALT & PEPPER");
    const int with = InkEnd(Shot(label), ground);
    // The "&" and a blank more: wider by more than a letter.
    EXPECT_GT(without, 40);
    EXPECT_GT(with - without, 6);
  }
}

TEST_F(TextTest, AutoScrollDiscTitleComesBackAfterLeaving) {
  TRunLabel* title = form->CDlbl;
  title->StopRun(true);
  title->SetRunMode(rmNormal);
  title->SetSpeed(1);
  title->SetCaption("ALBUM");
  title->StartRun(0, 0);
  // It leaves at the left edge: the label is empty then.
  ASSERT_TRUE(QTest::qWaitFor([&] { return title->Position() >= title->RunLength() - 2; }, 5000));
  // And crosses again from the right.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return title->Running() && title->Position() > 40 && title->Position() < 100; }, 5000));
  title->StopRun(false);
  EXPECT_GT(Ink(Shot(title)), 10);

  // A resting title stays at rest.
  title->StopRun(true);
  title->SetRunMode(rmLabel);
  ShowTitle(title, "ALBUM");
  QTest::qWait(50);
  EXPECT_FALSE(title->Running());
  EXPECT_GT(Ink(Shot(title)), 10);
}

TEST_F(TextTest, EqualizerControlsWearTheSkinColours) {
  form->ShowPage("page2");
  const QColor ground = ColorToQColor(form->Colors.PosBarBack);
  for (QWidget* control :
       {static_cast<QWidget*>(form->Zerobtn), static_cast<QWidget*>(form->LoadPresetbtn),
        static_cast<QWidget*>(form->AbilitaEQU)}) {
    const QImage shot = Shot(control);
    // Nearer to the skin's ground than to the light grey of stock controls.
    EXPECT_GT(PixelsNearer(shot, ground, QColor(239, 239, 239)), shot.width() * shot.height() / 2)
        << control->objectName().toStdString();
  }
  // The pages' lowered edge: grey 128 on the left, white on the right.
  form->ShowPage("Page0");
  const QImage page = Shot(form->Page0);
  EXPECT_EQ(page.pixel(0, 60) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(page.pixel(page.width() - 1, 60) & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace
