// The committed skins and window pictures: a missing file, a wrong size, a strip that lost
// its transparent key or a Colors.ini the player cannot read shows up here rather than as
// a blank or broken window.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "SkinFiles.h"

namespace {

struct TPictureFile {
  const char* name;
  int width, height;
  int cells;  // 3 for a button strip, 1 for a keyed one-cell picture, 0 for an opaque one
};

const TPictureFile kSkinFiles[] = {
    {"btn-play.bmp", 63, 19, 3},         {"btn-stop.bmp", 63, 19, 3},
    {"btn-rew.bmp", 63, 19, 3},          {"btn-fwd.bmp", 63, 19, 3},
    {"btn-eject.bmp", 63, 19, 3},        {"btn-Repeat.bmp", 45, 13, 3},
    {"btn-Shuffle.bmp", 45, 13, 3},      {"btn-Program.bmp", 45, 13, 3},
    {"btn-Menu.bmp", 45, 13, 3},         {"btn-Minimize.bmp", 45, 13, 3},
    {"btn-Close.bmp", 45, 13, 3},        {"Mode-Play.bmp", 63, 19, 3},
    {"Mode-Image.bmp", 63, 19, 3},       {"Mode-Equ.bmp", 63, 19, 3},
    {"Mode-album.bmp", 63, 19, 3},       {"IMG-Default.bmp", 160, 120, 0},
    {"IMG-Equ.bmp", 164, 124, 0},        {"IMG-Display.bmp", 164, 125, 0},
    {"IMG-Background.bmp", 196, 170, 0},
};

const TPictureFile kFormPictures[] = {
    {"MicroImage.bmp", 209, 38, 0}, {"btnrew2.bmp", 9, 10, 1},    {"btnfwd2.bmp", 9, 10, 1},
    {"btnrew1.bmp", 9, 10, 1},      {"btnfwd1.bmp", 9, 10, 1},    {"btnPlay2.bmp", 13, 13, 1},
    {"btnStop2.bmp", 13, 13, 1},    {"btnClose2.bmp", 16, 19, 1}, {"imgMiniSong.bmp", 12, 12, 0},
    {"imgMiniCD.bmp", 12, 12, 0},   {"Tray.bmp", 16, 16, 1},      {"About.bmp", 30, 30, 0},
    {"Drive-Disk.bmp", 16, 16, 1},  {"Drive-CD.bmp", 16, 16, 1},
};

const char* const kColourKeys[] = {"HighTEXT",    "MediumTEXT", "LowTEXT",
                                   "PosBarStart", "PosBarEnd",  "PosBarBack",
                                   "VolBarStart", "VolBarEnd",  "VolBarBack"};

int BitsPerPixel(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray header = file.read(30);
  if (header.size() < 30 || !header.startsWith("BM")) return -1;
  return static_cast<uchar>(header[28]) | static_cast<uchar>(header[29]) << 8;
}

// Size, format, and for keyed pictures: every cell's bottom-left pixel is the strip's key
// colour and a good part of the cell is visible; a button strip is opaque in the middle of
// each cell, where the pointer makes it hover, its pressed cell looks different and its
// disabled cell has something to recolour.
void CheckPicture(const QString& folder, const TPictureFile& f) {
  SCOPED_TRACE(f.name);
  const QString path = folder + "/" + f.name;
  const QImage image(path);
  ASSERT_FALSE(image.isNull()) << "missing or unreadable: " << path.toStdString();
  EXPECT_EQ(image.width(), f.width);
  EXPECT_EQ(image.height(), f.height);
  EXPECT_EQ(BitsPerPixel(path), 24);
  if (f.cells == 0) return;
  const int cell = image.width() / f.cells, h = image.height();
  const QRgb key = image.pixel(0, h - 1);
  for (int c = 0; c < f.cells; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(image.pixel(c * cell, h - 1), key);
    int visible = 0;
    for (int y = 0; y < h; ++y)
      for (int x = c * cell; x < (c + 1) * cell; ++x) visible += image.pixel(x, y) != key;
    EXPECT_GE(visible * 10, cell * h);
    if (f.cells == 3) {
      EXPECT_NE(image.pixel(c * cell + cell / 2, h / 2), key);
    }
  }
  if (f.cells == 3) {
    EXPECT_NE(image.copy(0, 0, cell, h), image.copy(2 * cell, 0, cell, h));
    // A disabled button recolours exactly white and mid grey; its symbol is drawn in them.
    const QImage disabled = image.copy(cell, 0, cell, h);
    int white = 0, grey = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < cell; ++x) {
        white += disabled.pixel(x, y) == qRgb(255, 255, 255);
        grey += disabled.pixel(x, y) == qRgb(128, 128, 128);
      }
    EXPECT_GT(white, 0);
    EXPECT_GT(grey, 0);
  }
}

