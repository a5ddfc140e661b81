// The sound device through libout123. Sound is handed over as signed 16-bit, which every
// driver takes.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "Countdown.h"
#include "Output.h"

struct out123_struct;

namespace xaudio {

class TOut123Output : public TOutput {
 public:
  TOut123Output();
  ~TOut123Output() override;

  // `drivers` is a comma-separated list tried in order; `device` may be empty.
  bool Open(const std::string& drivers, const std::string& device, std::string& error);
  bool Start(const TAudioFormat& format, std::string& error) override;
  bool Write(const float* samples, int frames, std::string& error) override;
  void Drain() override;
  void Flush() override;
  void Pause() override;
  void Resume() override;
  int Delay() const override;
  std::string Name() const override { return name_; }

 private:
  std::string Failure(const std::string& what) const;
  using Clock = std::chrono::steady_clock;
  void Forget();
  // The estimate counts down while the device plays.
  void Follow();

  out123_struct* handle_ = nullptr;
  std::string name_;
  TAudioFormat format_;
  bool started_ = false;
  std::vector<int16_t> buffer_;
  // libout123 does not tell how much sound the device still holds, so it is estimated from
  // how writes wait: a device fills its buffer before it starts, then a write waits for
  // room, and after such a wait the device holds its whole buffer.
  TCountdown held_;
  int64_t deviceFrames_ = 0;  // the device's buffer, learned at the first wait
  bool running_ = false;      // a write has waited since the device last started
  bool paused_ = false;
};

}  // namespace xaudio
