// Loading discs and songs: labels, song lists, lazy titles, album pictures.
#include <QLabel>
#include <QListWidget>
#include <filesystem>

#include "AlbumTest.h"
#include "FEJpeg.h"
#include "GradProgress.h"
#include "RunLabel.h"
#include "SkinWriter.h"

namespace {

using Lines = std::vector<std::string>;

class DiscTest : public AlbumTest {
 protected:
  DiscTest() {
    music = disk + "/Music";
    WriteFiles(music, {{"album/01.mp3", Tagged("Intro")},
                       {"album/02.mp3", Tagged("Outro")},
                       {"été live/x.mp3", Untagged()}});
    Load(music);
    engine.ClearCommands();
  }
  std::string music;
};

TEST_F(DiscTest, SameDiscAgainRebuildsItsSongsWithoutStopping) {
  form->CurrentRow = 2;
  form->SongList->clear();
  form->CaricaCD(1);
  EXPECT_EQ(form->CurrentRow, 1);
  EXPECT_EQ(Texts(form->SongList), (Lines{"1. Intro", "2. Outro"}));
  EXPECT_EQ(form->Songlbl->Caption(), "1. Intro");
  EXPECT_TRUE(Codes().empty());
}

TEST_F(DiscTest, AnotherDiscStopsAndShowsLoadingUntilASongLoads) {
  form->CaricaCD(2);
  EXPECT_EQ(Codes(), std::vector<int>{XA_MSG_COMMAND_STOP});
  // Only ASCII letters change case.
  EXPECT_EQ(form->CDlbl->Caption(), "2. éTé LIVE");
  EXPECT_EQ(form->Songlbl->Caption(), "LOADING DISC...");
  EXPECT_EQ(form->MicroCD->text(), QString::fromUtf8("2. éTé LIVE"));
  EXPECT_EQ(form->CurrentRow, 3);
  EXPECT_EQ(Texts(form->SongList), Lines{"1. x.mp3"});

  form->PosBar->SetPosition(200);
  form->lblDisplay2->setText("01:02");
  form->CaricaSong(form->CurrentRow);
  EXPECT_EQ(form->Songlbl->Caption(), "1. x.mp3");
  EXPECT_EQ(form->lblDisplay2->text(), "00:00");
  EXPECT_EQ(form->PosBar->Position(), 0);
  EXPECT_EQ(Opened(), Lines{music + "/été live/x.mp3"});
}

TEST_F(DiscTest, DiscOrRowWithoutSongsChangesNothing) {
  for (int disc : {0, -1, 3, 99}) form->CaricaCD(disc);
  for (int row : {0, 4, -2}) form->CaricaSong(row);
  EXPECT_TRUE(Codes().empty());
  EXPECT_EQ(form->CDlbl->Caption(), "1. ALBUM");
  EXPECT_EQ(form->Songlbl->Caption(), "1. Intro");
  EXPECT_EQ(form->CurrentRow, 1);
}

TEST_F(DiscTest, TitlesComeFromTheTagElseFromTheFileName) {
  std::map<std::string, std::string> files;
  for (int i = 1; i <= 6; ++i) files["Titles/0" + std::to_string(i) + ".mp3"] = Untagged();
  files["Titles/07 Song.mp3"] = Untagged();
  WriteFiles(disk, files);
  Load(disk + "/Titles");
  form->CaricaTitolo(7);
  EXPECT_EQ(form->TAB.Cells(3, 7), "7. 07 Song.mp3");

  WriteFiles(disk, {{"Titles/07 Song.mp3", Tagged("")}});
  form->CaricaTitolo(7);
  EXPECT_EQ(form->TAB.Cells(3, 7), "7. 07 Song");
  // Too small to hold a tag.
  WriteFiles(disk, {{"Titles/07 Song.mp3", std::string(128, 'a')}});
  form->CaricaTitolo(7);
  EXPECT_EQ(form->TAB.Cells(3, 7), "7. 07 Song");
  // Gone since the scan.
  std::filesystem::remove(disk + "/Titles/07 Song.mp3");
  form->CaricaTitolo(7);
  EXPECT_EQ(form->TAB.Cells(3, 7), "7. 07 Song");
  WriteFiles(disk, {{"Titles/07 Song.mp3", Tagged("Song Seven")}});
  form->CaricaTitolo(7);
  EXPECT_EQ(form->TAB.Cells(3, 7), "7. Song Seven");
}

class PictureTest : public DiscTest {
 protected:
  PictureTest() {
    form->ShowPage("page1");
    form->CDImage->LoadFromFile(SkinFolder("DEFAULT") + "IMG-Display.bmp");
  }
};

TEST_F(PictureTest, FirstJpegOfTheFolderWinsThenTheFirstBitmapThenTheSkin) {
  const std::string album = music + "/album/";
  WritePicture(album + "Cover.JPG", QColor(250, 0, 0));
  WritePicture(album + "back.jpg", QColor(0, 250, 0));
  WritePicture(album + "aaa.bmp", QColor(0, 0, 0));
  form->CaricaIMG(album);
  // back.jpg sorts before Cover.JPG; a JPEG keeps its colour only roughly.
  EXPECT_GT(PictureColor().green(), 200);
  EXPECT_LT(PictureColor().red(), 50);

  const std::string live = music + "/été live/";
  WritePicture(live + "only.bmp", QColor(250, 250, 0));
  form->CaricaIMG(live);
  EXPECT_EQ(PictureColor(), QColor(250, 250, 0));

  form->CaricaIMG(disk + "/");
  EXPECT_EQ(PictureColor(), QColor(0, 0, 200));
}

TEST_F(PictureTest, BrokenPictureLeavesThePreviousOne) {
  WritePicture(music + "/album/a.bmp", QColor(250, 250, 0));
  form->CaricaIMG(music + "/album/");
  WriteText(music + "/été live/cover.jpg", "no picture at all");
  form->CaricaIMG(music + "/été live/");
  EXPECT_EQ(PictureColor(), QColor(250, 250, 0));
}

TEST_F(PictureTest, LoadingADiscRefreshesThePictureOnlyOnTheImagePage) {
  WritePicture(music + "/été live/a.bmp", QColor(250, 250, 0));
  WritePicture(music + "/album/a.bmp", QColor(0, 250, 250));
  form->CaricaCD(2);
  EXPECT_EQ(PictureColor(), QColor(250, 250, 0));
  form->ShowPage("Page0");
  form->CaricaCD(1);
  EXPECT_EQ(PictureColor(), QColor(250, 250, 0));
  // The image page button shows the current song's folder.
  form->modeimagebtnClick();
  EXPECT_EQ(PictureColor(), QColor(0, 250, 250));
}

}  // namespace
