// The sound server output against a private PulseAudio whose sink keeps real time (a pipe
// read out as it is played): what it reports as still to be heard, and the end of input
// timed by it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "EngineHarness.h"
#include "PrivatePulse.h"
#include "PulseOutput.h"
#include "TestMedia.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 44100;

double Ms(int frames) { return frames * 1000.0 / kRate; }
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

class PulseOutput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TTempDir>();
    song_ = MakeMp3(*dir_, "song.mp3", {1.0, kRate, 2, 440, false});
    other_ = MakeMp3(*dir_, "other.mp3", {1.0, 48000, 2, 440, false});
    server_ = std::make_unique<TPrivatePulse>(dir_->path());
    available_ = server_->Start();
  }
  static void TearDownTestSuite() {
    server_.reset();
    dir_.reset();
  }
  void SetUp() override {
    if (!available_) GTEST_SKIP() << "no PulseAudio server could be started here";
  }

  // Writes `ms` of silence in blocks as the output thread does.
  static void Play(xaudio::TPulseOutput& out, int ms) {
    const int frames = kRate / 20;
    const std::vector<float> block(static_cast<size_t>(frames) * 2, 0.0f);
    std::string error;
    for (int done = 0; done < ms; done += 50) ASSERT_TRUE(out.Write(block.data(), frames, error));
  }

  // Plays `song` for 0.4 s, pauses it for 0.4 s and resumes it.
  static void PlayPauseAndResume(TEngineHarness& engine, const std::string& song) {
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, song);
    engine.Send(XA_MSG_COMMAND_PLAY);
    ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PLAYING, 3s));
    std::this_thread::sleep_for(400ms);
    engine.Send(XA_MSG_COMMAND_PAUSE);
    ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PAUSED, 3s));
    std::this_thread::sleep_for(400ms);
    engine.Send(XA_MSG_COMMAND_PLAY);
  }

  static std::unique_ptr<TTempDir> dir_;
  static std::string song_, other_;
  static std::unique_ptr<TPrivatePulse> server_;
  static bool available_;
};

std::unique_ptr<TTempDir> PulseOutput::dir_;
std::string PulseOutput::song_, PulseOutput::other_;
std::unique_ptr<TPrivatePulse> PulseOutput::server_;
bool PulseOutput::available_ = false;

TEST_F(PulseOutput, DelayIsWhatTheServerHasStillToPlay) {
  xaudio::TPulseOutput out;
  std::string error;
  ASSERT_TRUE(out.Open("", error)) << error;
  ASSERT_TRUE(out.Start({kRate, 2}, error)) << error;
  const auto start = Clock::now();
  Play(out, 1000);
  // Writes keep pace with the sink once its buffer is full; what is left is still queued.
  const double written = Ms(Clock::now() - start);
  const double queued = Ms(out.Delay());
  EXPECT_GT(written + queued, 950.0);
  EXPECT_GT(queued, 100.0);
  EXPECT_LT(queued, 500.0);

  // Playing, it goes down as the clock runs.
  auto before = Clock::now();
  double held = Ms(out.Delay());
  std::this_thread::sleep_for(60ms);
  double now = Ms(out.Delay());
  EXPECT_NEAR(held - now, Ms(Clock::now() - before), 25.0);

  // Paused, it stays.
  out.Pause();
  held = Ms(out.Delay());
  std::this_thread::sleep_for(60ms);
  EXPECT_NEAR(Ms(out.Delay()), held, 10.0);
  out.Resume();

  // Drained, all of it has been heard.
  before = Clock::now();
  now = Ms(out.Delay());
  out.Drain();
  EXPECT_GT(Ms(Clock::now() - before), now - 25.0);
  EXPECT_LT(Ms(out.Delay()), 10.0);

  // Dropped, nothing is left.
  Play(out, 500);
  EXPECT_GT(Ms(out.Delay()), 100.0);
  out.Flush();
  EXPECT_LT(Ms(out.Delay()), 30.0);
}

