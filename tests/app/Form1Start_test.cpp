// The first showing and activation of the main window, and its closing.
#include <QCheckBox>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "FEJpeg.h"
#include "FileLabel.h"
#include "GradProgress.h"
#include "RunLabel.h"
#include "SettingsTest.h"
#include "SkinWriter.h"
#include "WindowTest.h"

namespace {

TEST_F(WindowTest, FirstShowLoadsTheSkinAndItsColoursOnce) {
  WriteSkin(SkinFolder("DEFAULT"), QColor(10, 20, 30));
  WriteText(SkinFolder("DEFAULT") + "Colors.ini", "[Colors]\nHighTEXT=255\n");
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(form->Sfondo->Picture().pixelColor(5, 5), QColor(10, 20, 30));
  EXPECT_EQ(form->CDlbl->FontColor(), 255);
  EXPECT_EQ(form->PosBar->Position(), 400);
  EXPECT_EQ(form->VolBar->toolTip(), "Volume: 50%");
  const std::vector<FakeXaudioCommand> commands = engine.Commands();
  EXPECT_TRUE(std::any_of(commands.begin(), commands.end(), [](const FakeXaudioCommand& c) {
    return c.Code == XA_MSG_SET_CODEC_QUALITY && c.Ints == std::vector<int>{0};
  }));

  // The title labels start their runs once the window is up.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form->FirstStart; }, 5000));
  EXPECT_TRUE(form->CDlbl->Running());

  // Later shows load nothing again.
  form->hide();
  WriteSkin(SkinFolder("DEFAULT"), QColor(200, 20, 30));
  form->show();
  EXPECT_EQ(form->Sfondo->Picture().pixelColor(5, 5), QColor(10, 20, 30));
}

}  // namespace

