// The sound server output against a private PulseAudio whose sink keeps real time (a pipe
// read out as it is played): what it reports as still to be heard, and the end of input
// timed by it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "EngineHarness.h"
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
    const std::string home = dir_->File("home");
    const std::string socket = dir_->File("native");
    const std::string pipe = dir_->File("sink");
    server_ = fork();
    if (server_ == 0) {
      // The server goes with the test, however that ends.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      setenv("HOME", home.c_str(), 1);
      setenv("XDG_RUNTIME_DIR", dir_->path().c_str(), 1);
      setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
      const std::string native = "module-native-protocol-unix auth-anonymous=1 socket=" + socket;
      const std::string log = "--log-target=file:" + dir_->File("server.log");
      // A pipe taken out at the pace of the clock plays like a sound card; a null sink
      // would hold far more and could not drop what it holds.
      const std::string sink = "module-pipe-sink file=" + pipe +
                               " sink_name=heard format=s16le rate=44100 channels=2"
                               " use_system_clock_for_timing=yes";
      execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
             "--use-pid-file=no", "-L", native.c_str(), "-L", sink.c_str(), log.c_str(), nullptr);
      _exit(127);
    }
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    listener_ = std::thread([pipe] {
      int fd = -1;
      for (int i = 0; i < 100 && fd < 0; ++i) {
        fd = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
        if (fd < 0) std::this_thread::sleep_for(50ms);
      }
      int16_t sound[2048];
      while (fd >= 0 && !stop_) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        const ssize_t n = read(fd, sound, sizeof sound);
        if (n == 0) break;
        if (n < 0) continue;
        std::lock_guard lock(heardMutex_);
        heard_.insert(heard_.end(), sound, sound + n / 2);
      }
      if (fd >= 0) close(fd);
    });
    for (int i = 0; i < 100 && !available_; ++i) {
      std::string error;
      available_ = xaudio::TPulseOutput().Open("", error);
      if (!available_) std::this_thread::sleep_for(100ms);
    }
  }
  static void TearDownTestSuite() {
    unsetenv("PULSE_SERVER");
    if (server_ > 0) {
      kill(server_, SIGTERM);
      waitpid(server_, nullptr, 0);
    }
    stop_ = true;
    if (listener_.joinable()) listener_.join();
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

  static std::unique_ptr<TTempDir> dir_;
  static std::string song_, other_;
  static pid_t server_;
  static bool available_;
  static std::thread listener_;
  static std::atomic<bool> stop_;
  // What the sink played (16-bit stereo at 44.1 kHz), silence included.
  static std::mutex heardMutex_;
  static std::vector<int16_t> heard_;
};

std::unique_ptr<TTempDir> PulseOutput::dir_;
std::string PulseOutput::song_, PulseOutput::other_;
pid_t PulseOutput::server_ = 0;
bool PulseOutput::available_ = false;
std::thread PulseOutput::listener_;
std::atomic<bool> PulseOutput::stop_{false};
std::mutex PulseOutput::heardMutex_;
std::vector<int16_t> PulseOutput::heard_;

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
  {
    std::lock_guard lock(heardMutex_);
    heard_.clear();
  }
  TEngineHarness("pulse").PlayInTurn({song_, other_, song_});
  std::this_thread::sleep_for(300ms);
  std::vector<int16_t> heard;
  {
    std::lock_guard lock(heardMutex_);
    heard = heard_;
  }
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