// A write waiting for the server gives up at once when its sound is dropped, and writes
// wait again once the drop has been flushed: a Stop or a close is not held by the server.
TEST_F(PulseOutput, AnInterruptedWriteReturnsAtOnce) {
  xaudio::TPulseOutput out;
  std::string error;
  ASSERT_TRUE(out.Open("", error)) << error;
  ASSERT_TRUE(out.Start({kRate, 2}, error)) << error;
  const std::vector<float> second(static_cast<size_t>(kRate) * 2, 0.0f);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const auto start = Clock::now();
    auto writing = std::async(std::launch::async, [&] {
      std::string failure;
      return out.Write(second.data(), kRate, failure);
    });
    std::this_thread::sleep_for(100ms);
    out.Interrupt();
    ASSERT_EQ(writing.wait_for(2s), std::future_status::ready);
    EXPECT_TRUE(writing.get()) << "an interrupted write is no failure";
    EXPECT_LT(Ms(Clock::now() - start), 100.0 + 60.0);
    out.Flush();
  }
  // After the flush a write takes all of its sound again.
  const auto start = Clock::now();
  ASSERT_TRUE(out.Write(second.data(), kRate / 2, error)) << error;
  ASSERT_TRUE(out.Write(second.data(), kRate / 2, error)) << error;
  EXPECT_GT(Ms(Clock::now() - start) + Ms(out.Delay()), 900.0);
}

// A closing player may write to an output whose stream never started (the server stopped
// while it connected): the write fails with a message instead of asking a missing stream.
TEST_F(PulseOutput, AWriteWithoutAStreamFails) {
  xaudio::TPulseOutput out;
  std::string error;
  ASSERT_TRUE(out.Open("", error)) << error;
  const std::vector<float> block(static_cast<size_t>(kRate) / 10, 0.0f);
  EXPECT_FALSE(out.Write(block.data(), kRate / 20, error));
  EXPECT_NE(error.find("audio output pulse failed"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(out.Start({0, 2}, error));
  EXPECT_FALSE(out.Write(block.data(), kRate / 20, error));
  EXPECT_EQ(out.Delay(), 0);
}

// Pause, Resume, a new input and Stop fade the sound over a few milliseconds as heard at
// the sink, where cutting the wave would step by up to the tone's full amplitude.
TEST_F(PulseOutput, PauseResumeNewInputAndStopFadeWithoutAStep) {
  const std::string tone = MakeMp3(*dir_, "tone.mp3", {3.0, kRate, 2, 440, false});
  TEngineHarness engine("pulse");
  server_->ClearHeard();
  PlayPauseAndResume(engine, tone);
  std::this_thread::sleep_for(500ms);
  engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, tone);
  engine.Send(XA_MSG_COMMAND_PLAY);
  std::this_thread::sleep_for(500ms);
  engine.Send(XA_MSG_COMMAND_STOP);
  std::this_thread::sleep_for(400ms);
  const std::vector<int16_t> heard = server_->Heard();
  int steepest = 0;
  size_t quiet = 0, silences = 0, loud = 0;
  for (size_t i = 2; i < heard.size(); i += 2) {
    steepest = std::max(steepest, std::abs(heard[i] - heard[i - 2]));
    quiet = heard[i] == 0 ? quiet + 1 : 0;
    if (quiet == kRate / 5 && loud > 0) ++silences;
    if (std::abs(heard[i]) > 8000) ++loud;
  }
  EXPECT_EQ(silences, 2u) << "silent while paused and after the stop";
  EXPECT_GT(loud, static_cast<size_t>(kRate) / 4) << "sound before and after the pause";
  EXPECT_LT(steepest, 1200);
}

// The sound after a faded pause is queued again, not lost or heard twice: the whole song
// is heard, to within a couple of milliseconds of its length.
TEST_F(PulseOutput, APausedSongIsHeardWhole) {
  TEngineHarness engine("pulse");
  server_->ClearHeard();
  PlayPauseAndResume(engine, song_);
  ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_EOF, 3s));
  std::this_thread::sleep_for(400ms);
  const std::vector<int16_t> heard = server_->Heard();
  const auto sounding = std::count_if(heard.begin(), heard.end(), [](int16_t s) { return s != 0; });
  EXPECT_NEAR(static_cast<double>(sounding) / 2, kRate, kRate / 500);
}

