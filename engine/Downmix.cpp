#include "Downmix.h"

#include <cstdint>

namespace xaudio {

namespace {

constexpr float kCentre = 0.70710678f;

// Where each channel of a 3..8 channel stream sits, in the order each format stores them.
const char* Layout(TDownmix::TOrder order, int channels) {
  static const char* const kVorbis[] = {"LCR", "LRLR", "LCRLR", "LCRLRX", "LCRLRCX", "LCRLRLRX"};
  static const char* const kFlac[] = {"LRC", "LRLR", "LRCLR", "LRCXLR", "LRCXCLR", "LRCXLRLR"};
  if (channels < 3 || channels > 8) return nullptr;
  return (order == TDownmix::TOrder::Vorbis ? kVorbis : kFlac)[channels - 3];
}

}  // namespace

TDownmix::TDownmix(TOrder order, int channels) : channels_(channels) {
  if (channels <= 2) return;
  const char* layout = Layout(order, channels);
  for (int c = 0; c < channels; ++c) sides_ += layout != nullptr ? layout[c] : "LR"[c % 2];
  float left = 0, right = 0;
  for (char side : sides_) {
    left += side == 'L' ? 1.0f : side == 'C' ? kCentre : 0.0f;
    right += side == 'R' ? 1.0f : side == 'C' ? kCentre : 0.0f;
  }
  left_ = 1.0f / left;
  right_ = 1.0f / right;
}

template <typename T>
void TDownmix::Mix(const T* const* planes, int from, int frames, float scale, float* out) const {
  if (channels_ <= 2) {
    for (int i = 0; i < frames; ++i)
      for (int c = 0; c < channels_; ++c) *out++ = static_cast<float>(planes[c][from + i]) * scale;
    return;
  }
  for (int i = 0; i < frames; ++i) {
    float left = 0, right = 0;
    for (int c = 0; c < channels_; ++c) {
      const float v = static_cast<float>(planes[c][from + i]) * scale;
      if (sides_[c] == 'L') left += v;
      if (sides_[c] == 'R') right += v;
      if (sides_[c] == 'C') {
        left += v * kCentre;
        right += v * kCentre;
      }
    }
    *out++ = left * left_;
    *out++ = right * right_;
  }
}

template void TDownmix::Mix<float>(const float* const*, int, int, float, float*) const;
template void TDownmix::Mix<int32_t>(const int32_t* const*, int, int, float, float*) const;

}  // namespace xaudio
