// Skin loading and the Select Skin flow of the main window.
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "CoolButton.h"
#include "FEJpeg.h"
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

}  // namespace
