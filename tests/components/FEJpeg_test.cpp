// Picture loading and display: JPEG (baseline and progressive, made at test time), BMP,
// damaged files, stretched and natural-size drawing.
#include "FEJpeg.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "JpegImage.h"
#include "ManyScansJpeg.h"

namespace {

// Four flat quadrants: red, green / blue, yellow.
QImage Quadrants(int w, int h) {
  QImage img(w, h, QImage::Format_RGB888);
  QPainter p(&img);
  p.fillRect(0, 0, w / 2, h / 2, Qt::red);
  p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
  p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
  p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::yellow);
  return img;
}

std::string ReadAll(const QString& path) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
  return f.readAll().toStdString();
}

void WriteAll(const QString& path, const std::string& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes.data(), qint64(bytes.size()));
}

// Start-of-scan markers: in entropy-coded data 0xFF is always followed by 0x00 or a
// restart marker, so every FF DA is a scan.
int ScanCount(const std::string& jpeg) {
  int n = 0;
  for (size_t i = 0; i + 1 < jpeg.size(); ++i) n += jpeg[i] == '\xFF' && jpeg[i + 1] == '\xDA';
  return n;
}

std::string ManyScans(int levels, QSize pixels = QSize(64, 48)) {
  return ManyScansJpeg(Quadrants(pixels.width(), pixels.height()), levels);
}

// Counts the paint events of a widget and remembers the picture each one showed.
class PaintSpy : public QObject {
 public:
  explicit PaintSpy(TFEJpeg* w) : w_(w) { w->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) shown.push_back(w_->Picture());
    return false;
  }
  std::vector<QImage> shown;

 private:
  TFEJpeg* w_;
};

class FEJpegTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(Quadrants(64, 48).save(Path("base.jpg"), "JPG", 95));
    ASSERT_TRUE(Quadrants(64, 48).save(Path("pic.bmp"), "BMP"));
    ASSERT_TRUE(Quadrants(64, 48).save(Path("src.png"), "PNG"));
    const int rc = QProcess::execute(
        "convert", {Path("src.png"), "-quality", "95", "-interlace", "Plane", Path("prog.jpg")});
    ASSERT_EQ(rc, 0) << "imagemagick is needed for progressive test files";
    ASSERT_EQ(
        QProcess::execute("convert", {Path("src.png"), "-colorspace", "CMYK", Path("cmyk.jpg")}),
        0);
  }
  QString Path(const char* name) const { return dir_.filePath(name); }
  std::string Name(const char* name) const { return QFile::encodeName(Path(name)).toStdString(); }

  QTemporaryDir dir_;
};

// JPEG is lossy: the quadrant centres must be near their colours.
void ExpectQuadrants(const QImage& img, QSize size = QSize(64, 48)) {
  ASSERT_EQ(img.size(), size);
  const QImage want = Quadrants(size.width(), size.height());
  const int w = size.width(), h = size.height();
  for (QPoint p : {QPoint(w / 4, h / 4), QPoint(w * 3 / 4, h / 4), QPoint(w / 4, h * 3 / 4),
                   QPoint(w * 3 / 4, h * 3 / 4)}) {
    const QColor a = img.pixelColor(p), b = want.pixelColor(p);
    EXPECT_LE(std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                  std::abs(a.blue() - b.blue()),
              30);
  }
}

TEST_F(FEJpegTest, DecodesBaselineProgressiveAndBitmapPictures) {
  ExpectQuadrants(TJpegImage::Decode(ReadAll(Path("base.jpg")), false, true));
  ExpectQuadrants(TJpegImage::Decode(ReadAll(Path("prog.jpg")), false, true));
  ExpectQuadrants(TJpegImage::Decode(ReadAll(Path("cmyk.jpg")), false, true));
  TFEJpeg box;
  box.LoadFromFile(Name("pic.bmp"));
  EXPECT_EQ(box.Picture().convertToFormat(QImage::Format_RGB888), Quadrants(64, 48));
  box.LoadFromFile(Name("prog.jpg"));
  ExpectQuadrants(box.Picture());
}

