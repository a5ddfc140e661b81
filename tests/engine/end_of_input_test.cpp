// When the engine reports the end of an input, and what commands then do to the sound still
// on its way. The WAV sink records what a paced device would play, gaps included.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "EngineHarness.h"
#include "TestMedia.h"

using namespace std::chrono_literals;

namespace {

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

class EndOfInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TTempDir>();
    first_ = MakeMp3(*dir_, "first.mp3", {1.0, 44100, 2, 440, false});
    second_ = MakeMp3(*dir_, "second.mp3", {0.6, 44100, 2, 660, true});
    third_ = MakeMp3(*dir_, "third.mp3", {0.4, 44100, 2, 550, false});
    mono_ = MakeMp3(*dir_, "mono.mp3", {0.5, 44100, 1, 330, false});
    junk_ = dir_->File("junk.mp3");
    WriteBytes(junk_, std::string(3000, 'x'));
  }
  static void TearDownTestSuite() { dir_.reset(); }

  static std::string Wav() { return XA_OUTPUT_WAV_PREFIX + dir_->File("out.wav"); }

  static TWav Joined(const std::vector<std::string>& files) {
    TEngineHarness(Wav()).PlayInTurn(files);
    return ReadWav(dir_->File("out.wav"));
  }

  static std::unique_ptr<TTempDir> dir_;
  static std::string first_, second_, third_, mono_, junk_;
};

std::unique_ptr<TTempDir> EndOfInput::dir_;
std::string EndOfInput::first_, EndOfInput::second_, EndOfInput::third_, EndOfInput::mono_,
    EndOfInput::junk_;

bool Heard(const TNotification& n, const std::string& name) {
  return n.code() == XA_MSG_NOTIFY_PROGRESS &&
         n.message.data.progress.code == XA_PROGRESS_INPUT_HEARD &&
         n.message.data.progress.source == XA_SOURCE_OUTPUT && n.text == name;
}

TEST_F(EndOfInput, IsReportedAsTheLastSoundLeavesAndExitFollowsTheSound) {
  TEngineHarness engine(XA_OUTPUT_NULL);
  const auto song = engine.PlayThrough(first_, 5s);
  ASSERT_TRUE(song);
  // The end is told 90 ms before the last sound is heard.
  EXPECT_GT(Seconds(song->eof.taken - song->playing.taken), 1.0 - 0.15);
  engine.Send(XA_MSG_COMMAND_EXIT);
  const auto heard = engine.WaitForEndPosition(2s);
  ASSERT_TRUE(heard);
  EXPECT_LT(Seconds(heard->taken - song->eof.taken), 0.15);
  // Exit plays out what is left, and no more.
  const auto exited = engine.WaitForCode(XA_MSG_NOTIFY_EXITED, 2s);
  ASSERT_TRUE(exited);
  EXPECT_LT(Seconds(exited->taken - heard->taken), 0.05);
}

TEST_F(EndOfInput, SongsAnsweredAtOnceJoinSampleExact) {
  auto alone = [](const std::string& file) { return WithoutSilence(Joined({file})); };
  const std::vector<int16_t> a = alone(first_), b = alone(second_), c = alone(third_);
  ASSERT_EQ(a.size(), 2u * 44100);
  // A mono song plays on the stereo device as it is, both sides alike.
  const std::vector<int16_t> m = alone(mono_);
  ASSERT_EQ(m.size(), 2u * 44100 / 2);
  const std::vector<std::pair<std::vector<std::string>, std::vector<const std::vector<int16_t>*>>>
      cases = {{{first_, second_}, {&a, &b}},
               {{first_, second_, third_}, {&a, &b, &c}},
               {{mono_, first_}, {&m, &a}}};
  for (const auto& [files, parts] : cases) {
    std::vector<int16_t> expected;
    for (const auto* part : parts) expected.insert(expected.end(), part->begin(), part->end());
    // Every sample once, in order; where a song follows, at most 5 ms of silence.
    const int64_t inserted = InsertedSilence(Joined(files), expected, 44100 / 200);
    EXPECT_GE(inserted, 0) << files.size() << " songs: sound lost, repeated or cut off";
    EXPECT_LE(inserted, 44100 / 200 * static_cast<int64_t>(files.size() - 1));
  }
}

TEST_F(EndOfInput, CommandsAfterTheEndLetTheTailPlayOut) {
  const std::vector<int16_t> alone = WithoutSilence(Joined({first_}));
  const std::vector<std::vector<std::pair<int, std::string>>> answers = {
      {{XA_MSG_COMMAND_STOP, ""}},
      {{XA_MSG_COMMAND_INPUT_OPEN, second_}},
      {{XA_MSG_COMMAND_INPUT_OPEN, junk_}, {XA_MSG_COMMAND_STOP, ""}},
  };
  for (const auto& answer : answers) {
    SCOPED_TRACE(answer.front().second);
    {
      TEngineHarness engine(Wav());
      player_set_priority(engine.player(), XA_PRIORITY_HIGHEST);
      engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, first_);
      engine.Send(XA_MSG_COMMAND_PLAY);
      ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 5s));
      for (const auto& [code, text] : answer)
        if (text.empty())
          engine.Send(code);
        else
          engine.SendText(code, text);
      engine.Drain(300ms);
      engine.Send(XA_MSG_COMMAND_EXIT);
      ASSERT_TRUE(engine.WaitForCode(XA_MSG_NOTIFY_EXITED, 5s));
    }
    // Every sample heard, up to the last; a busy machine may add a gap, nothing else.
    EXPECT_GE(InsertedSilence(ReadWav(dir_->File("out.wav")), alone, 44100), 0);
  }
}

