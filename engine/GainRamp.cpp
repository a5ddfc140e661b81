#include "GainRamp.h"

#include <algorithm>

namespace xaudio {

void TGainRamp::Set(TChannelGains target, int rampFrames) {
  if (target.left == target_.left && target.right == target_.right) return;
  target_ = target;
  left_ = static_cast<size_t>(std::max(1, rampFrames));
  step_ = {(target.left - current_.left) / static_cast<float>(left_),
           (target.right - current_.right) / static_cast<float>(left_)};
}

void TGainRamp::Jump(TChannelGains target) {
  target_ = current_ = target;
  left_ = 0;
}

void TGainRamp::Apply(float* samples, size_t frames, int channels) {
  const size_t ramp = std::min(frames, left_);
  const size_t width = static_cast<size_t>(channels);
  for (size_t i = 0; i < ramp; ++i) {
    current_.left += step_.left;
    current_.right += step_.right;
    float* frame = samples + i * width;
    for (size_t c = 0; c < width; ++c)
      frame[c] *= channels == 2 && c == 1 ? current_.right : current_.left;
  }
  left_ -= ramp;
  // The ramp ends on the setting exactly, whatever the rounding on the way.
  if (left_ == 0) current_ = target_;
  ApplyGains(samples + ramp * width, frames - ramp, channels, current_);
}

}  // namespace xaudio
