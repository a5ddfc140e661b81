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
#include <cctype>
#include <map>
#include <optional>
#include <string>

namespace {

const QString kRuntime = QStringLiteral(SONAVERA_SOURCE_DIR "/assets/runtime");

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

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// Section "Colors" of an INI file, keys in lower case.
std::map<std::string, std::string> ReadColours(const QString& path) {
  std::map<std::string, std::string> out;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return out;
  bool inColours = false;
  while (!file.atEnd()) {
    const std::string line = file.readLine().trimmed().toStdString();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      inColours = Lower(line) == "[colors]";
      continue;
    }
    const size_t eq = line.find('=');
    if (inColours && eq != std::string::npos)
      out[Lower(QByteArray::fromStdString(line.substr(0, eq)).trimmed().toStdString())] =
          QByteArray::fromStdString(line.substr(eq + 1)).trimmed().toStdString();
  }
  return out;
}

// An integer as the player reads it: signed decimal, or "$" and hexadecimal digits.
std::optional<long long> ParseInteger(const std::string& text) {
  bool ok = false;
  const QString s = QString::fromStdString(text);
  const long long value = s.startsWith('$') ? s.mid(1).toLongLong(&ok, 16) : s.toLongLong(&ok);
  return ok ? std::optional<long long>(value) : std::nullopt;
}

int BitsPerPixel(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray header = file.read(30);
  if (header.size() < 30 || !header.startsWith("BM")) return -1;
  return static_cast<uchar>(header[28]) | static_cast<uchar>(header[29]) << 8;
}

// Size, format, and for keyed pictures: every cell's bottom-left pixel is the strip's key
// colour and a good part of the cell is visible; a button strip is opaque in the middle of
// each cell, where the pointer makes it hover, and its pressed cell looks different.
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
  }
}

class SkinFolder : public testing::TestWithParam<const char*> {
 protected:
  QString Folder() const { return kRuntime + "/SKIN/" + GetParam(); }
};

TEST_P(SkinFolder, HoldsEveryPictureAtItsSize) {
  for (const TPictureFile& f : kSkinFiles) CheckPicture(Folder(), f);
}

TEST_P(SkinFolder, ColoursIniHoldsNineReadableColours) {
  const auto colours = ReadColours(Folder() + "/Colors.ini");
  EXPECT_EQ(colours.size(), 9u);
  for (const char* key : kColourKeys) {
    SCOPED_TRACE(key);
    const auto it = colours.find(Lower(key));
    ASSERT_NE(it, colours.end());
    const auto value = ParseInteger(it->second);
    ASSERT_TRUE(value.has_value()) << it->second;
    EXPECT_GE(*value, 0);
    EXPECT_LE(*value, 0xFFFFFF);
  }
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinFolder, testing::Values("DEFAULT", "Amber"));

TEST(DefaultSkin, CarriesThePlayersDefaultColours) {
  const auto colours = ReadColours(kRuntime + "/SKIN/DEFAULT/Colors.ini");
  const std::map<std::string, std::string> expected = {
      {"hightext", "$00EAE2B8"},    {"mediumtext", "$00c0c0c0"}, {"lowtext", "$00808080"},
      {"posbarstart", "$00A00000"}, {"posbarend", "$00c0c0c0"},  {"posbarback", "$00C34E00"},
      {"volbarstart", "$00804000"}, {"volbarend", "$00c0c0c0"},  {"volbarback", "$00C34E00"}};
  EXPECT_EQ(colours, expected);
  // 0x00BBGGRR: the high text colour is red 184, green 226, blue 234.
  EXPECT_EQ(ParseInteger(colours.at("hightext")), (234 << 16) | (226 << 8) | 184);
}

TEST(Skins, TheSecondSkinLooksDifferent) {
  const QString skins = kRuntime + "/SKIN/";
  EXPECT_NE(QImage(skins + "DEFAULT/IMG-Background.bmp"),
            QImage(skins + "Amber/IMG-Background.bmp"));
  EXPECT_NE(QImage(skins + "DEFAULT/btn-play.bmp"), QImage(skins + "Amber/btn-play.bmp"));
  EXPECT_NE(ReadColours(skins + "DEFAULT/Colors.ini").at("hightext"),
            ReadColours(skins + "Amber/Colors.ini").at("hightext"));
}

TEST(FormPictures, HaveTheirSizesAndKeys) {
  for (const TPictureFile& f : kFormPictures) CheckPicture(kRuntime + "/pictures", f);
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
    EXPECT_EQ(made, FilesBelow(kRuntime + "/" + sub)) << sub.toStdString();
    for (const QString& file : made)
      EXPECT_EQ(Contents(out.path() + "/" + sub + "/" + file),
                Contents(kRuntime + "/" + sub + "/" + file))
          << "regenerate the assets: " << file.toStdString();
  }
}

}  // namespace
