// sonavera-play drives the real engine: an album of two songs into a WAV file.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "ToolRun.h"

namespace {

TToolRun Play(const QStringList& args) {
  return RunTool(SONAVERA_BINARY_DIR "/bin/sonavera-play", args);
}

// Sample frames in a WAV file, from sox's own reading of it.
long Frames(const QString& wav) { return std::stol(RunTool("soxi", {"-s", wav}).out); }

class SonaveraPlay : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    songs_ = {Song("01.mp3", "1.7", "440", "-b 128"), Song("02.mp3", "1.2", "880", "-V 4")};
  }

  QString Song(const QString& name, const QString& seconds, const QString& hz,
               const QString& mode) {
    const QString wav = dir_.filePath(name + ".wav");
    EXPECT_EQ(RunTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", seconds,
                              "sine", hz, "vol", "0.5"})
                  .status,
              0);
    sourceFrames_ += Frames(wav);
    const QString mp3 = dir_.filePath(name);
    QStringList args = mode.split(' ');
    args << "--quiet" << wav << mp3;
    EXPECT_EQ(RunTool("lame", args).status, 0);
    return mp3;
  }

  QTemporaryDir dir_;
  QStringList songs_;
  long sourceFrames_ = 0;
};

TEST_F(SonaveraPlay, PlaysAnAlbumIntoAWavFileWithoutGaps) {
  const QString out = dir_.filePath("album.wav");
  const TToolRun r = Play(QStringList{"--output", "wav:" + out, "--volume", "100"} + songs_);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Frames(out), sourceFrames_);
  // One line a notification: both songs opened, each played to its end.
  size_t ends = 0;
  for (size_t at = 0; (at = r.out.find("player-state 3\n", at)) != std::string::npos; ++at) ++ends;
  EXPECT_EQ(ends, 2u);
  EXPECT_NE(r.out.find("duration 1\n"), std::string::npos);
  EXPECT_NE(r.out.find("stream-info level 1 layer 3 bitrate 128 frequency 44100"),
            std::string::npos);
}

TEST_F(SonaveraPlay, FailsWithTheEngineMessage) {
  const TToolRun missing =
      Play({"--output", "null-fast", songs_[0], dir_.filePath("missing.mp3"), songs_[1]});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("missing.mp3: cannot open the file"), std::string::npos)
      << missing.err;

  EXPECT_EQ(Play({"--eq", "1,2,3", songs_[0]}).status, 2);
  EXPECT_EQ(Play({}).status, 2);
}

}  // namespace