TEST_F(FEJpegTest, ProgressiveFileIsShownScanByScan) {
  const int scans = ScanCount(ReadAll(Path("prog.jpg")));
  ASSERT_GT(scans, 2);
  TFEJpeg box;
  box.resize(64, 48);
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  QCoreApplication::processEvents();
  box.SetProgressiveDisplay(true);
  PaintSpy spy(&box);
  box.LoadFromFile(Name("prog.jpg"));
  ASSERT_EQ(int(spy.shown.size()), scans);
  // Early scans are coarse; the last one is the finished picture.
  EXPECT_NE(spy.shown.front(), spy.shown.back());
  EXPECT_EQ(spy.shown.back(), box.Picture());
  ExpectQuadrants(box.Picture());

  // Without scan-by-scan display, and for baseline files, nothing is painted during the load.
  spy.shown.clear();
  box.LoadFromFile(Name("base.jpg"));
  box.SetProgressiveDisplay(false);
  box.LoadFromFile(Name("prog.jpg"));
  EXPECT_TRUE(spy.shown.empty());

  // A file of very many scans shows only the first ones one by one; far too many is damage.
  box.SetProgressiveDisplay(true);
  const std::string many = ManyScans(1);
  ASSERT_EQ(ScanCount(many), 190);
  WriteAll(Path("many.jpg"), many);
  box.LoadFromFile(Name("many.jpg"));
  EXPECT_EQ(int(spy.shown.size()), TJpegImage::kMaxShownScans + 1);
  ExpectQuadrants(box.Picture());
  EXPECT_THROW(TJpegImage::Decode(ManyScans(3), false, true), std::runtime_error);

  // Of a big picture fewer scans are shown one by one: each is a pass over all of it.
  WriteAll(Path("bigmany.jpg"), ManyScans(1, QSize(2000, 1500)));
  box.SetStretch(true);
  // The repaint the new mode asks for lands now, not in the events handled during the load.
  QCoreApplication::processEvents();
  spy.shown.clear();
  box.LoadFromFile(Name("bigmany.jpg"));
  EXPECT_EQ(int(spy.shown.size()), int(TJpegImage::kMaxShownPixels / (2000 * 1500)) + 1);
  ExpectQuadrants(box.Picture(), QSize(250, 188));
}

TEST_F(FEJpegTest, DamagedFilesRaiseAnErrorAndKeepThePicture) {
  const std::string base = ReadAll(Path("base.jpg"));
  const std::string prog = ReadAll(Path("prog.jpg"));
  std::string hit_marker = base;
  hit_marker.replace(hit_marker.size() - 60, 2, "\xFF\xD9");
  // SOF0 claims 65000 x 65000 pixels.
  std::string huge = base;
  const size_t sof = huge.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  huge.replace(sof + 5, 4, "\xFD\xE8\xFD\xE8");
  const std::vector<std::pair<const char*, std::string>> damaged = {
      {"trunc.jpg", base.substr(0, base.size() - 100)},
      {"progtrunc.jpg", prog.substr(0, prog.size() * 2 / 3)},
      {"marker.jpg", hit_marker},
      {"huge.jpg", huge},
      {"garbage.bmp", "BM" + std::string(100, '\x7F')},
      {"truncated.bmp", ReadAll(Path("pic.bmp")).substr(0, 30)},
      {"cut.bmp", ReadAll(Path("pic.bmp")).substr(0, 5000)},
      {"text.jpg", "not a picture at all"},
  };
  TFEJpeg box;
  box.resize(64, 48);
  box.show();
  box.SetProgressiveDisplay(true);
  box.LoadFromFile(Name("pic.bmp"));
  const QImage before = box.Picture();
  for (const auto& [name, bytes] : damaged) {
    WriteAll(Path(name), bytes);
    EXPECT_THROW(box.LoadFromFile(Name(name)), std::runtime_error) << name;
    EXPECT_EQ(box.Picture(), before) << name;
    EXPECT_THROW(TJpegImage::Decode(bytes, false, true), std::runtime_error) << name;
  }
  EXPECT_THROW(box.LoadFromFile(Name("missing.jpg")), std::runtime_error);
  EXPECT_THROW(box.LoadFromFile(QFile::encodeName(dir_.path()).toStdString()), std::runtime_error);
}

