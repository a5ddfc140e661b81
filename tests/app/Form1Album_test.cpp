// Loading and unloading the album: table, disc list, labels and the decoder commands.
#include <QLabel>
#include <QListWidget>
#include <algorithm>

#include "AlbumTest.h"
#include "GradProgress.h"
#include "RunLabel.h"

namespace {

using Lines = std::vector<std::string>;

class LoadAlbumTest : public AlbumTest {
 protected:
  LoadAlbumTest() {
    music = disk + "/Music";
    WriteFiles(music, {{"Pop/01.mp3", Tagged("First Light")},
                       {"Pop/02.mp3", Untagged()},
                       {"Rock/a.mp3", Tagged("Alpha")},
                       {"Rock/notes.txt", "not a song"}});
  }
  std::string music;
};

TEST_F(LoadAlbumTest, ScanOpensTheFirstSongOfTheFirstDisc) {
  form->PosBar->SetPosition(300);
  Load(music);
  // Titles are built for the loaded disc only.
  EXPECT_EQ(Rows(), (Lines{"1 1 /Pop/01.mp3 1. First Light", "1 2 /Pop/02.mp3 2. 02.mp3",
                           "2 1 /Rock/a.mp3 "}));
  EXPECT_EQ(Texts(form->CDList), (Lines{"1. Pop", "2. Rock"}));
  EXPECT_EQ(Texts(form->SongList), (Lines{"1. First Light", "2. 02.mp3"}));
  EXPECT_EQ(form->CDlbl->Caption(), "1. POP");
  EXPECT_EQ(form->MicroSong->text(), "1. First Light");
  EXPECT_EQ(form->SerialNumber, "1234");
  EXPECT_EQ(form->CurrTime->text(), "00:00");
  EXPECT_EQ(form->PosBar->Position(), 0);
  EXPECT_EQ(form->Session.CurrentSongPath(), music + "/Pop/01.mp3");
  EXPECT_EQ(Codes().front(), XA_MSG_COMMAND_STOP);
  EXPECT_EQ(Codes().back(), XA_MSG_COMMAND_PLAY);
  EXPECT_EQ(Opened(), Lines{music + "/Pop/01.mp3"});

  engine.ClearCommands();
  form->Session.AutoStart = false;
  Load(music);
  EXPECT_EQ(Opened().size(), 1u);
  EXPECT_NE(Codes().back(), XA_MSG_COMMAND_PLAY);
}

TEST_F(LoadAlbumTest, DriveRootSourceGivesPathsWithoutLeadingSlash) {
  const std::string cd = volumes.AddCdRom("cd");
  volumes.InsertDisc(cd, 0x80000001u, {{"top.mp3", Untagged()}, {"Live/x.mp3", Untagged()}});
  Load(cd + "/");
  EXPECT_EQ(Rows(), (Lines{"1 1 top.mp3 1. top.mp3", "2 1 Live/x.mp3 "}));
  EXPECT_EQ(form->Session.CurrentSongPath(), cd + "/top.mp3");
  EXPECT_EQ(form->SerialNumber, "-2147483647");
}

TEST_F(LoadAlbumTest, FirstLoadReopensTheRememberedRowWhenTheTableHasIt) {
  ASSERT_TRUE(form->FirstStart);
  form->Session.LastRow = 3;
  Load(music);
  EXPECT_EQ(form->Session.CurrentRow, 3);
  EXPECT_EQ(form->CDlbl->Caption(), "2. ROCK");
  EXPECT_EQ(form->Songlbl->Caption(), "1. Alpha");
  for (int row : {0, -4, 4}) {
    form->Session.LastRow = row;
    Load(music);
    EXPECT_EQ(form->Songlbl->Caption(), "1. First Light") << row;
  }
  form->FirstStart = false;
  form->Session.LastRow = 3;
  Load(music);
  EXPECT_EQ(form->Session.CurrentRow, 1);
}

TEST_F(LoadAlbumTest, SourceWithoutSongsEndsInTheEmptyState) {
  Load(music);
  WritePicture(music + "/cover.bmp", QColor(200, 0, 0));
  form->CaricaIMG(music + "/");
  WriteFiles(disk, {{"Empty/Deeper/readme.txt", "x"}});
  engine.ClearCommands();

  Load(disk + "/Empty");
  EXPECT_EQ(form->Session.TAB.RowCount(), 2);
  EXPECT_EQ(form->CDList->count() + form->SongList->count(), 0);
  EXPECT_EQ(form->Session.CurrentRow, 1);
  EXPECT_EQ(form->SerialNumber, "empty");
  EXPECT_EQ(form->CDlbl->Caption(), "NO CD LOADED");
  EXPECT_EQ(form->Songlbl->Caption(), "NO SONG LOADED");
  EXPECT_EQ(form->MicroCD->text(), "NO CD LOADED");
  for (const QLabel* label : {form->CurrTime, form->lblDisplay2, form->Totlbl})
    EXPECT_EQ(label->text(), "00:00");
  EXPECT_EQ(PictureColor(), QColor(0, 0, 200));  // the skin's default picture
  const std::vector<int> codes = Codes();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), XA_MSG_COMMAND_INPUT_CLOSE), 1);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), XA_MSG_COMMAND_INPUT_OPEN), 0);
}

}  // namespace