// The server holds a quarter of a second; the end is still told only as it is heard.
TEST_F(PulseOutput, EndOfInputIsToldAsTheSongIsHeard) {
  TEngineHarness engine("pulse");
  const auto song = engine.PlayThrough(song_, 5s);
  ASSERT_TRUE(song);
  EXPECT_GT(Ms(song->eof.taken - song->playing.taken), 1000.0 - 120.0);
  // The time reaches the end soon after.
  engine.Send(XA_MSG_COMMAND_EXIT);
  const auto end = engine.WaitForEndPosition(2s);
  ASSERT_TRUE(end);
  EXPECT_LT(Ms(end->taken - song->eof.taken), 150.0);
}

// While the sound of one format plays out and the next waits, pausing holds both and
// dropping takes both.
TEST_F(PulseOutput, AChangeOfFormatPausesAndDropsAsOne) {
  xaudio::TPulseOutput out;
  std::string error;
  ASSERT_TRUE(out.Open("", error)) << error;
  ASSERT_TRUE(out.Start({kRate, 2}, error)) << error;
  Play(out, 300);
  ASSERT_TRUE(out.Start({48000, 2}, error)) << error;
  const std::vector<float> block(4800 * 2, 0.0f);
  ASSERT_TRUE(out.Write(block.data(), 4800, error));
  // Both are still to be heard, the old sound first.
  EXPECT_GT(Ms(out.Delay()), 250.0);
  out.Pause();
  const double held = Ms(out.Delay());
  std::this_thread::sleep_for(60ms);
  EXPECT_NEAR(Ms(out.Delay()), held, 10.0);
  out.Resume();
  out.Flush();
  EXPECT_LT(Ms(out.Delay()), 30.0);
  // The new format plays on after the drop, and drains.
  ASSERT_TRUE(out.Write(block.data(), 4800, error));
  const auto before = Clock::now();
  out.Drain();
  EXPECT_GT(Ms(Clock::now() - before), 50.0);
  EXPECT_LT(Ms(Clock::now() - before), 1000.0);
}

// An old stream that has drained before the new one is ready still hands over to it.
TEST_F(PulseOutput, AChangeOfFormatAfterAMomentOfSoundPlaysOn) {
  xaudio::TPulseOutput out;
  std::string error;
  ASSERT_TRUE(out.Open("", error)) << error;
  const std::vector<float> block(4800 * 2, 0.0f);
  for (int round = 0; round < 5; ++round) {
    ASSERT_TRUE(out.Start({kRate, 2}, error)) << error;
    ASSERT_TRUE(out.Write(block.data(), 44, error));
    ASSERT_TRUE(out.Start({48000, 2}, error)) << error;
    ASSERT_TRUE(out.Write(block.data(), 4800, error));
    // A new stream left corked would never drain.
    auto drained = std::async(std::launch::async, [&] { out.Drain(); });
    if (drained.wait_for(5s) != std::future_status::ready) {
      ADD_FAILURE() << "the new stream never played";
      std::_Exit(1);
    }
  }
}

// A song of another sample rate follows the one before at once: the server plays the new
// stream the moment the old one has drained, rather than after a close and a reopen.
TEST_F(PulseOutput, ADifferentSampleRateJoinsWithoutAGap) {
  server_->ClearHeard();
  TEngineHarness("pulse").PlayInTurn({song_, other_, song_});
  std::this_thread::sleep_for(300ms);
  const std::vector<int16_t> heard = server_->Heard();
  // The longest stretch of near silence between the first and the last sound; a 440 Hz tone
  // has none longer than a fraction of a millisecond.
  size_t first = heard.size(), last = 0;
  for (size_t i = 0; i + 1 < heard.size(); i += 2)
    if (std::abs(heard[i]) > 200) {
      first = std::min(first, i / 2);
      last = i / 2;
    }
  ASSERT_LT(first, last);
  int run = 0, longest = 0;
  for (size_t f = first; f <= last; ++f) {
    run = std::abs(heard[2 * f]) > 200 ? 0 : run + 1;
    longest = std::max(longest, run);
  }
  EXPECT_NEAR(Ms(static_cast<int>(last - first)), 3000.0, 30.0);
  EXPECT_LT(Ms(longest), 15.0);
}

}  // namespace
