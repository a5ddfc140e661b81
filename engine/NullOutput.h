// A sink without sound: paced in real time like a device, or as fast as it is fed.
#pragma once

#include <chrono>

#include "Output.h"

namespace xaudio {

class TNullOutput : public TOutput {
 public:
  explicit TNullOutput(bool paced) : paced_(paced) {}

  bool Start(const TAudioFormat& format, std::string& error) override;
  bool Write(const float* samples, int frames, std::string& error) override;
  void Drain() override;
  void Flush() override;
  void Pause() override;
  void Resume() override;
  int Delay() const override;
  bool Paced() const override { return paced_; }
  std::string Name() const override;

 private:
  using Clock = std::chrono::steady_clock;
  // Sound written ahead of the clock before a write waits: what a device buffer holds.
  static constexpr std::chrono::milliseconds kLead{50};

  Clock::duration Queued() const;

  bool paced_;
  int rate_ = 44100;
  // The moment the last written frame will have been "played".
  Clock::time_point playedUntil_{};
  Clock::duration pausedQueue_{};
  bool paused_ = false;
};

}  // namespace xaudio