// Stretched, a big picture is decoded at the smallest DCT scale whose size still covers the
// box (here 2/8: 250 x 200 for 160 x 120); the picture on the screen is the same.
TEST_F(FEJpegTest, StretchedBoxDecodesAtTheSmallestScaleThatCoversIt) {
  ASSERT_TRUE(Quadrants(1000, 800).save(Path("big.png"), "PNG"));
  ASSERT_EQ(QProcess::execute("convert", {Path("big.png"), "-quality", "95", "-interlace", "Plane",
                                          Path("big.jpg")}),
            0);
  TFEJpeg box;
  box.resize(160, 120);
  box.SetStretch(true);
  for (bool scanByScan : {false, true}) {
    box.SetProgressiveDisplay(scanByScan);
    box.LoadFromFile(Name("big.jpg"));
    ExpectQuadrants(box.Picture(), QSize(250, 200));
  }
  box.SetStretch(false);
  box.LoadFromFile(Name("big.jpg"));
  ExpectQuadrants(box.Picture(), QSize(1000, 800));
}

// A big picture of many scans lets events through while it decodes (at full size: shown small
// it decodes in a blink); a load started by one of them wins, and the picture it shows stays.
TEST_F(FEJpegTest, ALoadStartedDuringABigDecodeWins) {
  WriteAll(Path("cover.jpg"), ManyScans(2, QSize(2000, 1500)));
  TFEJpeg box;
  box.resize(160, 120);
  box.SetProgressiveDisplay(true);
  bool nestedDone = false;
  QTimer::singleShot(0, &box, [&] {
    box.LoadFromFile(Name("pic.bmp"));
    nestedDone = true;
  });
  box.LoadFromFile(Name("cover.jpg"));
  ASSERT_TRUE(nestedDone) << "no events were handled during the decode";
  EXPECT_EQ(box.Picture().convertToFormat(QImage::Format_RGB888), Quadrants(64, 48));
}

TEST_F(FEJpegTest, StretchedOrNaturalSize) {
  TFEJpeg box;
  QPalette pal = box.palette();
  pal.setColor(QPalette::Window, Qt::black);
  box.setPalette(pal);
  box.resize(128, 96);
  box.LoadFromFile(Name("pic.bmp"));
  QImage natural = box.grab().toImage();
  EXPECT_EQ(natural.pixelColor(48, 36), QColor(Qt::yellow));
  EXPECT_EQ(natural.pixelColor(100, 80), QColor(Qt::black));  // outside the picture

  box.SetStretch(true);
  QImage stretched = box.grab().toImage();
  EXPECT_EQ(stretched.pixelColor(100, 80), QColor(Qt::yellow));
  EXPECT_EQ(stretched.pixelColor(100, 10), QColor(Qt::green));
  EXPECT_EQ(stretched.pixelColor(10, 80), QColor(Qt::blue));
}

TEST(FEJpegClickTest, ClicksAndDoubleClicks) {
  TFEJpeg box;
  box.resize(50, 40);
  std::string got;
  box.OnClick = [&](QObject* sender) { got += sender == &box ? "c" : "?"; };
  box.OnDblClick = [&](QObject*) { got += "d"; };
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(10, 10));
  // Released outside the picture: no click.
  QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(60, 10));
  // A double click as the system delivers it: press, release, press and double click, release.
  QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(20, 20));
  QTest::mouseDClick(&box, Qt::LeftButton, {}, QPoint(20, 20));
  QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(got, "ccd");
}

}  // namespace
