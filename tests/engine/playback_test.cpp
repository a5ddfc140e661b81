// The real engine playing generated MP3 files into the null and WAV sinks.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "EngineHarness.h"
#include "TestMedia.h"

using namespace std::chrono_literals;

namespace {

int Hundredths(const TNotification& n) {
  const auto& t = n.message.data.input_timecode;
  return ((t.h * 60 + t.m) * 60 + t.s) * 100 + t.f;
}

bool IsTimecode(const TNotification& n) { return n.code() == XA_MSG_NOTIFY_INPUT_TIMECODE; }

class Playback : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TTempDir>();
    stereo_ = MakeMp3(*dir_, "stereo.mp3", {2.0, 44100, 2, 440, false});
    second_ = MakeMp3(*dir_, "second.mp3", {1.5, 44100, 2, 660, true});
    TTone marker{2.0, 44100, 2, 440, false};
    // Two seconds of silence, then two of tone: seeking shows where it landed.
    const std::string silence = dir_->File("silence.wav");
    const std::string tone = MakeWav(*dir_, "tone.wav", marker);
    std::system(("sox -n -r 44100 -c 2 -b 16 '" + silence + "' trim 0 2").c_str());
    const std::string joined = dir_->File("marker.wav");
    std::system(("sox '" + silence + "' '" + tone + "' '" + joined + "'").c_str());
    marker_ = dir_->File("marker.mp3");
    std::system(("lame --quiet -b 128 '" + joined + "' '" + marker_ + "'").c_str());
  }
  static void TearDownTestSuite() { dir_.reset(); }

  // Plays `files` one after the other into a WAV file and returns what was written.
  TWav PlayToWav(const std::vector<std::string>& files,
                 const std::function<void(TEngineHarness&)>& before = {}) {
    const std::string out = dir_->File("out.wav");
    {
      TEngineHarness engine(XA_OUTPUT_WAV_PREFIX + out);
      if (before) before(engine);
      engine.PlayInTurn(files);
      for (const auto& n : engine.seen()) EXPECT_NE(n.code(), XA_MSG_NOTIFY_ERROR) << n.text;
    }
    return ReadWav(out);
  }

  static std::unique_ptr<TTempDir> dir_;
  static std::string stereo_, second_, marker_;
};

std::unique_ptr<TTempDir> Playback::dir_;
std::string Playback::stereo_, Playback::second_, Playback::marker_;

TEST_F(Playback, OpenReportsDurationAndStreamWithoutPlaying) {
  struct TCase {
    TTone tone;
    int level, mode, bitrateLow, bitrateHigh;
  };
  const TCase cases[] = {
      {{5.0, 22050, 1, 300, false}, XA_STREAM_LEVEL_MPEG2, XA_STREAM_MODE_SINGLE_CHANNEL, 128, 128},
      {{3.0, 44100, 2, 440, false}, XA_STREAM_LEVEL_MPEG1, XA_STREAM_MODE_JOINT_STEREO, 128, 128},
      {{4.0, 44100, 2, 440, true}, XA_STREAM_LEVEL_MPEG1, XA_STREAM_MODE_JOINT_STEREO, 24, 200},
      {{1.0, 22050, 1, 300, true}, XA_STREAM_LEVEL_MPEG2, XA_STREAM_MODE_SINGLE_CHANNEL, 8, 160},
      {{1.0, 11025, 1, 200, false}, XA_STREAM_LEVEL_MPEG25, XA_STREAM_MODE_SINGLE_CHANNEL, 32, 160},
  };
  TEngineHarness engine(XA_OUTPUT_NULL);
  int index = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(index);
    const std::string file = MakeMp3(*dir_, "info" + std::to_string(index++) + ".mp3", c.tone);
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, file);
    auto duration = engine.WaitForCode(XA_MSG_NOTIFY_INPUT_DURATION, 5s);
    ASSERT_TRUE(duration);
    EXPECT_EQ(duration->message.data.duration, static_cast<uint32_t>(c.tone.seconds));
    auto stream = engine.WaitForCode(XA_MSG_NOTIFY_INPUT_STREAM_INFO, 5s);
    ASSERT_TRUE(stream);
    const auto& s = stream->message.data.input_stream_info;
    EXPECT_EQ(s.level, c.level);
    EXPECT_EQ(s.layer, 3);
    EXPECT_EQ(s.frequency, c.tone.rate);
    EXPECT_EQ(s.mode, c.mode);
    EXPECT_GE(s.bitrate, c.bitrateLow);
    EXPECT_LE(s.bitrate, c.bitrateHigh);
  }
  engine.Drain(200ms);
  for (const auto& n : engine.seen())
    if (n.code() == XA_MSG_NOTIFY_PLAYER_STATE) {
      EXPECT_NE(n.message.data.state, XA_PLAYER_STATE_PLAYING) << "opening must not play";
    }
}

