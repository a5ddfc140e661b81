// The road of one song on the real engine: a generated album is scanned, its first song
// opened and played (on the paced null sink).
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "FakeVolumeLayer.h"
#include "Form1.h"
#include "RunLabel.h"
#include "TestSongs.h"
#include "XaudioPlayer.h"

namespace {

TEST(RealEngineTest, LoadedAlbumOpensAndPlaysItsFirstSong) {
  FakeVolumeLayer volumes;
  const std::string disk = volumes.AddHardDisk("disk", 42);
  // A second of tone each, with a title tag.
  const auto song = [](const char* title) {
    return TTestSong{.Channels = 2, .Title = title, .Id3v1Only = true};
  };
  ASSERT_TRUE(MakeSong(disk + "/Album/CD1/01 Morning.mp3", song("Morning")));
  ASSERT_TRUE(MakeSong(disk + "/Album/CD1/02 Evening.mp3", song("Evening")));

  QTemporaryDir program;
  const std::string programFolder = program.path().toStdString() + "/";
  std::filesystem::copy(SONAVERA_SOURCE_DIR "/assets/runtime/pictures", programFolder + "pictures");
  const auto savedMessage = TForm1::ShowMessage;
  std::vector<std::string> messages;
  TForm1::ShowMessage = [&](const std::string& text) { messages.push_back(text); };
  {
    TForm1 form(programFolder, TXaudioEntryPoints::Engine());
    TXaudioPlayer* player = form.XAudio;
    std::vector<std::string> names;
    bool playing = false;
    const auto nameHandler = player->OnNotifyInputName;
    player->OnNotifyInputName = [&](TXaudioPlayer* sender, const std::string& name) {
      names.push_back(name);
      if (nameHandler) nameHandler(sender, name);
    };
    const auto stateHandler = player->OnNotifyPlayerState;
    player->OnNotifyPlayerState = [&](TXaudioPlayer* sender, int32_t state) {
      playing = playing || state == XA_PLAYER_STATE_PLAYING;
      if (stateHandler) stateHandler(sender, state);
    };
    player->SetPlayerEnvironmentString("OUTPUT", "null");

    form.Session.Scanner.SourceRoot = disk + "/Album";
    form.LoadAlbum();
    EXPECT_EQ(form.CDlbl->Caption(), "1. CD1");
    EXPECT_EQ(form.Songlbl->Caption(), "1. Morning");
    QTRY_VERIFY_WITH_TIMEOUT(playing, 10000);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), disk + "/Album/CD1/01 Morning.mp3");
    player->Stop();
    player->Exit();
  }
  TForm1::ShowMessage = savedMessage;
  EXPECT_TRUE(messages.empty());
}

}  // namespace
