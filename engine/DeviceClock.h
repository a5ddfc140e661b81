// The clock of a sink that plays in real time without a sound card: what of the written
// sound is still queued, how long a write waits as a device's would, and how long the
// "device" has run dry while it should have been playing.
#pragma once

#include <chrono>
#include <cstdint>

namespace xaudio {

class TDeviceClock {
 public:
  using Clock = std::chrono::steady_clock;
  // Sound written ahead of the clock before a write waits: what a device buffer holds.
  static constexpr std::chrono::milliseconds kLead{50};

  void SetRate(int rate) { rate_ = rate > 0 ? rate : 44100; }
  // Frames of silence heard since the queue ran dry, while sound was being written
  // without a drain, drop or pause in between (0 otherwise).
  int64_t DryFrames() const;
  // Queues `frames` and waits until no more than kLead is ahead of the clock.
  void Queue(int frames);
  // Waits until everything queued has been played.
  void Drain();
  // Forgets what is queued.
  void Drop();
  void Pause();
  void Resume();
  // Frames queued but not yet played.
  int64_t QueuedFrames() const;

 private:
  Clock::duration Queued() const;

  int rate_ = 44100;
  // The moment the last written frame will have been played.
  Clock::time_point playedUntil_{};
  Clock::duration pausedQueue_{};
  bool paused_ = false;
  bool running_ = false;
};

}  // namespace xaudio