TEST_F(Playback, PlaysToTheEndReportingTimeAndPosition) {
  // By default a timecode as each second is heard (a window showing seconds wakes once a
  // second); with a granularity of a tenth, one each tenth.
  for (const int granularity : {XA_DEFAULT_TIMECODE_GRANULARITY, 10}) {
    SCOPED_TRACE(granularity);
    TEngineHarness engine(XA_OUTPUT_NULL);
    // As the window runs it, so that a busy machine does not starve the reports.
    player_set_priority(engine.player(), XA_PRIORITY_HIGHEST);
    if (granularity != XA_DEFAULT_TIMECODE_GRANULARITY)
      engine.Send(XA_MSG_SET_INPUT_TIMECODE_GRANULARITY, granularity);
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, stereo_);
    engine.Send(XA_MSG_COMMAND_PLAY);
    ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PLAYING, 5s));
    ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 10s));
    // The end of input comes while the tail still sounds; time goes on to the very end.
    auto last = engine.WaitFor(
        [](const TNotification& n) {
          return n.code() == XA_MSG_NOTIFY_INPUT_POSITION &&
                 n.message.data.input_position.offset >= 400;
        },
        5s);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->message.data.input_position.range, 400u);

    // An output thread kept from running for a moment cannot report the step it missed, so
    // one or two skipped steps are let through; a rule that reports too seldom skips many,
    // and one that reports too often sends more than one a step.
    int previous = -1;
    int timecodes = 0;
    int skipped = 0;
    for (const auto& n : engine.seen()) {
      if (!IsTimecode(n)) continue;
      ++timecodes;
      if (previous >= 0 && Hundredths(n) / granularity > previous / granularity + 1) ++skipped;
      EXPECT_GE(Hundredths(n), previous);
      previous = Hundredths(n);
    }
    EXPECT_LE(skipped, 2);
    EXPECT_LE(timecodes, 200 / granularity + 4);
    EXPECT_GE(timecodes, 200 / granularity - 1);
    EXPECT_GE(previous, 190);
  }
}

TEST_F(Playback, StopThenPlayRestartsAndPauseThenPlayResumes) {
  TEngineHarness engine(XA_OUTPUT_NULL);
  engine.Send(XA_MSG_SET_INPUT_TIMECODE_GRANULARITY, 10);
  engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, stereo_);
  engine.Send(XA_MSG_COMMAND_PLAY);
  auto at = [](int hundredths) {
    return [hundredths](const TNotification& n) {
      return IsTimecode(n) && Hundredths(n) >= hundredths;
    };
  };
  ASSERT_TRUE(engine.WaitFor(at(40), 5s));
  engine.Send(XA_MSG_COMMAND_STOP);
  ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_STOPPED, 5s));
  engine.Send(XA_MSG_COMMAND_PLAY);
  ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PLAYING, 5s));
  auto first = engine.WaitFor(IsTimecode, 5s);
  ASSERT_TRUE(first);
  EXPECT_LT(Hundredths(*first), 20) << "Stop then Play starts from the beginning";

  ASSERT_TRUE(engine.WaitFor(at(50), 5s));
  engine.Send(XA_MSG_COMMAND_PAUSE);
  ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PAUSED, 5s));
  engine.Drain(100ms);
  int pausedAt = 0;
  for (const auto& n : engine.seen())
    if (IsTimecode(n)) pausedAt = Hundredths(n);
  engine.ClearSeen();
  engine.Drain(400ms);
  for (const auto& n : engine.seen()) EXPECT_FALSE(IsTimecode(n)) << "time stands while paused";

  engine.Send(XA_MSG_COMMAND_PLAY);
  ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PLAYING, 5s));
  auto resumed = engine.WaitFor(IsTimecode, 5s);
  ASSERT_TRUE(resumed);
  EXPECT_GE(Hundredths(*resumed), pausedAt);
  EXPECT_LE(Hundredths(*resumed), pausedAt + 20);
  EXPECT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 5s));
}

