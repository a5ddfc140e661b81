// The time and position of what is being heard, told as the device plays it: a timecode as
// the heard time reaches each step of the granularity, a position as it moves on the range,
// both for the input opened last only, and the very end always.
#pragma once

#include <chrono>
#include <cstdint>

#include "NotificationQueue.h"
#include "RingBuffer.h"

namespace xaudio {

class THeardReport {
 public:
  // What is to be reported on: the input opened last, and the units of its reports.
  struct TTarget {
    uint64_t epoch = 0;
    uint64_t input = 0;
    int range = 0;
    int granularity = 0;
  };

  explicit THeardReport(TNotificationQueue& notices) : notices_(notices) {}

  // A block has gone to the device: the heard position advances towards its end.
  void Written(const TAudioBlock& block);
  // Reports what is heard while the device still holds `delay` frames of what was written.
  // `paced`: the device plays in real time (an unpaced sink's reports are thinned out).
  void Report(int delay, bool paced, const TTarget& target);

 private:
  TNotificationQueue& notices_;
  uint64_t epoch_ = 0;
  uint64_t input_ = 0;
  int64_t endFrame_ = 0;
  int64_t inputFrames_ = 0;
  int rate_ = 0;
  int64_t lastHundredths_ = -1;
  int64_t lastOffset_ = -1;
  std::chrono::steady_clock::time_point lastReport_;
};

}  // namespace xaudio
