// Loading discs and songs: labels, song lists, lazy titles, album pictures.
#include <QLabel>
#include <QListWidget>
#include <filesystem>

#include "AlbumTest.h"
#include "FEJpeg.h"
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

TEST_F(DiscTest, OnlyAnotherDiscStopsAndShowsLoading) {
  form->Session.CurrentRow = 2;
  form->Session.CaricaCD(1);
  EXPECT_EQ(form->Session.CurrentRow, 1);
  EXPECT_EQ(Texts(form->SongList), (Lines{"1. Intro", "2. Outro"}));
  EXPECT_EQ(form->Songlbl->Caption(), "1. Intro");
  // Nothing happens for discs and rows that are not in the table.
  for (int disc : {0, -1, 3}) form->Session.CaricaCD(disc);
  for (int row : {0, 4}) form->Session.CaricaSong(row);
  EXPECT_TRUE(Codes().empty());

  form->Session.CaricaCD(2);
  EXPECT_EQ(Codes(), std::vector<int>{XA_MSG_COMMAND_STOP});
  EXPECT_EQ(form->CDlbl->Caption(), "2. éTé LIVE");  // only ASCII letters change case
  EXPECT_EQ(form->Songlbl->Caption(), "LOADING DISC...");
  EXPECT_EQ(form->Session.CurrentRow, 3);
  form->Session.CaricaSong(form->Session.CurrentRow);
  EXPECT_EQ(form->Songlbl->Caption(), "1. x.mp3");
  EXPECT_EQ(Opened(), Lines{music + "/été live/x.mp3"});
}

TEST_F(DiscTest, TitlesComeFromTheTagElseFromTheFileName) {
  std::map<std::string, std::string> files;
  for (int i = 1; i <= 6; ++i) files["Titles/0" + std::to_string(i) + ".mp3"] = Untagged();
  files["Titles/07 Song.mp3"] = Untagged();
  WriteFiles(disk, files);
  Load(disk + "/Titles");
  form->Session.CaricaTitolo(7);
  EXPECT_EQ(form->Session.TAB.Cells(3, 7), "7. 07 Song.mp3");
  WriteFiles(disk, {{"Titles/07 Song.mp3", Tagged("")}});
  form->Session.CaricaTitolo(7);
  EXPECT_EQ(form->Session.TAB.Cells(3, 7), "7. 07 Song");
  // A file gone since the scan is named like one without a tag title.
  std::filesystem::remove(disk + "/Titles/07 Song.mp3");
  form->Session.CaricaTitolo(7);
  EXPECT_EQ(form->Session.TAB.Cells(3, 7), "7. 07 Song");
}

TEST_F(DiscTest, PictureIsTheFirstJpegElseTheFirstBitmapElseTheSkins) {
  form->ShowPage("page1");
  const std::string album = music + "/album/", live = music + "/été live/";
  WritePicture(album + "Cover.JPG", QColor(250, 0, 0));
  WritePicture(album + "back.jpg", QColor(0, 250, 0));
  WritePicture(album + "aaa.bmp", QColor(0, 0, 0));
  WritePicture(live + "only.bmp", QColor(250, 250, 0));
  form->CaricaIMG(album);
  EXPECT_GT(PictureColor().green(), 200);  // back.jpg sorts first; JPEG colours are rough
  EXPECT_LT(PictureColor().red(), 50);
  form->Session.CaricaCD(2);
  EXPECT_EQ(PictureColor(), QColor(250, 250, 0));
  form->CaricaIMG(disk + "/");
  EXPECT_EQ(PictureColor(), QColor(0, 0, 200));
  // A broken picture leaves the one shown.
  WriteText(disk + "/broken.jpg", "no picture at all");
  form->CaricaIMG(disk + "/");
  EXPECT_EQ(PictureColor(), QColor(0, 0, 200));

  // Off the image page a disc keeps the picture; the image page button shows the song's.
  form->ShowPage("Page0");
  form->Session.CaricaCD(1);
  EXPECT_EQ(PictureColor(), QColor(0, 0, 200));
  form->modeimagebtnClick();
  EXPECT_GT(PictureColor().green(), 200);
}

}  // namespace
