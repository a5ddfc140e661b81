#include "Countdown.h"

#include <algorithm>

namespace xaudio {

TCountdown::Clock::duration TCountdown::Span(int64_t frames) const {
  return std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(static_cast<double>(frames) / rate_));
}

int64_t TCountdown::Frames(Clock::duration span) const {
  return static_cast<int64_t>(std::chrono::duration<double>(span).count() * rate_);
}

int64_t TCountdown::Left() const {
  if (!running_) return Frames(held_);
  return Frames(std::max(end_ - now_(), Clock::duration::zero()));
}

void TCountdown::Set(int64_t frames) {
  const auto span = Span(std::max<int64_t>(0, frames));
  if (running_)
    end_ = now_() + span;
  else
    held_ = span;
}

void TCountdown::Add(int64_t frames) {
  // Kept in time, not in frames: rounding would add up over many small writes.
  const auto span = Span(std::max<int64_t>(0, frames));
  if (running_)
    end_ = std::max(end_, now_()) + span;
  else
    held_ += span;
}

void TCountdown::Hold() {
  if (!running_) return;
  held_ = std::max(end_ - now_(), Clock::duration::zero());
  running_ = false;
}

void TCountdown::Run() {
  if (running_) return;
  end_ = now_() + held_;
  running_ = true;
}

TCountdown::Clock::duration TCountdown::Until(int64_t frames) const {
  const auto left = running_ ? end_ - now_() : held_;
  return std::max(left - Span(std::max<int64_t>(0, frames)), Clock::duration::zero());
}

int64_t TCountdown::Overrun() const {
  if (!running_) return 0;
  return Frames(std::max(now_() - end_, Clock::duration::zero()));
}

}  // namespace xaudio
