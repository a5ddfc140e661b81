// Skin loading and the Select Skin flow of the main window.
#include <sys/resource.h>
#include <sys/stat.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "CoolButton.h"
#include "FEJpeg.h"
#include "Folders.h"
#include "RunLabel.h"
#include "SkinWriter.h"
#include "WindowTest.h"

namespace {

const QColor kBlue(0, 0, 200), kRed(200, 0, 0), kGreen(0, 160, 0), kGrey(90, 90, 90);

class SkinTest : public WindowTest {
 protected:
  QColor Background() const { return form->Sfondo->Picture().pixelColor(5, 5); }
  QColor PlayButton() const { return form->Playbtn->Glyph().pixelColor(5, 5); }
  QColor Display() const { return form->DISPimage->Picture().pixelColor(5, 5); }

  // A skin whose pictures have colour and whose Colors.ini has that colour as high text.
  void WriteColoredSkin(const std::string& name, const QColor& color) {
    WriteSkin(SkinFolder(name), color);
    WriteText(SkinFolder(name) + "Colors.ini",
              "[Colors]\nHighTEXT=" + std::to_string(QColorToColor(color)) + "\n");
  }

  void ClickSkin(const std::string& name) {
    const QList<QListWidgetItem*> found =
        form4.Skinbox->findItems(QString::fromStdString(name), Qt::MatchExactly);
    ASSERT_FALSE(found.empty()) << name;
    const QRect rect = form4.Skinbox->visualItemRect(found.front());
    QTest::mouseClick(form4.Skinbox->viewport(), Qt::LeftButton, {}, rect.center());
  }

  std::vector<std::string> ListedSkins() const {
    std::vector<std::string> names;
    for (int i = 0; i < form4.Skinbox->count(); ++i)
      names.push_back(form4.Skinbox->item(i)->text().toStdString());
    return names;
  }

