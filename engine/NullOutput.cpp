#include "NullOutput.h"

#include <thread>

namespace xaudio {

bool TNullOutput::Start(const TAudioFormat& format, std::string&) {
  rate_ = format.rate > 0 ? format.rate : 44100;
  return true;
}

TNullOutput::Clock::duration TNullOutput::Queued() const {
  if (paused_) return pausedQueue_;
  const auto left = playedUntil_ - Clock::now();
  return left.count() > 0 ? left : Clock::duration::zero();
}

bool TNullOutput::Write(const float*, int frames, std::string&) {
  if (!paced_) return true;
  const auto length = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(static_cast<double>(frames) / rate_));
  playedUntil_ = Clock::now() + Queued() + length;
  const auto wakeAt = playedUntil_ - kLead;
  if (wakeAt > Clock::now()) std::this_thread::sleep_until(wakeAt);
  return true;
}

void TNullOutput::Drain() {
  if (paced_ && !paused_) std::this_thread::sleep_until(playedUntil_);
  Flush();
}

void TNullOutput::Flush() {
  playedUntil_ = Clock::now();
  pausedQueue_ = Clock::duration::zero();
}

void TNullOutput::Pause() {
  if (paused_) return;
  pausedQueue_ = Queued();
  paused_ = true;
}

void TNullOutput::Resume() {
  if (!paused_) return;
  paused_ = false;
  playedUntil_ = Clock::now() + pausedQueue_;
  pausedQueue_ = Clock::duration::zero();
}

int TNullOutput::Delay() const {
  return static_cast<int>(std::chrono::duration<double>(Queued()).count() * rate_);
}

std::string TNullOutput::Name() const { return paced_ ? "null" : "null-fast"; }

}  // namespace xaudio