TEST_F(Playback, SeekLandsAtTheFractionOfTheSong) {
  // Seeking before Play to 190/400 of four seconds: 0.1 s of silence, then the tone.
  const std::string out = dir_->File("seek.wav");
  {
    TEngineHarness engine(XA_OUTPUT_WAV_PREFIX + out);
    player_set_priority(engine.player(), XA_PRIORITY_HIGHEST);
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, marker_);
    engine.Send(XA_MSG_COMMAND_INPUT_SEEK, 190, 400);
    engine.Send(XA_MSG_COMMAND_PLAY);
    ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 10s));
    engine.Send(XA_MSG_COMMAND_EXIT);
    ASSERT_TRUE(engine.WaitForCode(XA_MSG_NOTIFY_EXITED, 10s));
  }
  const TWav seeked = ReadWav(out);
  const double tolerance = 0.01 * 4.0 * 44100;
  size_t onset = 0;
  while (onset < seeked.frames() && Rms(seeked, onset, 256) < 0.05) onset += 64;
  EXPECT_NEAR(static_cast<double>(onset), 0.1 * 44100, tolerance);
  // The tone to its end, not counting the silence a busy machine may have let in (the WAV
  // sink records a starved output as a listener would hear it).
  const TWav tone{seeked.rate, seeked.channels,
                  std::vector<int16_t>(seeked.samples.begin() + 2 * onset, seeked.samples.end())};
  EXPECT_NEAR(static_cast<double>(WithoutSilence(tone).size() / 2), 2.0 * 44100, tolerance);
}

TEST_F(Playback, SeekWhilePlayingMovesTimeAndPosition) {
  TEngineHarness engine(XA_OUTPUT_NULL);
  engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, marker_);
  engine.Send(XA_MSG_COMMAND_PLAY);
  ASSERT_TRUE(engine.WaitFor(IsTimecode, 5s));
  engine.Send(XA_MSG_COMMAND_INPUT_SEEK, 300, 400);
  auto moved = engine.WaitFor(
      [](const TNotification& n) { return IsTimecode(n) && Hundredths(n) >= 290; }, 5s);
  ASSERT_TRUE(moved);
  EXPECT_LE(Hundredths(*moved), 310);
  engine.ClearSeen();
  ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 5s));
  for (const auto& n : engine.seen())
    if (n.code() == XA_MSG_NOTIFY_INPUT_POSITION) {
      EXPECT_GE(n.message.data.input_position.offset, 297u) << "no stale position after a seek";
    }
}

TEST_F(Playback, VolumeScalesTheSoundAndZeroIsSilent) {
  const TWav full = PlayToWav({stereo_});
  const TWav half = PlayToWav({stereo_}, [](TEngineHarness& engine) {
    engine.Send(XA_MSG_SET_OUTPUT_VOLUME, XA_VOLUME_UNCHANGED, 50, XA_VOLUME_UNCHANGED);
  });
  const TWav silent = PlayToWav({stereo_}, [](TEngineHarness& engine) {
    engine.Send(XA_MSG_SET_OUTPUT_VOLUME, XA_VOLUME_UNCHANGED, 0, XA_VOLUME_UNCHANGED);
  });
  ASSERT_EQ(full.frames(), half.frames());
  ASSERT_EQ(full.frames(), silent.frames());
  const size_t middle = full.frames() / 4;
  const double reference = Rms(full, middle, full.frames() / 2);
  EXPECT_NEAR(reference, 0.5 / std::sqrt(2.0), 0.03);
  const double ratio = Rms(half, middle, half.frames() / 2) / reference;
  EXPECT_GT(ratio, 0.05);
  EXPECT_LT(ratio, 0.3) << "half the bar is well below half the amplitude";
  for (int16_t s : silent.samples) ASSERT_EQ(s, 0);
}

