// Files the engine cannot play: each gets an error notification (where it is an error)
// and the engine goes on taking commands.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "EngineHarness.h"
#include "TestMedia.h"

using namespace std::chrono_literals;

namespace {

class BadInput : public ::testing::Test {
 protected:
  // The engine still answers, and a good file still plays after the bad one.
  void ExpectStillWorking(TEngineHarness& engine) {
    engine.Send(XA_MSG_COMMAND_PING, 4242);
    auto pong = engine.WaitForCode(XA_MSG_NOTIFY_PONG, 5s);
    ASSERT_TRUE(pong);
    EXPECT_EQ(pong->message.data.tag, 4242u);
    const std::string good = MakeMp3(dir_, "good.mp3", {0.5, 44100, 1, 440, false});
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, good);
    engine.Send(XA_MSG_COMMAND_PLAY);
    EXPECT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 5s));
  }

  // Opens `path` and tries to play it; returns the error text, empty when none came.
  std::string OpenAndPlay(TEngineHarness& engine, const std::string& path) {
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, path);
    engine.Send(XA_MSG_COMMAND_PLAY);
    engine.Send(XA_MSG_COMMAND_PING, 1);
    auto pong = engine.WaitForCode(XA_MSG_NOTIFY_PONG, 5s);
    EXPECT_TRUE(pong);
    for (const auto& n : engine.seen())
      if (n.code() == XA_MSG_NOTIFY_ERROR) return n.text;
    return "";
  }

  TTempDir dir_;
};

TEST_F(BadInput, FilesThatCannotBeOpenedOrAreNotMpegAudio) {
  std::mt19937 random(7);
  std::string noise(50000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  WriteBytes(dir_.File("noise.mp3"), noise);
  WriteBytes(dir_.File("empty.mp3"), "");
  std::filesystem::create_directory(dir_.File("folder.mp3"));
  ASSERT_EQ(mkfifo(dir_.File("pipe.mp3").c_str(), 0600), 0);
  const struct {
    std::string name;
    std::string error;
  } cases[] = {
      {"missing.mp3", "No such file or directory"},
      {"empty.mp3", "not MPEG audio"},
      {"noise.mp3", "not MPEG audio"},
      {"folder.mp3", "folder"},
      {"pipe.mp3", "not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TEngineHarness engine(XA_OUTPUT_NULL_FAST);
    const std::string error = OpenAndPlay(engine, dir_.File(c.name));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    bool refused = false;
    for (const auto& n : engine.seen()) {
      EXPECT_FALSE(n.code() == XA_MSG_NOTIFY_PLAYER_STATE &&
                   n.message.data.state == XA_PLAYER_STATE_PLAYING);
      refused |=
          n.code() == XA_MSG_NOTIFY_NACK && n.message.data.nack.command == XA_MSG_COMMAND_PLAY;
    }
    EXPECT_TRUE(refused) << "Play without an input is refused";
    ExpectStillWorking(engine);
  }
}

TEST_F(BadInput, TruncatedFilePlaysWhatIsThereWithItsTrueLength) {
  // Constant and variable bit rate: the info frame claims the whole length either way.
  for (const bool vbr : {false, true}) {
    SCOPED_TRACE(vbr);
    const double seconds = vbr ? 6.0 : 3.0;
    const std::string whole = MakeMp3(dir_, "whole.mp3", {seconds, 44100, 2, 440, vbr});
    const std::string bytes = ReadBytes(whole);
    // Cut in the middle of a frame, well before the end the info frame announces.
    WriteBytes(dir_.File("cut.mp3"), bytes.substr(0, bytes.size() / 3 + 77));
    TEngineHarness engine(XA_OUTPUT_NULL_FAST);
    EXPECT_EQ(OpenAndPlay(engine, dir_.File("cut.mp3")), "");
    int durations = 0;
    for (const auto& n : engine.seen()) {
      if (n.code() != XA_MSG_NOTIFY_INPUT_DURATION) continue;
      ++durations;
      EXPECT_NEAR(n.message.data.duration, seconds / 3, vbr ? 1 : 0);
    }
    EXPECT_EQ(durations, 1);
    EXPECT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 5s));
    ExpectStillWorking(engine);
  }
}

TEST_F(BadInput, FileDeletedOrCutWhilePlaying) {
  const std::string deleted = MakeMp3(dir_, "deleted.mp3", {2.0, 44100, 2, 440, false});
  const std::string cut = MakeMp3(dir_, "cut.mp3", {4.0, 44100, 2, 440, false});
  TEngineHarness engine(XA_OUTPUT_NULL);
  auto playing = [&](const std::string& path) {
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, path);
    engine.Send(XA_MSG_COMMAND_PLAY);
    return engine.WaitForState(XA_PLAYER_STATE_PLAYING, 5s).has_value();
  };
  // A deleted file lives on while it is open: it plays to its end.
  ASSERT_TRUE(playing(deleted));
  std::filesystem::remove(deleted);
  EXPECT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 5s));
  // A file cut short under the decoder ends early: at its new end, or with a read error
  // when the decoder was about to look beyond it.
  ASSERT_TRUE(playing(cut));
  ASSERT_EQ(truncate(cut.c_str(), 20000), 0);
  auto end = engine.WaitFor(
      [](const TNotification& n) {
        return n.code() == XA_MSG_NOTIFY_ERROR || (n.code() == XA_MSG_NOTIFY_PLAYER_STATE &&
                                                   n.message.data.state == XA_PLAYER_STATE_EOF);
      },
      5s);
  EXPECT_TRUE(end);
  ExpectStillWorking(engine);
}

}  // namespace
