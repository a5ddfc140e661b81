#include "HeardReport.h"

#include <algorithm>

namespace xaudio {

namespace {

// An unpaced sink runs far faster than real time: nobody can follow reports closer than a
// few milliseconds apart, so they are thinned out in wall time.
constexpr std::chrono::milliseconds kMinReportGap{10};

}  // namespace

void THeardReport::Written(const TAudioBlock& block) {
  if (epoch_ != block.epoch || input_ != block.input) {
    lastHundredths_ = -1;
    lastOffset_ = -1;
  }
  epoch_ = block.epoch;
  input_ = block.input;
  endFrame_ = block.firstFrame + block.frames;
  inputFrames_ = block.inputFrames;
  rate_ = block.format.rate;
}

void THeardReport::Report(int delay, bool paced, const TTarget& target) {
  if (rate_ <= 0 || epoch_ != target.epoch || input_ != target.input) return;
  int64_t frame = std::max<int64_t>(0, endFrame_ - delay);
  if (inputFrames_ > 0) frame = std::min(frame, inputFrames_);
  // One report as the heard time enters each step of the granularity (a window that shows
  // seconds is woken once a second), and the very end always.
  const int64_t hundredths = frame * 100 / rate_;
  const int64_t step = std::max(1, target.granularity);
  const bool atEnd = frame == inputFrames_;
  const auto now = std::chrono::steady_clock::now();
  if (!atEnd && lastHundredths_ >= 0 && !paced && now - lastReport_ < kMinReportGap) return;
  bool reported = false;
  if (lastHundredths_ < 0 || hundredths < lastHundredths_ ||
      hundredths / step != lastHundredths_ / step || (atEnd && hundredths != lastHundredths_)) {
    lastHundredths_ = hundredths;
    notices_.Post(TNotice::Timecode(hundredths));
    reported = true;
  }
  const int64_t offset = inputFrames_ > 0 ? frame * target.range / inputFrames_ : lastOffset_;
  if (offset != lastOffset_) {
    lastOffset_ = offset;
    notices_.Post(TNotice::Position(offset, target.range));
    reported = true;
  }
  if (reported) lastReport_ = now;
}

}  // namespace xaudio
