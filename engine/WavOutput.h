// Records into a 16-bit PCM WAV file what a sound card would play: paced in real time,
// sound dropped before it was "heard" is left out, and while the sink runs dry between
// writes the file gets the silence a listener hears (tests, tools).
#pragma once

#include <cstdio>
#include <vector>

#include "DeviceClock.h"
#include "Output.h"

namespace xaudio {

class TWavOutput : public TOutput {
 public:
  explicit TWavOutput(std::string path) : path_(std::move(path)) {}
  ~TWavOutput() override;

  // Creates the file; false with a message when it cannot be written.
  bool Create(std::string& error);
  bool Start(const TAudioFormat& format, std::string& error) override;
  bool Write(const float* samples, int frames, std::string& error) override;
  void Drain() override;
  void Flush() override;
  void Pause() override { clock_.Pause(); }
  void Resume() override { clock_.Resume(); }
  int Delay() const override { return static_cast<int>(clock_.QueuedFrames()); }
  std::string Name() const override { return "wav:" + path_; }

 private:
  // Rewrites the header for the data written so far.
  bool WriteHeader();
  bool Append(const int16_t* samples, size_t count, std::string& error);
  // Moves what the clock has played from the queue into the file.
  bool Commit(std::string& error);

  std::string path_;
  FILE* file_ = nullptr;
  TAudioFormat format_;
  uint64_t dataBytes_ = 0;
  std::vector<int16_t> buffer_;
  std::vector<int16_t> queued_;  // written, not yet played
  TDeviceClock clock_;
};

}  // namespace xaudio
