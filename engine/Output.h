// Where decoded sound goes: the sound device, a null sink or a WAV file. All calls come
// from the output thread; samples are interleaved floats, nominally in -1..1.
#pragma once

#include <atomic>
#include <memory>
#include <string>

namespace xaudio {

struct TAudioFormat {
  int rate = 0;
  int channels = 0;
  bool operator==(const TAudioFormat&) const = default;
};

class TOutput {
 public:
  virtual ~TOutput() = default;
  // Prepares for sound of this format; sound of another format written before it is
  // played out first, with as short a pause as the output allows.
  virtual bool Start(const TAudioFormat& format, std::string& error) = 0;
  // Takes every frame, waiting while the device is busy, unless interrupted.
  virtual bool Write(const float* samples, int frames, std::string& error) = 0;
  // Any thread: the sound being written is dropped. A Write waiting for the device returns
  // at once, taking no more, and so does every later one until the next Flush.
  virtual void Interrupt() {}
  // Waits until everything written has been played.
  virtual void Drain() = 0;
  // Drops what has been written but not yet played.
  virtual void Flush() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  // Frames written but not yet heard.
  virtual int Delay() const = 0;
  // Whether writing keeps pace with playing; an unpaced sink takes sound at once.
  virtual bool Paced() const { return true; }
  // Whether this is the null sink standing in for a sound device or server that did not
  // open; opening the same setting again may find it.
  virtual bool StandsIn() const { return false; }
  virtual std::string Name() const = 0;

  // Opens the output an "OUTPUT" environment value names (see xaudio.h). Never null:
  // when the named output cannot be opened, `error` says why and the paced null sink
  // stands in. The sound device chosen by "default" falls back without an error. Waits on
  // a sound server end early once `cancel` is set.
  static std::unique_ptr<TOutput> Open(const std::string& setting, std::string& error,
                                       const std::atomic<bool>* cancel);
};

}  // namespace xaudio
