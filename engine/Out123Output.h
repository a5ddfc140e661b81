// The sound device through libout123. Sound is handed over as signed 16-bit, which every
// driver takes.
#pragma once

#include <vector>

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

  out123_struct* handle_ = nullptr;
  std::string name_;
  TAudioFormat format_;
  bool started_ = false;
  std::vector<int16_t> buffer_;
};

}  // namespace xaudio
