// A private PulseAudio for one test program: its sink is a pipe read out at the pace of the
// clock, so it plays like a sound card, and everything it plays is kept. PULSE_SERVER points
// the process at it. The server can be killed, stopped, continued and started again.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TPrivatePulse {
 public:
  // Sockets, pipe and log go into `folder`, which must outlive the object.
  explicit TPrivatePulse(const std::string& folder);
  ~TPrivatePulse();
  TPrivatePulse(const TPrivatePulse&) = delete;
  TPrivatePulse& operator=(const TPrivatePulse&) = delete;

  // Starts the server and waits until it takes clients; false when it does not.
  bool Start();
  // Sends `signal` to the server; after SIGKILL it is gone until the next Start.
  void Signal(int signal);
  // Every sample the sink played so far (16-bit stereo at 44.1 kHz), silence included.
  std::vector<int16_t> Heard();
  void ClearHeard();
  // Whether the sink played anything louder than near silence within `timeout`.
  bool HearsSound(std::chrono::milliseconds timeout);

 private:
  void Listen();

  std::string folder_;
  pid_t server_ = 0;
  std::atomic<bool> stop_{false};
  std::thread listener_;
  std::mutex heardMutex_;
  std::vector<int16_t> heard_;
};