  // Runs the Select Skin dialog; while it is open, during() drives it.
  void RunSelectSkin(const std::function<void()>& during) {
    QTimer::singleShot(0, [during] { during(); });
    // A dialog left open ends with 0, which fails the test.
    QTimer::singleShot(5000, &form4, [this] { form4.done(0); });
    form->SelectSkin1Click();
  }
};

TEST_F(SkinTest, SkinLackingOnlyTheBackgroundLoadsTheRestAndKeepsTheOldName) {
  WriteSkin(SkinFolder("Blue"), kBlue);
  WriteSkin(SkinFolder("Red"), kRed, {"IMG-Background.bmp"});
  form->LoadSkin(SkinFolder("Blue"));
  ASSERT_TRUE(messages.empty());
  ASSERT_EQ(form->SkinName, "Blue");

  form->LoadSkin(SkinFolder("Red"));
  EXPECT_EQ(messages, std::vector<std::string>{"Error loading Skin: " + SkinFolder("Red")});
  EXPECT_EQ(form->SkinName, "Blue");
  EXPECT_EQ(Background(), kBlue);
  EXPECT_EQ(PlayButton(), kRed);
  EXPECT_EQ(Display(), kRed);
  EXPECT_EQ(form->CDImage->Picture().pixelColor(5, 5), kRed);

  // A picture that is no bitmap fails the same way.
  WriteSkin(SkinFolder("Broken"), kGreen);
  WriteText(SkinFolder("Broken") + "btn-stop.bmp", "BM not really a bitmap");
  messages.clear();
  form->LoadSkin(SkinFolder("Broken"));
  EXPECT_EQ(messages, std::vector<std::string>{"Error loading Skin: " + SkinFolder("Broken")});
  EXPECT_EQ(PlayButton(), kGreen);
  EXPECT_EQ(form->Stopbtn->Glyph().pixelColor(5, 5), kRed);
  EXPECT_EQ(form->SkinName, "Blue");

  // At the first show the message waits for the event loop, so the show itself returns.
  messages.clear();
  form->LoadSkin(SkinFolder("Broken"), true);
  EXPECT_TRUE(messages.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(messages, std::vector<std::string>{"Error loading Skin: " + SkinFolder("Broken")});
}

TEST_F(SkinTest, FoldersAndFilesAreFoundWithoutRegardToCase) {
  WriteSkin(SkinFolder("DEFAULT"), kGreen);
  std::filesystem::rename(SkinFolder("DEFAULT") + "IMG-Default.bmp",
                          SkinFolder("DEFAULT") + "img-default.BMP");
  form->LoadSkin(SkinFolder("default"));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(form->SkinName, "default");
  EXPECT_EQ(form->CDImage->Picture().pixelColor(5, 5), kGreen);
  EXPECT_EQ(Background(), kGreen);
}

TEST_F(SkinTest, CancelAfterThreePreviewsRestoresImagesAndColours) {
  WriteColoredSkin("Alpha", kBlue);
  WriteColoredSkin("beta", kRed);
  WriteColoredSkin("Gamma", kGreen);
  WriteColoredSkin("Home", kGrey);
  form->LoadSkin(SkinFolder("Home"));
  form->LeggiSkinINI(SkinFolder("Home") + "Colors.ini");

  QColor lastPreviewBackground;
  TColor lastPreviewHigh = 0;
  int result = 0;
  RunSelectSkin([&] {
    ClickSkin("Alpha");
    ClickSkin("beta");
    ClickSkin("Gamma");
    lastPreviewBackground = Background();
    lastPreviewHigh = form->CDlbl->FontColor();
    QTest::mouseClick(form4.Cancelbtn, Qt::LeftButton);
    result = form4.result();
  });

  EXPECT_EQ(ListedSkins(), (std::vector<std::string>{"Alpha", "beta", "Gamma", "Home"}));
  EXPECT_EQ(lastPreviewBackground, kGreen);
  EXPECT_EQ(lastPreviewHigh, QColorToColor(kGreen));
  EXPECT_EQ(result, 2);
  EXPECT_EQ(form->SkinName, "Home");
  EXPECT_EQ(Background(), kGrey);
  EXPECT_EQ(PlayButton(), kGrey);
  EXPECT_EQ(form->CDlbl->FontColor(), QColorToColor(kGrey));
  EXPECT_EQ(form->Colors.HighText, QColorToColor(kGrey));
  EXPECT_TRUE(messages.empty());
}

TEST_F(SkinTest, OkKeepsTheLastPreviewAndWritesNothing) {
  WriteColoredSkin("Alpha", kBlue);
  WriteColoredSkin("Home", kGrey);
  form->LoadSkin(SkinFolder("Home"));
  const std::string homeColors = ReadText(SkinFolder("Home") + "Colors.ini");
  RunSelectSkin([&] {
    ClickSkin("Alpha");
    QTest::mouseClick(form4.OKbtn, Qt::LeftButton);
  });
  EXPECT_EQ(form->SkinName, "Alpha");
  EXPECT_EQ(Background(), kBlue);
  EXPECT_EQ(ReadText(SkinFolder("Home") + "Colors.ini"), homeColors);
}

TEST_F(SkinTest, NestedFolderIsListedByItsOwnNameAndFailsToLoad) {
  WriteColoredSkin("Blue", kBlue);
  WriteSkin(SkinFolder("Blue") + "old/", kRed);
  form->LoadSkin(SkinFolder("Blue"));
  RunSelectSkin([&] {
    ClickSkin("old");
    QTest::mouseClick(form4.OKbtn, Qt::LeftButton);
  });
  EXPECT_EQ(ListedSkins(), (std::vector<std::string>{"Blue", "old"}));
  EXPECT_EQ(messages, std::vector<std::string>{"Error loading Skin: " + SkinFolder("old")});
  EXPECT_EQ(form->SkinName, "Blue");
  EXPECT_EQ(Background(), kBlue);
}

// An 8-bit run-length BMP of the given size whose pixel data is rows (a grey palette).
std::string RleBmp(int width, int height, const std::string& rows) {
  std::string header(54 + 1024, '\0');
  const auto put = [&header](std::size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) header[at + i] = char(value >> (8 * i) & 0xFF);
  };
  header[0] = 'B';
  header[1] = 'M';
  put(2, uint32_t(header.size() + rows.size()), 4);
  put(10, uint32_t(header.size()), 4);
  put(14, 40, 4);
  put(18, uint32_t(width), 4);
  put(22, uint32_t(height), 4);
  put(26, 1, 2);
  put(28, 8, 2);
  put(30, 1, 4);  // RLE8
  put(34, uint32_t(rows.size()), 4);
  put(46, 256, 4);
  for (int i = 0; i < 256; ++i) put(54 + 4 * std::size_t(i), uint32_t(i * 0x010101), 4);
  return header + rows;
}

// Run-length data that really covers every row: runs of colour index `index`.
std::string FullRows(int width, int height, int index) {
  std::string data;
  for (int y = 0; y < height; ++y) {
    for (int left = width; left > 0; left -= 255) {
      data += char(std::min(left, 255));
      data += char(index);
    }
    data += std::string("\0\0", 2);
  }
  return data + std::string("\0\1", 2);
}

void WriteEverySkinPicture(const std::string& folder, const std::string& bytes) {
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".bmp") WriteText(entry.path().string(), bytes);
}

long PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

