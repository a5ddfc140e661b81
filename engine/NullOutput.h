// A sink without sound: paced in real time like a device, or as fast as it is fed.
#pragma once

#include "DeviceClock.h"
#include "Output.h"

namespace xaudio {

class TNullOutput : public TOutput {
 public:
  explicit TNullOutput(bool paced, bool standsIn = false) : paced_(paced), standsIn_(standsIn) {}

  bool Start(const TAudioFormat& format, std::string& error) override;
  bool Write(const float* samples, int frames, std::string& error) override;
  void Drain() override;
  void Flush() override;
  void Pause() override;
  void Resume() override;
  int Delay() const override;
  bool Paced() const override { return paced_; }
  bool StandsIn() const override { return standsIn_; }
  std::string Name() const override;

 private:
  bool paced_;
  bool standsIn_;
  TDeviceClock clock_;
};

}  // namespace xaudio
