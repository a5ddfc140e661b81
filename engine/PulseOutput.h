// The sound server through libpulse. libout123 cannot tell how much sound the server still
// holds (its pulse module keeps about a quarter of a second there), and the heard position,
// the end of input and the window's display are all timed by that; the server's own latency
// report knows it to the millisecond.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "Countdown.h"
#include "Output.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_operation;
struct pa_time_event;

namespace xaudio {

class TPulseOutput : public TOutput {
 public:
  // Every wait ends early once `cancel` is set (from any thread): the player is closing.
  explicit TPulseOutput(const std::atomic<bool>* cancel = nullptr) : cancel_(cancel) {}
  ~TPulseOutput() override;
  TPulseOutput(const TPulseOutput&) = delete;
  TPulseOutput& operator=(const TPulseOutput&) = delete;

  // Connects to the user's sound server; `device` (a sink name) may be empty.
  bool Open(const std::string& device, std::string& error);
  bool Start(const TAudioFormat& format, std::string& error) override;
  bool Write(const float* samples, int frames, std::string& error) override;
  void Interrupt() override;
  void Drain() override;
  void Flush() override;
  void Pause() override;
  void Resume() override;
  int Delay() const override;
  std::string Name() const override;

 private:
  using Clock = std::chrono::steady_clock;
  // With the main loop locked: waits for a callback, at most until `deadline`. False when
  // the deadline has passed (the server has hung) or the player is closing.
  bool Wait(Clock::time_point deadline);
  bool Cancelled() const;
  // With the main loop locked: waits for an operation to end, at most `longest`, then
  // releases it.
  void Await(pa_operation* operation, Clock::duration longest);
  bool StreamFailed() const;
  std::string Failure(const std::string& what) const;
  void CloseStream();
  // With the main loop locked (or on its thread): the old stream has played out, or is
  // given up; the new one plays from now on.
  void EndJoin(bool drained);
  // With the main loop locked: waits until no old stream is playing out.
  void AwaitJoin();
  static void Drained(pa_stream* stream, int success, void* self);
  // With the main loop locked: keeps what was written for a later rewrite.
  void Keep(const int16_t* samples, size_t count);
  int64_t Frames(std::chrono::milliseconds span) const;
  // The first frames of `samples` fade out (`down`) or in.
  void Ramp(std::vector<int16_t>& samples, bool down) const;
  // With the main loop locked: rewrites what the server holds from just ahead of its read
  // position as a fade-out and silence. Returns the frame of what was kept where the sound
  // not heard begins, and in `heardIn` when the fade will have been heard; -1 when there
  // was nothing to fade.
  int64_t FadeOut(Clock::duration& heardIn);
  // With the main loop locked: lets callbacks run for `span` (a fade is being heard).
  void Linger(Clock::duration span);
  // With the main loop locked: the latency of `stream` in microseconds.
  int64_t LatencyUs(pa_stream* stream) const;
  // With the main loop locked: the server's latency, in frames.
  int64_t ServerDelay() const;
  // With the main loop locked: what the server holds now counts down from here.
  void Anchor(int64_t frames);
  // The frames queued now by the server's report, or by the count-down from the last
  // anchor when that is less: a stream that has run dry stops updating its report.
  int64_t Queued() const;

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  // Wakes the waits in time to check their deadline.
  pa_time_event* tick_ = nullptr;
  const std::atomic<bool>* cancel_;
  // A wait ran out: the server is taken for dead from then on.
  bool unanswered_ = false;
  // A change of format: the stream of the format before plays out its last sound while
  // the new one waits corked with its first sound queued, and is uncorked the moment the
  // old one has drained. Closing and reopening would leave a gap of a server cycle or more.
  pa_stream* ending_ = nullptr;
  pa_operation* endingDrain_ = nullptr;
  std::string device_;
  TAudioFormat format_;
  bool paused_ = false;
  // Interrupt was called since the last Flush.
  bool interrupted_ = false;
  // Bytes written since the stream started or was flushed, for a delay before the server
  // has sent its first timing report.
  uint64_t written_ = 0;
  // What the server held at the last anchor, counted down since (held while paused).
  TCountdown anchored_;
  std::vector<int16_t> buffer_;
  // The last sound written to the stream, ending at its write position.
  std::vector<int16_t> history_;
};

}  // namespace xaudio
