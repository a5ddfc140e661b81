// Writes the sound into a 16-bit PCM WAV file instead of playing it (tests, tools).
#pragma once

#include <cstdio>
#include <vector>

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
  void Flush() override {}
  void Pause() override {}
  void Resume() override {}
  int Delay() const override { return 0; }
  bool Paced() const override { return false; }
  std::string Name() const override { return "wav:" + path_; }

 private:
  // Rewrites the header for the data written so far.
  bool WriteHeader();

  std::string path_;
  FILE* file_ = nullptr;
  TAudioFormat format_;
  uint64_t dataBytes_ = 0;
  std::vector<int16_t> buffer_;
};

}  // namespace xaudio