TEST_F(SkinTest, HostileSkinsAreRefusedAtOnceAndWithinBoundedMemory) {
  WriteSkin(SkinFolder("Blue"), kBlue);
  form->LoadSkin(SkinFolder("Blue"));
  ASSERT_TRUE(messages.empty());

  // A button picture that is a named pipe: refused unopened, never waited on.
  WriteSkin(SkinFolder("Pipe"), kRed);
  std::filesystem::remove(SkinFolder("Pipe") + "btn-play.bmp");
  ASSERT_EQ(mkfifo((SkinFolder("Pipe") + "btn-play.bmp").c_str(), 0644), 0);
  // A button strip cut off halfway.
  WriteSkin(SkinFolder("Cut"), kRed);
  const std::string strip = ReadText(SkinFolder("Cut") + "btn-stop.bmp");
  WriteText(SkinFolder("Cut") + "btn-stop.bmp", strip.substr(0, strip.size() / 2));
  // Pictures declaring 5000 x 5000 pixels that hold nothing but the end marker.
  WriteSkin(SkinFolder("Hollow"), kRed);
  WriteEverySkinPicture(SkinFolder("Hollow"), RleBmp(5000, 5000, std::string("\0\1", 2)));
  // The same within the size bound: the data must still describe every row.
  WriteSkin(SkinFolder("Hollow4000"), kRed);
  WriteText(SkinFolder("Hollow4000") + "IMG-Background.bmp",
            RleBmp(4000, 4000, std::string("\0\1", 2)));
  // Real pictures, each within bounds, but far too much together.
  WriteSkin(SkinFolder("Huge"), kRed);
  WriteEverySkinPicture(SkinFolder("Huge"), RleBmp(1500, 1500, FullRows(1500, 1500, 7)));

  for (const char* name : {"Pipe", "Cut", "Hollow", "Hollow4000", "Huge"}) {
    messages.clear();
    form->LoadSkin(SkinFolder(name));
    EXPECT_EQ(messages, std::vector<std::string>{"Error loading Skin: " + SkinFolder(name)});
    EXPECT_EQ(form->SkinName, "Blue") << name;
    EXPECT_EQ(Background(), kBlue) << name;
    if (std::string(name) == "Cut") {
      EXPECT_EQ(form->Stopbtn->Glyph().pixelColor(5, 5), kBlue) << "no half strip is shown";
    }
  }
#ifndef __SANITIZE_ADDRESS__
  // AddressSanitizer's shadow memory and quarantine count in the resident size.
  EXPECT_LT(PeakRssMb(), 150);
#endif

  // Run-length pictures that cover their rows load as any other.
  WriteSkin(SkinFolder("Rle"), kRed);
  WriteText(SkinFolder("Rle") + "IMG-Background.bmp", RleBmp(196, 170, FullRows(196, 170, 200)));
  messages.clear();
  form->LoadSkin(SkinFolder("Rle"));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Background(), QColor(200, 200, 200));
}

// A skin in the user's data folder is listed beside the shipped ones and wins over a shipped
// skin of its name; colours of a shipped skin that cannot be written go to the user's copy.
TEST_F(SkinTest, UserSkinsAndColoursLiveInTheUserDataFolder) {
  const std::string user = form->UserSkinsRoot;
  WriteColoredSkin("Alpha", kBlue);
  WriteColoredSkin("Beta", kRed);
  WriteSkin(user + "Beta/", kGreen);
  WriteSkin(user + "Mine/", kGrey);
  RunSelectSkin([&] {
    ClickSkin("Beta");
    QTest::mouseClick(form4.OKbtn, Qt::LeftButton);
  });
  EXPECT_EQ(ListedSkins(), (std::vector<std::string>{"Alpha", "Beta", "Mine"}));
  EXPECT_EQ(form->SkinName, "Beta");
  EXPECT_EQ(Background(), kGreen);

  const std::string shipped = SkinFolder("Alpha") + "Colors.ini";
  const std::string original = ReadText(shipped);
  chmod(shipped.c_str(), 0444);
  form->LoadSkin(form->SkinFolderOf("Alpha"));
  form->LeggiSkinINI(form->ColorsFile("Alpha", false));
  EXPECT_EQ(form->Colors.HighText, QColorToColor(kBlue));
  form->Colors.HighText = 0x123456;
  form->ScriviSkinINI();
  EXPECT_EQ(ReadText(shipped), original);
  EXPECT_NE(ReadText(user + "Alpha/Colors.ini").find("HighTEXT=1193046\n"), std::string::npos);
  form->Colors.HighText = 0;
  form->LeggiSkinINI(form->ColorsFile("Alpha", false));
  EXPECT_EQ(form->Colors.HighText, 0x123456) << "the user's copy is read first";
  EXPECT_TRUE(messages.empty());

  // An installed program folder is never written, whatever its files' permissions allow
  // (root may write anything).
  WriteColoredSkin("Gamma", kRed);
  WriteText(form->ProgramFolder + platform::kInstalledMark, "");
  const std::string gamma = ReadText(SkinFolder("Gamma") + "Colors.ini");
  form->SkinName = "Gamma";
  form->Colors.HighText = 0x654321;
  form->ScriviSkinINI();
  EXPECT_EQ(ReadText(SkinFolder("Gamma") + "Colors.ini"), gamma);
  EXPECT_NE(ReadText(user + "Gamma/Colors.ini").find("HighTEXT=6636321\n"), std::string::npos);
}

}  // namespace