// The end comes early enough to feed the next song, and the next song is announced when
// its first sample is heard, which on a paced sink is exactly one song's length after the
// first song's first sample.
TEST_F(EndOfInput, TheNextSongIsAnnouncedWhenItsFirstSampleIsHeard) {
  TEngineHarness engine(Wav());
  player_set_priority(engine.player(), XA_PRIORITY_HIGHEST);
  engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, first_);
  engine.Send(XA_MSG_COMMAND_PLAY);
  const auto heardFirst = engine.WaitFor([](auto& n) { return Heard(n, first_); }, 5s);
  const auto eof = engine.WaitForState(XA_PLAYER_STATE_EOF, 5s);
  ASSERT_TRUE(heardFirst && eof);
  engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, second_);
  engine.Send(XA_MSG_COMMAND_PLAY);
  const auto heardSecond = engine.WaitFor([](auto& n) { return Heard(n, second_); }, 5s);
  ASSERT_TRUE(heardSecond);
  EXPECT_NEAR(Seconds(heardSecond->taken - heardFirst->taken), 1.0, 0.010);
  EXPECT_NEAR(Seconds(heardSecond->taken - eof->taken), 0.090, 0.015);
  // Said once: nothing else is announced of either song.
  engine.Drain(200ms);
  int announced = 0;
  for (const auto& n : engine.seen()) announced += n.code() == XA_MSG_NOTIFY_PROGRESS;
  EXPECT_EQ(announced, 2);
}

// Next at the very end of a song, after the following one was queued but before it was
// heard: the tail and the queued song go, and the chosen song follows at once.
TEST_F(EndOfInput, AnInputOpenedBeforeTheQueuedOneIsHeardDropsBoth) {
  auto alone = [](const std::string& file) { return WithoutSilence(Joined({file})); };
  const std::vector<int16_t> a = alone(first_), c = alone(third_);
  {
    TEngineHarness engine(Wav());
    player_set_priority(engine.player(), XA_PRIORITY_HIGHEST);
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, first_);
    engine.Send(XA_MSG_COMMAND_PLAY);
    ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 5s));
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, second_);
    engine.Send(XA_MSG_COMMAND_PLAY);
    ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PLAYING, 2s));
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, third_);
    engine.Send(XA_MSG_COMMAND_PLAY);
    ASSERT_TRUE(engine.WaitFor([](auto& n) { return Heard(n, third_); }, 5s));
    ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 5s));
    engine.Send(XA_MSG_COMMAND_EXIT);
    ASSERT_TRUE(engine.WaitForCode(XA_MSG_NOTIFY_EXITED, 5s));
    for (const auto& n : engine.seen()) EXPECT_FALSE(Heard(n, second_));
  }
  const std::vector<int16_t> heard = WithoutSilence(ReadWav(dir_->File("out.wav")));
  ASSERT_GE(heard.size(), c.size());
  const size_t cut = heard.size() - c.size();
  EXPECT_TRUE(std::equal(c.begin(), c.end(), heard.begin() + cut)) << "the chosen song whole";
  // The first song up to its last 90 ms and a little more, and nothing of the second.
  EXPECT_LE(cut, a.size());
  EXPECT_GE(cut, a.size() - 2 * 44100 * 15 / 100);
  EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + cut, a.begin()));
}

// While a song plays, Stop and another input cut it at once.
TEST_F(EndOfInput, StopOrAnotherInputDuringPlayCutsTheSound) {
  for (const int command : {XA_MSG_COMMAND_STOP, XA_MSG_COMMAND_INPUT_OPEN}) {
    SCOPED_TRACE(command);
    std::chrono::steady_clock::duration played{};
    {
      TEngineHarness engine(Wav());
      player_set_priority(engine.player(), XA_PRIORITY_HIGHEST);
      engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, first_);
      engine.Send(XA_MSG_COMMAND_PLAY);
      const auto playing = engine.WaitForState(XA_PLAYER_STATE_PLAYING, 5s);
      ASSERT_TRUE(playing);
      ASSERT_TRUE(engine.WaitFor(
          [](const TNotification& n) {
            return n.code() == XA_MSG_NOTIFY_INPUT_POSITION &&
                   n.message.data.input_position.offset >= 160;
          },
          5s));
      if (command == XA_MSG_COMMAND_STOP)
        engine.Send(command);
      else
        engine.SendText(command, second_);
      played = std::chrono::steady_clock::now() - playing->taken;
      engine.Drain(300ms);
      engine.Send(XA_MSG_COMMAND_EXIT);
      ASSERT_TRUE(engine.WaitForCode(XA_MSG_NOTIFY_EXITED, 5s));
    }
    const TWav heard = ReadWav(dir_->File("out.wav"));
    const double after = static_cast<double>(heard.frames()) / heard.rate - Seconds(played);
    EXPECT_LT(after, 0.05 + 0.03) << "heard this long after the command";
    EXPECT_GT(after, -0.05) << "less heard than played";
  }
}

}  // namespace
