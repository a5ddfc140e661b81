#include "DeviceClock.h"

#include <thread>

namespace xaudio {

namespace {

int64_t Frames(TDeviceClock::Clock::duration d, int rate) {
  return static_cast<int64_t>(std::chrono::duration<double>(d).count() * rate);
}

}  // namespace

TDeviceClock::Clock::duration TDeviceClock::Queued() const {
  if (paused_) return pausedQueue_;
  const auto left = playedUntil_ - Clock::now();
  return left.count() > 0 ? left : Clock::duration::zero();
}

int64_t TDeviceClock::QueuedFrames() const { return Frames(Queued(), rate_); }

int64_t TDeviceClock::DryFrames() const {
  if (!running_ || paused_) return 0;
  const auto dry = Clock::now() - playedUntil_;
  return dry.count() > 0 ? Frames(dry, rate_) : 0;
}

void TDeviceClock::Queue(int frames) {
  const auto length = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(static_cast<double>(frames) / rate_));
  if (paused_) {
    pausedQueue_ += length;
    return;
  }
  playedUntil_ = Clock::now() + Queued() + length;
  running_ = true;
  const auto wakeAt = playedUntil_ - kLead;
  if (wakeAt > Clock::now()) std::this_thread::sleep_until(wakeAt);
}

void TDeviceClock::Drain() {
  if (!paused_) std::this_thread::sleep_until(playedUntil_);
  Drop();
}

void TDeviceClock::Drop() {
  playedUntil_ = Clock::now();
  pausedQueue_ = Clock::duration::zero();
  running_ = false;
}

void TDeviceClock::Pause() {
  if (paused_) return;
  pausedQueue_ = Queued();
  paused_ = true;
}

void TDeviceClock::Resume() {
  if (!paused_) return;
  paused_ = false;
  playedUntil_ = Clock::now() + pausedQueue_;
  // A device resumed with nothing queued is not running dry: it waits for sound.
  running_ = pausedQueue_.count() > 0;
  pausedQueue_ = Clock::duration::zero();
}

}  // namespace xaudio