namespace {

class Form1Start : public SettingsTest {
 protected:
  bool Sent(int code) const {
    const std::vector<int> codes = engine.CommandCodes();
    return std::find(codes.begin(), codes.end(), code) != codes.end();
  }
};

TEST_F(Form1Start, FirstStartWithoutMusicSaysWhereToChooseIt) {
  WriteAlbum();
  Start();
  EXPECT_FALSE(form->Session.AlbumLoaded());
  EXPECT_EQ(form->CDlbl->Caption(), "NO CD LOADED");
  EXPECT_EQ(form->Songlbl->Caption(), TForm1::kChooseMusic);
  EXPECT_TRUE(form->CDlbl->Running());
  EXPECT_TRUE(form->Songlbl->Running());
  EXPECT_TRUE(form->AutoPTimer->isActive());
  EXPECT_FALSE(Sent(XA_MSG_COMMAND_INPUT_OPEN));
}

// The music folder is opened on its first disc, without playing, and only on a first start.
TEST_F(Form1Start, FirstStartShowsTheMusicFolderWithoutPlaying) {
  const std::string music = dir.path().toStdString() + "/home/Music";
  WriteFiles(music, {{"Disc/a.mp3", std::string(300, 'a')}, {"Disc/b.mp3", std::string(300, 'a')}});
  Start();
  ASSERT_TRUE(form->Session.AlbumLoaded());
  EXPECT_EQ(form->Session.CurrentSongPath(), music + "/Disc/a.mp3");
  EXPECT_EQ(form2->CurrDir->FileName(), music);
  EXPECT_FALSE(Sent(XA_MSG_COMMAND_PLAY));
  EXPECT_TRUE(form->Session.AutoStart) << "the setting itself stays";
  form->close();
  EXPECT_NE(Settings().find("\nLastPos=0\n"), std::string::npos);
  EXPECT_NE(Settings().find("\nAutoStart=1\n"), std::string::npos);
  Restart();
  EXPECT_FALSE(form->Session.AlbumLoaded()) << "Remember last position is off";
}

TEST_F(Form1Start, TheFirstArgumentNamesTheSourceByItsFolder) {
  const std::string album = WriteAlbum();
  WriteText(SettingsPath(), "[General]\nLastAlbum=" + album + "\nLastRow=2\n");
  Start({"setup", album + "/Disc1/a.mp3"});
  EXPECT_EQ(form2->CurrDir->FileName(), album) << "the keyword changes no source";
  EXPECT_EQ(form->Session.LastRow, 2);
  Restart({"/ab"});
  EXPECT_EQ(form2->CurrDir->FileName(), album) << "three characters are too short";
  Restart({"SETUP"});
  EXPECT_EQ(form2->CurrDir->FileName(), "") << "a path without a folder part";
  EXPECT_EQ(form->Session.LastRow, 1);

  // Open with: the named song plays, with "Remember last position" off and AutoStart off.
  form3->Autost->setChecked(false);
  engine.ClearCommands();
  Restart({album + "/Disc2/d.mp3"});
  EXPECT_EQ(form2->CurrDir->FileName(), album + "/Disc2/");
  EXPECT_EQ(form->Session.CurrentSongPath(), album + "/Disc2/d.mp3");
  EXPECT_TRUE(Sent(XA_MSG_COMMAND_PLAY));
  // A folder plays from its first song, in shuffle mode too; a song that is gone leaves the
  // window empty, with its folder chosen.
  form->shufflebtnClick();
  engine.ClearCommands();
  Restart({album + "/Disc2"});
  EXPECT_EQ(form2->CurrDir->FileName(), album + "/Disc2/");
  EXPECT_EQ(form->Session.CurrentSongPath(), album + "/Disc2/c.mp3");
  EXPECT_TRUE(Sent(XA_MSG_COMMAND_PLAY));
  Restart({album + "/Gone/x.mp3"});
  EXPECT_EQ(form2->CurrDir->FileName(), album + "/Gone/");
  EXPECT_FALSE(form->Session.AlbumLoaded());
  form->close();
  EXPECT_NE(Settings().find("\nLastAlbum=" + album + "/Gone/\n"), std::string::npos);
}

// Shuffled, the song comes back by its path and at its second; LastRow keeps naming the
// song's row in disc and track order for older versions.
TEST_F(Form1Start, ResumeBringsBackTheSameSongAtItsSecondInShuffleMode) {
  const std::string album = WriteAlbum();
  WriteText(SettingsPath(), "[General]\nLastPos=1\nModeShuffle=1\nLastAlbum=" + album +
                                "\nLastRow=1\nLastSong=/Disc2/d.mp3\nLastSecond=42\n");
  Start();
  EXPECT_EQ(form->Session.CurrentSongPath(), album + "/Disc2/d.mp3");
  EXPECT_FALSE(Sent(XA_MSG_COMMAND_PLAY)) << "it waits for the song's length";
  engine.PostDuration(200);
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_TRUE(Sent(XA_MSG_COMMAND_INPUT_SEEK));
  EXPECT_TRUE(Sent(XA_MSG_COMMAND_PLAY));
  engine.PostTimecode(0, 1, 7);
  ASSERT_TRUE(engine.WaitDrained());
  form->close();
  EXPECT_NE(Settings().find("\nLastRow=4\n"), std::string::npos);
  EXPECT_NE(Settings().find("\nLastSong=/Disc2/d.mp3\n"), std::string::npos);
  EXPECT_NE(Settings().find("\nLastSecond=67\n"), std::string::npos);

  // An older file without the new keys reopens its row from the start.
  WriteText(SettingsPath(), "[General]\nLastPos=1\nLastAlbum=" + album + "\nLastRow=3\n");
  engine.ClearCommands();
  Restart();
  EXPECT_EQ(form->Session.CurrentSongPath(), album + "/Disc2/c.mp3");
  EXPECT_TRUE(Sent(XA_MSG_COMMAND_PLAY));
}

TEST_F(Form1Start, TheRememberedSongIsReopened) {
  const std::string album = WriteAlbum();
  WriteText(SettingsPath(), "[General]\nLastPos=1\nLastAlbum=" + album + "\nLastRow=4\n");
  // What may wait comes once, after the song was sent to play.
  std::vector<bool> startedAfterPlay;
  form->OnStarted = [&] { startedAfterPlay.push_back(Sent(XA_MSG_COMMAND_PLAY)); };
  Start();
  EXPECT_EQ(form->Session.CurrentRow, 4);
  EXPECT_EQ(form->Session.CurrentSongPath(), album + "/Disc2/d.mp3");
  EXPECT_EQ(form->SongList->count(), 3);
  EXPECT_TRUE(Sent(XA_MSG_COMMAND_PLAY));
  EXPECT_EQ(startedAfterPlay, std::vector<bool>{true});

  // Closing while it plays stops the engine before it lets it go, and keeps the row.
  engine.PostPlayerState(XA_PLAYER_STATE_PLAYING);
  ASSERT_TRUE(engine.WaitDrained());
  engine.ClearCommands();
  form->close();
  EXPECT_EQ(engine.CommandCodes(), (std::vector<int>{XA_MSG_COMMAND_STOP, XA_MSG_COMMAND_EXIT}));
  EXPECT_NE(Settings().find("\nLastRow=4\n"), std::string::npos);
}

TEST_F(Form1Start, ARowNoLongerInTheAlbumFallsBackToItsFirstSong) {
  const std::string album = WriteAlbum();
  WriteText(SettingsPath(), "[General]\nLastPos=1\nLastAlbum=" + album + "\nLastRow=9\n");
  Start();
  EXPECT_EQ(form->Session.CurrentRow, 1);
  EXPECT_EQ(form->Session.CurrentSongPath(), album + "/Disc1/a.mp3");
  EXPECT_EQ(form->SongList->count(), 2);
}

TEST_F(Form1Start, AVanishedSourceFallsBackToTheFirstCdRom) {
  WriteText(SettingsPath(), "[General]\nLastPos=1\nLastAlbum=" + disk + "/gone\n");
  Start();
  EXPECT_EQ(form2->CurrDir->FileName(), disk + "/gone") << "no CD-ROM drive to fall back to";
  EXPECT_EQ(form->CDlbl->Caption(), "NO CD LOADED");
  EXPECT_TRUE(form->CDlbl->Running());

  const std::string drive = volumes.AddCdRom("cdrom");
  Restart();
  EXPECT_EQ(form2->CurrDir->FileName(), drive);
  EXPECT_FALSE(form->Session.AlbumLoaded());
  EXPECT_TRUE(form->Songlbl->Running());
  EXPECT_TRUE(messages.empty());
}

}  // namespace
