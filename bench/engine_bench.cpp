// The engine's reaction times: Play to the playing state, against the plain round trip of
// a Ping through the same queues; and the gap between two songs on the null sink paced in
// real time.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "xaudio.h"

namespace {

using Clock = std::chrono::steady_clock;

class TMedia {
 public:
  TMedia() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonavera-bench-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    dir_ = pattern;
    first = Make("first", 440);
    second = Make("second", 660);
  }
  ~TMedia() { std::filesystem::remove_all(dir_); }
  std::string first, second;

 private:
  std::string Make(const std::string& name, int hz) {
    const std::string wav = dir_ + "/" + name + ".wav";
    const std::string mp3 = dir_ + "/" + name + ".mp3";
    const std::string cmd = "sox -n -r 44100 -c 2 -b 16 " + wav + " synth 1.5 sine " +
                            std::to_string(hz) + " vol 0.5 && lame --quiet -b 128 " + wav + " " +
                            mp3;
    if (std::system(cmd.c_str()) != 0) throw std::runtime_error("sox or lame failed");
    return mp3;
  }
  std::string dir_;
};

const TMedia& Media() {
  static TMedia media;
  return media;
}

class TEngine {
 public:
  explicit TEngine(const char* output) {
    if (player_new(&player_, &fd_) != XA_SUCCESS) throw std::runtime_error("player_new");
    control_message_send_SS(player_, XA_MSG_SET_PLAYER_ENVIRONMENT_STRING, XA_ENVIRONMENT_OUTPUT,
                            output);
  }
  ~TEngine() { player_delete(player_); }
  XA_Player* player() const { return player_; }

  // Waits (at most 10 s) for a notification `match` accepts; false on timeout.
  bool WaitFor(const std::function<bool(const XA_Message&)>& match) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
      XA_Message m;
      while (control_message_get(player_, &m) == XA_SUCCESS)
        if (match(m)) return true;
      pollfd p{fd_, POLLIN, 0};
      poll(&p, 1, 100);
    }
    return false;
  }
  bool WaitForState(int state) {
    return WaitFor([state](const XA_Message& m) {
      return m.code == XA_MSG_NOTIFY_PLAYER_STATE && m.data.state == state;
    });
  }
  // One Ping round trip, in seconds.
  double PingSeconds() {
    const auto start = Clock::now();
    control_message_send_I(player_, XA_MSG_COMMAND_PING, 1);
    WaitFor([](const XA_Message& m) { return m.code == XA_MSG_NOTIFY_PONG; });
    return std::chrono::duration<double>(Clock::now() - start).count();
  }

 private:
  XA_Player* player_ = nullptr;
  int fd_ = -1;
};

// Play to the playing state, after a Stop, against a Ping round trip.
void BM_PlayToPlayingState(benchmark::State& state) {
  TEngine engine(XA_OUTPUT_NULL);
  control_message_send_S(engine.player(), XA_MSG_COMMAND_INPUT_OPEN, Media().first.c_str());
  double play = 0, ping = 0;
  for (auto _ : state) {
    control_message_send_N(engine.player(), XA_MSG_COMMAND_STOP);
    engine.WaitForState(XA_PLAYER_STATE_STOPPED);
    ping += engine.PingSeconds();
    const auto start = Clock::now();
    control_message_send_N(engine.player(), XA_MSG_COMMAND_PLAY);
    if (!engine.WaitForState(XA_PLAYER_STATE_PLAYING)) state.SkipWithError("no answer to Play");
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    play += seconds;
    state.SetIterationTime(seconds);
  }
  state.counters["vs_ping"] = play / std::max(ping, 1e-9);
}

BENCHMARK(BM_PlayToPlayingState)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(50);

// Two songs back to back on the paced null sink, the second opened and played when the
// first reports its end. Each timecode says how much of its song has been heard; wall
// time minus that, taken at the start of each song, grows by exactly the gap.
void BM_GapBetweenSongs(benchmark::State& state) {
  double gaps = 0;
  for (auto _ : state) {
    TEngine engine(XA_OUTPUT_NULL);
    control_message_send_S(engine.player(), XA_MSG_COMMAND_INPUT_OPEN, Media().first.c_str());
    const auto start = Clock::now();
    control_message_send_N(engine.player(), XA_MSG_COMMAND_PLAY);
    std::vector<double> lag[2];
    int song = 0;
    engine.WaitFor([&](const XA_Message& m) {
      if (m.code == XA_MSG_NOTIFY_PLAYER_STATE && m.data.state == XA_PLAYER_STATE_EOF) {
        if (song == 1) return true;
        control_message_send_S(engine.player(), XA_MSG_COMMAND_INPUT_OPEN, Media().second.c_str());
        control_message_send_N(engine.player(), XA_MSG_COMMAND_PLAY);
        song = 1;
      }
      if (m.code == XA_MSG_NOTIFY_INPUT_TIMECODE) {
        const auto& t = m.data.input_timecode;
        const double heard = t.m * 60 + t.s + t.f / 100.0;
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        if (heard > 0.2 && heard < 0.6) lag[song].push_back(wall - heard - song * 1.5);
      }
      return false;
    });
    if (lag[0].empty() || lag[1].empty()) {
      state.SkipWithError("no timecodes");
      break;
    }
    auto median = [](std::vector<double>& v) {
      std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
      return v[v.size() / 2];
    };
    gaps += median(lag[1]) - median(lag[0]);
  }
  state.counters["gap_ms"] = 1000 * gaps / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GapBetweenSongs)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