TEST_F(Playback, AVolumeChangeWhilePlayingRampsWithoutAStep) {
  const std::string out = dir_->File("ramp.wav");
  {
    TEngineHarness engine(XA_OUTPUT_WAV_PREFIX + out);
    engine.Send(XA_MSG_SET_INPUT_TIMECODE_GRANULARITY, 10);
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, stereo_);
    engine.Send(XA_MSG_COMMAND_PLAY);
    ASSERT_TRUE(engine.WaitFor(
        [](const TNotification& n) { return IsTimecode(n) && Hundredths(n) >= 50; }, 5s));
    engine.Send(XA_MSG_SET_OUTPUT_VOLUME, XA_VOLUME_UNCHANGED, 50, XA_VOLUME_UNCHANGED);
    ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 5s));
    engine.Send(XA_MSG_COMMAND_EXIT);
    ASSERT_TRUE(engine.WaitForCode(XA_MSG_NOTIFY_EXITED, 5s));
  }
  const TWav w = ReadWav(out);
  ASSERT_GT(w.frames(), static_cast<size_t>(44100));
  // The tone's own steps stay under 0.5 x 2 pi x 440 / 44100 of full scale (about 1,030);
  // a gain stepping from 1 to an eighth at once moves up to 14,000 in one sample.
  int steepest = 0;
  for (size_t i = 1; i < w.frames(); ++i)
    steepest = std::max(steepest, std::abs(w.samples[2 * i] - w.samples[2 * i - 2]));
  EXPECT_LT(steepest, 1200);
  EXPECT_LT(Rms(w, w.frames() - 4410, 4410), 0.5 / std::sqrt(2.0) * 0.2) << "turned down";
}

TEST_F(Playback, EqualizerCutOnLowBandsLowersOnlyLowTones) {
  const std::string low = MakeMp3(*dir_, "low.mp3", {1.0, 44100, 2, 150, false});
  const std::string high = MakeMp3(*dir_, "high.mp3", {1.0, 44100, 2, 6000, false});
  auto cutLow = [](TEngineHarness& engine) {
    XA_EqualizerInfo eq{};
    for (int b = 0; b < 4; ++b) eq.left[b] = eq.right[b] = -40;
    control_message_send_P(engine.player(), XA_MSG_SET_CODEC_EQUALIZER, &eq);
  };
  auto level = [](const TWav& w) { return Rms(w, w.frames() / 4, w.frames() / 2); };
  const double lowRatio = level(PlayToWav({low}, cutLow)) / level(PlayToWav({low}));
  const double highRatio = level(PlayToWav({high}, cutLow)) / level(PlayToWav({high}));
  EXPECT_NEAR(20 * std::log10(lowRatio), -12.0, 2.0);
  EXPECT_NEAR(20 * std::log10(highRatio), 0.0, 1.0);
}

TEST_F(Playback, ConsecutiveSongsJoinWithoutAGap) {
  const TWav both = PlayToWav({stereo_, second_});
  EXPECT_EQ(both.rate, 44100);
  EXPECT_EQ(both.channels, 2);
  // At most 5 ms of silence may come in between.
  EXPECT_GE(both.frames(), static_cast<size_t>(3.5 * 44100));
  EXPECT_LE(both.frames(), static_cast<size_t>(3.505 * 44100));
  // No silence where the songs meet.
  const size_t join = 2 * 44100;
  EXPECT_GT(Rms(both, join - 512, 1024), 0.2);
}

TEST_F(Playback, NewInputStopsTheOldTimeAndTheTailPlaysOut) {
  TEngineHarness engine(XA_OUTPUT_NULL);
  engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, second_);
  engine.Send(XA_MSG_COMMAND_PLAY);
  ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 5s));
  engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, stereo_);
  ASSERT_TRUE(engine.WaitForCode(XA_MSG_NOTIFY_INPUT_DURATION, 5s));
  engine.ClearSeen();
  engine.Drain(600ms);
  for (const auto& n : engine.seen())
    if (IsTimecode(n)) {
      EXPECT_EQ(Hundredths(n), 0) << "the old song's time is no longer reported";
    }
}

}  // namespace
