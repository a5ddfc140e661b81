// An album played through by the real engine on the paced null sink: in Album mode every
// song of both discs is heard once, in album order, and the player stops on the first song.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "FakeVolumeLayer.h"
#include "Form1.h"
#include "RunLabel.h"
#include "TestSongs.h"
#include "XaudioPlayer.h"

namespace {

TEST(Form1PlayThroughTest, AlbumModePlaysEveryDiscInOrderAndStopsAtTheEnd) {
  FakeVolumeLayer volumes;
  const std::string music = volumes.AddHardDisk("disk", 42) + "/Music";
  const auto song = [](const char* title) {
    return TTestSong{.Seconds = 0.8, .Kbps = 64, .Title = title};
  };
  ASSERT_TRUE(MakeSong(music + "/One/01.mp3", song("First")));
  ASSERT_TRUE(MakeSong(music + "/One/02.mp3", song("Second")));
  ASSERT_TRUE(MakeSong(music + "/Two/01.mp3", song("Third")));
  ASSERT_TRUE(MakeSong(music + "/Two/02.mp3", song("Fourth")));

  std::vector<std::string> messages;
  const auto savedShowMessage = TForm1::ShowMessage;
  TForm1::ShowMessage = [&](const std::string& text) { messages.push_back(text); };
  QApplication::setQuitOnLastWindowClosed(false);
  {
    TForm1 form(SONAVERA_SOURCE_DIR "/assets/runtime/", TXaudioEntryPoints::Engine());
    form.XAudio->SetPlayerEnvironmentString(XA_ENVIRONMENT_OUTPUT, XA_OUTPUT_NULL);
    // The title shown whenever the engine reports a song's first sound heard.
    std::vector<std::string> heard;
    const auto progress = form.XAudio->OnNotifyProgress;
    form.XAudio->OnNotifyProgress = [&](TXaudioPlayer* sender, uint8_t source, uint8_t code,
                                        int16_t value, const std::string& name) {
      progress(sender, source, code, value, name);
      if (code == XA_PROGRESS_INPUT_HEARD &&
          (heard.empty() || heard.back() != form.Songlbl->Caption()))
        heard.push_back(form.Songlbl->Caption());
    };
    form.modemodebtnClick();
    form.Session.Scanner.SourceRoot = music;
    form.LoadAlbum();

    const std::vector<std::string> album{"1. First", "2. Second", "1. Third", "2. Fourth"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard.size() >= album.size(); }, 20000));
    // After the last song the first one is loaded and left stopped.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return form.Session.CurrentRow == 1 && form.Songlbl->Caption() == "1. First"; },
        10000));
    QTest::qWait(1500);
    EXPECT_EQ(heard, album);
    EXPECT_FALSE(form.Session.Playing);
    EXPECT_EQ(form.CDlbl->Caption(), "1. ONE");
    EXPECT_TRUE(messages.empty());
    form.XAudio->Exit();
  }
  TForm1::ShowMessage = savedShowMessage;
}

}  // namespace
