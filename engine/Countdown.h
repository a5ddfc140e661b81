// Sound queued ahead of the ear, counted down as a device plays it: what is left of it
// now, how long until only so much is left, and how long ago it ran out. The sinks keep one
// each, because what they can ask their device is not enough (or not there at all).
#pragma once

#include <chrono>
#include <cstdint>

namespace xaudio {

class TCountdown {
 public:
  using Clock = std::chrono::steady_clock;
  using TNow = Clock::time_point (*)();

  // Tests give a clock of their own; it starts held, with nothing left.
  explicit TCountdown(TNow now = Clock::now) : now_(now) {}

  void SetRate(int rate) { rate_ = rate > 0 ? rate : 44100; }
  int Rate() const { return rate_; }
  // Frames left at this moment.
  int64_t Left() const;
  // What is left is `frames` from now.
  void Set(int64_t frames);
  // `frames` more are queued behind what is left.
  void Add(int64_t frames);
  // Held, the count stands still (a paused or not yet started device); Run lets it go on.
  void Hold();
  void Run();
  bool Running() const { return running_; }
  // How long until no more than `frames` are left: zero when that is so already, and
  // the time it would take running when held.
  Clock::duration Until(int64_t frames) const;
  // Frames since the count reached zero while running (0 while held).
  int64_t Overrun() const;

 private:
  Clock::duration Span(int64_t frames) const;
  int64_t Frames(Clock::duration span) const;

  TNow now_;
  int rate_ = 44100;
  bool running_ = false;
  // Running: the moment the count reaches zero. Held: what is left.
  Clock::time_point end_{};
  Clock::duration held_{};
};

}  // namespace xaudio
