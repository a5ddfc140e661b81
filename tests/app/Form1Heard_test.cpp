// The window on the real engine, its sound recorded through SONAVERA_OUTPUT=wav:...: song
// ends are heard whole, songs follow without gaps, and Next Song acts on the song heard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "FakeVolumeLayer.h"
#include "Form1.h"
#include "GradProgress.h"
#include "RunLabel.h"
#include "TestSongs.h"
#include "XaudioPlayer.h"

namespace {

constexpr int kRate = 44100;

// Frames of the 16-bit WAV file at path, and whether one stretch of silence longer than
// 5 ms lies inside the sound.
struct TRecording {
  size_t Frames = 0;
  bool Gap = false;
};

TRecording ReadRecording(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  if (bytes.size() < 44) return {};
  const int channels = static_cast<unsigned char>(bytes[22]);
  const auto* samples = reinterpret_cast<const int16_t*>(bytes.constData() + 44);
  TRecording r;
  r.Frames = static_cast<size_t>(bytes.size() - 44) / 2 / channels;
  size_t quiet = 0;
  for (size_t f = 0; f < r.Frames; ++f) {
    quiet = std::abs(samples[f * channels]) < 30 ? quiet + 1 : 0;
    if (quiet > kRate / 200 && f + 1 < r.Frames) r.Gap = true;
  }
  return r;
}

class Form1HeardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    music_ = volumes_.AddHardDisk("disk", 42) + "/Music";
    recording_ = volumes_.AddHardDisk("rec", 43) + "/heard.wav";
    setenv("SONAVERA_OUTPUT", ("wav:" + recording_).c_str(), 1);
    savedShowMessage_ = TForm1::ShowMessage;
    TForm1::ShowMessage = [this](const std::string& text) { messages_.push_back(text); };
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override {
    unsetenv("SONAVERA_OUTPUT");
    TForm1::ShowMessage = savedShowMessage_;
  }

  void Song(const std::string& relative, const std::string& title, double seconds,
            int frequency = 440) {
    ASSERT_TRUE(MakeSong(music_ + "/" + relative,
                         TTestSong{.Seconds = seconds, .Frequency = frequency, .Title = title}));
  }

  // Loads the album and lets `play` drive the window; then waits for the sound to end
  // and reads what was heard.
  TRecording Listen(const std::function<void(TForm1&)>& play, bool album = false) {
    {
      auto form = std::make_unique<TForm1>(SONAVERA_SOURCE_DIR "/assets/runtime/",
                                           TXaudioEntryPoints::Engine());
      if (album) form->modemodebtnClick();
      form->Session.Scanner.SourceRoot = music_;
      form->LoadAlbum();
      play(*form);
      // Stopped for good: the last sound has been heard.
      EXPECT_TRUE(QTest::qWaitFor([&] { return !form->Session.Playing; }, 20000));
      QTest::qWait(300);
    }
    return ReadRecording(recording_);
  }

  FakeVolumeLayer volumes_;
  std::string music_;
  std::string recording_;
  std::vector<std::string> messages_;
  std::function<void(const std::string&)> savedShowMessage_;
};

TEST_F(Form1HeardTest, AlbumModeRecordsEverySongOfBothDiscsWhole) {
  Song("One/01.mp3", "First", 0.6);
  Song("One/02.mp3", "Second", 0.5, 550);
  Song("Two/01.mp3", "Third", 0.6, 660);
  Song("Two/02.mp3", "Fourth", 0.5, 330);
  std::vector<std::string> titles;
  const TRecording heard = Listen(
      [&](TForm1& form) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
              if (titles.empty() || titles.back() != form.Songlbl->Caption())
                titles.push_back(form.Songlbl->Caption());
              return titles.size() >= 5;
            },
            20000));
      },
      true);
  const std::vector<std::string> expected{"1. First", "2. Second", "1. Third", "2. Fourth",
                                          "1. First"};
  EXPECT_EQ(titles, expected);
  // Every song whole, each following the one before within 5 ms.
  EXPECT_GE(heard.Frames, static_cast<size_t>(2.2 * kRate));
  EXPECT_LE(heard.Frames, static_cast<size_t>(2.2 * kRate) + 3 * kRate / 200);
  EXPECT_FALSE(heard.Gap);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Form1HeardTest, NextSongShortlyBeforeTheEndGivesTheFollowingSong) {
  Song("One/01.mp3", "A", 1.0);
  Song("One/02.mp3", "B", 1.0, 550);
  Song("One/03.mp3", "C", 0.5, 660);
  std::vector<std::string> titles;
  Listen([&](TForm1& form) {
    // 0.3 s before the end of the first song, as heard.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.PosBar->Position() >= 280; }, 5000));
    ASSERT_EQ(form.Songlbl->Caption(), "1. A");
    form.fwdbtnClick();
    EXPECT_EQ(form.Songlbl->Caption(), "2. B");
    // Where the first song would have ended, the second goes on.
    QTest::qWait(500);
    EXPECT_EQ(form.Songlbl->Caption(), "2. B");
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.Songlbl->Caption() == "3. C"; }, 5000));
  });
}

TEST_F(Form1HeardTest, AnUnplayableSongAfterAGoodOneLeavesTheGoodOneWhole) {
  Song("One/01.mp3", "Good", 0.8);
  QFile junk(QString::fromStdString(music_ + "/One/02.mp3"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(4000, 'x'));
  junk.close();
  const TRecording heard = Listen([&](TForm1& form) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return !messages_.empty(); }, 10000));
    EXPECT_FALSE(form.Session.Playing);
  });
  EXPECT_EQ(heard.Frames, static_cast<size_t>(0.8 * kRate));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].rfind("Error ", 0), 0u) << messages_[0];
}

}  // namespace
