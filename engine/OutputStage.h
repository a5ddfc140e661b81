// The output thread: takes blocks from the ring, applies the volume and writes them to the
// output; what is heard is reported by THeardReport and told by the announcer.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "Announcer.h"
#include "GainRamp.h"
#include "HeardReport.h"
#include "Levels.h"
#include "NotificationQueue.h"
#include "Output.h"
#include "RingBuffer.h"

namespace xaudio {

class TOutputStage {
 public:
  TOutputStage(TRingBuffer& ring, TNotificationQueue& notices);
  // Announcing thread: the end of this input is about to be heard (kEndLead of it remains
  // to be played, or less when the input was shorter). Set before Start.
  std::function<void(uint64_t epoch, uint64_t input)> OnInputEnd;
  // Stops the thread without playing out what is queued, unless Finish already ran.
  ~TOutputStage();
  TOutputStage(const TOutputStage&) = delete;
  TOutputStage& operator=(const TOutputStage&) = delete;

  // Any thread: the scheduling level of the output thread (see ThreadPriority.h).
  void SetPriority(int level);
  // Any thread: the player is closing; no wait on the sound server goes on.
  void Cancel();

  // The rest is called from the engine thread.
  void Start();
  // Opens the named output for the next sound (see "OUTPUT" in xaudio.h).
  void SelectOutput(const std::string& setting);
  std::string OutputName();
  // Before playing: opens the output again after a reported failure, and a named output
  // that has not opened yet. False, with `error` saying why, when it cannot play.
  bool Reopen(std::string& error);
  // Blocks of older epochs are dropped unheard, and the device's queue with them.
  void SetEpoch(uint64_t epoch);
  void SetPaused(bool paused);
  void SetGains(TChannelGains gains);
  void SetMuted(bool muted);
  // Timecode and position are reported for this input only.
  void Report(uint64_t input, int range, int granularity);
  // The input was opened as `name`, which its heard announcement carries.
  void Name(uint64_t input, const std::string& name);
  // Ends the thread; with `playOut` after what is queued has been heard.
  void Finish(bool playOut);

 private:
  struct TShared {
    uint64_t epoch = 0;
    bool paused = false;
    bool muted = false;
    TChannelGains gains;
    std::string setting = "default";
    uint64_t settingVersion = 1;
    uint64_t input = 0;
    int range = XA_DEFAULT_POSITION_RANGE;
    int granularity = XA_DEFAULT_TIMECODE_GRANULARITY;
    // The names of the last few inputs: one may still wait to be heard when the next opens.
    std::deque<std::pair<uint64_t, std::string>> names;
    bool finish = false;
    bool playOut = false;
    uint64_t version = 0;  // counts every change, for the paused wait
  };
  void Run();
  // Output thread.
  void WaitWhilePaused(const TShared& now);
  void SyncEpoch(uint64_t epoch);
  // `toEnd`: the frames queued behind the block up to the end of its input (-1: the end is
  // not queued yet).
  void WriteBlock(TAudioBlock& block, const TShared& now, int64_t toEnd);
  // False when the sound was dropped before all of it was written.
  bool WriteFrames(const TAudioBlock& block, const TShared& now);
  bool Dropped(uint64_t epoch);
  void PrepareOutput(const TAudioFormat& format, const TShared& now);
  void StartFormat(const TAudioFormat& format, const TShared& now);
  void UseOutput(std::unique_ptr<TOutput> output);
  // Reports a failure of the output, once, and plays on into the stand-in.
  void OutputFailed(const std::string& error, const TShared& now);
  // Opens the configured output again while its stand-in plays.
  void Retry(const TShared& now);
  void ReportHeard();
  int DeviceDelay() const;
  // How long an empty ring may take to fill a batch before the first block is taken.
  std::chrono::milliseconds Patience() const;
  // When the device will have played what it holds and `frames` more.
  TAnnouncer::Clock::time_point HeardAt(const TAudioBlock& block, int64_t frames);
  // The input's end is `frames` after the block's start: it is told kEndLead before it is
  // heard.
  void AnnounceEnd(const TAudioBlock& block, int64_t frames);
  // The input's first sound is told when it is heard.
  void AnnounceHeard(const TAudioBlock& block, TAnnouncer::Clock::time_point at);
  TShared Snapshot();
  // Engine thread: applies a change to the shared state and wakes the output thread.
  template <typename F>
  void Change(F&& change);

  TRingBuffer& ring_;
  TNotificationQueue& notices_;
  std::mutex mutex_;
  std::condition_variable changed_;
  TShared shared_;
  std::string activeName_;  // under mutex_
  // An output Reopen opened, for the output thread to take; under mutex_.
  std::unique_ptr<TOutput> handed_;
  uint64_t handedSetting_ = 0;
  std::atomic<bool> cancel_{false};
  // A failure was reported and the configured output has not opened since.
  std::atomic<bool> failed_{false};
  // The setting version an output was last opened for (none yet: the largest value).
  std::atomic<uint64_t> triedSetting_{UINT64_MAX};

  // Output thread only; swapped under mutex_, where other threads interrupt it.
  std::unique_ptr<TOutput> output_;
  uint64_t openedSetting_ = 0;
  std::chrono::steady_clock::time_point retryAt_;
  TAudioFormat started_;
  uint64_t epoch_ = 0;
  bool outputPaused_ = false;
  // What was last written, so the heard position can advance while the ring is empty.
  THeardReport heard_;
  TGainRamp gains_;
  // The input whose end was last announced, so a trailing empty block does not repeat it.
  uint64_t endEpoch_ = 0;
  uint64_t endInput_ = 0;
  // The input whose first sound is to be announced, since the last drop.
  uint64_t heardScheduled_ = 0;
  // The input whose first sound was last announced (set by the announcing thread).
  std::atomic<uint64_t> heardInput_{0};
  TAnnouncer announcer_;

  std::atomic<int> priority_{2};
  std::atomic<pid_t> tid_{0};
  std::thread thread_;
};

}  // namespace xaudio
