// The output thread: takes blocks from the ring, applies the volume, writes them to the
// output and reports the timecode and position of what is being heard.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "Levels.h"
#include "NotificationQueue.h"
#include "Output.h"
#include "RingBuffer.h"

namespace xaudio {

class TOutputStage {
 public:
  TOutputStage(TRingBuffer& ring, TNotificationQueue& notices);
  // Output thread: the end of this input is about to be heard (at most kEndLead of it
  // remains to be played). Set before Start.
  std::function<void(uint64_t epoch, uint64_t input)> OnInputEnd;
  // Stops the thread without playing out what is queued, unless Finish already ran.
  ~TOutputStage();
  TOutputStage(const TOutputStage&) = delete;
  TOutputStage& operator=(const TOutputStage&) = delete;

  // Any thread: the scheduling level of the output thread (see ThreadPriority.h).
  void SetPriority(int level);
  // Any thread: the player is closing; no wait on the sound server goes on.
  void Cancel() { cancel_ = true; }

  // The rest is called from the engine thread.
  void Start();
  // Opens the named output for the next sound (see "OUTPUT" in xaudio.h).
  void SelectOutput(const std::string& setting);
  std::string OutputName();
  // Before playing: after a reported failure of the output, opens it again. False, with
  // `error` saying why, when it still cannot play.
  bool Reopen(std::string& error);
  // Blocks of older epochs are dropped unheard, and the device's queue with them.
  void SetEpoch(uint64_t epoch);
  void SetPaused(bool paused);
  void SetGains(TChannelGains gains);
  void SetMuted(bool muted);
  // Timecode and position are reported for this input only.
  void Report(uint64_t input, int range, int granularity);
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
    int granularity = 10;
    bool finish = false;
    bool playOut = false;
    uint64_t version = 0;  // counts every change, for the paused wait
  };
  // What was last written, so the heard position can advance while the ring is empty.
  struct THeard {
    uint64_t epoch = 0;
    uint64_t input = 0;
    int64_t endFrame = 0;
    int64_t inputFrames = 0;
    int rate = 0;
    int64_t lastHundredths = -1;
    int64_t lastOffset = -1;
    std::chrono::steady_clock::time_point lastReport;
  };

  void Run();
  // Output thread.
  void WaitWhilePaused(const TShared& now);
  void SyncEpoch(uint64_t epoch);
  // `ending`: the block holds the last sound of its input.
  void WriteBlock(TAudioBlock& block, const TShared& now, bool ending);
  // False when the sound was dropped before all of it was written.
  bool WriteFrames(const TAudioBlock& block, int first, int frames, const TShared& now);
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
  // How long until the pending end is due to be announced (0: now).
  std::chrono::milliseconds UntilEndDue() const;
  void AnnounceEnd();
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

  // Output thread only.
  std::unique_ptr<TOutput> output_;
  uint64_t openedSetting_ = 0;
  std::chrono::steady_clock::time_point retryAt_;
  TAudioFormat started_;
  uint64_t epoch_ = 0;
  bool outputPaused_ = false;
  THeard heard_;
  // The input whose end was last announced, so a trailing empty block does not repeat it.
  uint64_t endEpoch_ = 0;
  uint64_t endInput_ = 0;
  int endRate_ = 0;
  // That end is written but not yet announced: the device holds more than the lead.
  bool pendingEnd_ = false;

  std::atomic<int> priority_{2};
  std::atomic<pid_t> tid_{0};
  std::thread thread_;
};

}  // namespace xaudio
