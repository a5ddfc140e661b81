// The clock of a sink that plays in real time without a sound card: what of the written
// sound is still queued, how long a write waits as a device's would, and how long the
// "device" has run dry while it should have been playing.
#pragma once

#include <chrono>
#include <cstdint>

#include "Countdown.h"

namespace xaudio {

class TDeviceClock {
 public:
  // Sound written ahead of the clock before a write waits: what a device buffer holds.
  static constexpr std::chrono::milliseconds kLead{50};

  void SetRate(int rate) { count_.SetRate(rate); }
  // Frames of silence heard since the queue ran dry, while sound was being written
  // without a drain, drop or pause in between (0 otherwise).
  int64_t DryFrames() const { return count_.Overrun(); }
  // Queues `frames` and waits until no more than kLead is ahead of the clock.
  void Queue(int frames);
  // Waits until everything queued has been played.
  void Drain();
  // Forgets what is queued.
  void Drop();
  void Pause();
  void Resume();
  // Frames queued but not yet played.
  int64_t QueuedFrames() const { return count_.Left(); }

 private:
  TCountdown count_;
  bool paused_ = false;
};

}  // namespace xaudio