class SkinFolder : public testing::TestWithParam<const char*> {
 protected:
  QString Folder() const { return RuntimeFolder() + "SKIN/" + GetParam(); }
};

TEST_P(SkinFolder, HoldsEveryPictureAtItsSize) {
  for (const TPictureFile& f : kSkinFiles) CheckPicture(Folder(), f);
}

TEST_P(SkinFolder, ThePlayerReadsAllNineColours) {
  for (const char* key : kColourKeys) {
    const std::string text = ColourText(Folder() + "/Colors.ini", key);
    EXPECT_TRUE(ColourOf(text).has_value()) << key << "=" << text;
  }
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinFolder, testing::Values("DEFAULT", "Amber"));

TEST(DefaultSkin, CarriesThePlayersDefaultColours) {
  const QString ini = RuntimeFolder() + "SKIN/DEFAULT/Colors.ini";
  const std::map<std::string, std::string> expected = {
      {"HighTEXT", "$00EAE2B8"},    {"MediumTEXT", "$00c0c0c0"}, {"LowTEXT", "$00808080"},
      {"PosBarStart", "$00A00000"}, {"PosBarend", "$00c0c0c0"},  {"PosBarBack", "$00C34E00"},
      {"VolBarStart", "$00804000"}, {"VolBarend", "$00c0c0c0"},  {"VolBarBack", "$00C34E00"}};
  for (const auto& [key, text] : expected) EXPECT_EQ(ColourText(ini, key), text) << key;
  EXPECT_EQ(ColourOf(ColourText(ini, "HighTEXT")), QColor(184, 226, 234));
}

TEST(Skins, TheSecondSkinLooksDifferent) {
  const QString skins = RuntimeFolder() + "SKIN/";
  EXPECT_NE(QImage(skins + "DEFAULT/IMG-Background.bmp"),
            QImage(skins + "Amber/IMG-Background.bmp"));
  EXPECT_NE(QImage(skins + "DEFAULT/btn-play.bmp"), QImage(skins + "Amber/btn-play.bmp"));
  EXPECT_NE(ColourOf(ColourText(skins + "DEFAULT/Colors.ini", "HighTEXT")),
            ColourOf(ColourText(skins + "Amber/Colors.ini", "HighTEXT")));
}

TEST(FormPictures, HaveTheirSizesAndKeys) {
  for (const TPictureFile& f : kFormPictures) CheckPicture(RuntimeFolder() + "pictures", f);
}

TEST(FormPictures, ProgramIconsAreTransparentAroundTheDisc) {
  for (const auto& [name, size] : {std::pair<const char*, int>{"Sonavera.png", 48},
                                   std::pair<const char*, int>{"Sonavera-256.png", 256}}) {
    SCOPED_TRACE(name);
    const QImage icon(RuntimeFolder() + "pictures/" + name);
    ASSERT_EQ(icon.size(), QSize(size, size));
    ASSERT_TRUE(icon.hasAlphaChannel());
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
  }
  // The large icon is the small one drawn large: reduced, the two look alike.
  const QImage small =
      QImage(RuntimeFolder() + "pictures/Sonavera.png").convertToFormat(QImage::Format_ARGB32);
  const QImage reduced = QImage(RuntimeFolder() + "pictures/Sonavera-256.png")
                             .scaled(48, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
  int far = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) {
      const QColor a = small.pixelColor(x, y), b = reduced.pixelColor(x, y);
      const int colour = std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                         std::abs(a.blue() - b.blue());
      far += std::abs(a.alpha() - b.alpha()) > 96 ||
             (a.alpha() == 255 && b.alpha() == 255 && colour > 120);
    }
  EXPECT_LT(far, 48 * 48 / 20);
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file below folder, relative to it.
QStringList FilesBelow(const QString& folder) {
  QStringList out;
  QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) out << QDir(folder).relativeFilePath(it.next());
  out.sort();
  return out;
}

TEST(Generator, ReproducesTheCommittedFiles) {
  const QString generator = QStringLiteral(SONAVERA_BINARY_DIR "/bin/sonavera-skingen");
  ASSERT_TRUE(QFile::exists(generator)) << "build the sonavera-skingen target first";
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  QProcess run;
  run.start(generator, {out.path()});
  ASSERT_TRUE(run.waitForFinished(60000));
  ASSERT_EQ(run.exitStatus(), QProcess::NormalExit);
  ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

  for (const QString sub : {"SKIN", "pictures"}) {
    const QStringList made = FilesBelow(out.path() + "/" + sub);
    EXPECT_EQ(made, FilesBelow(RuntimeFolder() + sub)) << sub.toStdString();
    for (const QString& file : made)
      EXPECT_EQ(Contents(out.path() + "/" + sub + "/" + file),
                Contents(RuntimeFolder() + sub + "/" + file))
          << "regenerate the assets: " << file.toStdString();
  }
}

}  // namespace
