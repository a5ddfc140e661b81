#include "ReplayGain.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace xaudio {

namespace {

// Below -1 dBFS the limiter leaves the sound alone; above, it bends smoothly towards full
// scale and never reaches it.
constexpr float kKnee = 0.891251f;

float Limit(float x) {
  const float a = std::abs(x);
  // u / (1 + u): as steep as the sound at the knee, cheaper than tanh; written without
  // branches so that the loop over a block vectorises.
  const float u = std::max(a - kKnee, 0.0f) * (1 / (1 - kKnee));
  const float bent = kKnee + (1 - kKnee) * u / (1 + u);
  return std::copysign(a <= kKnee ? a : bent, x);
}

}  // namespace

void TReplayGain::SetSettings(TMode mode, float tagged, float untagged) {
  mode_ = mode;
  tagged_ = tagged;
  untagged_ = untagged;
  const float before = current_;
  Choose();
  // The song is already under way: glide to the new gain.
  rampLeft_ = std::max(1, rate_ / 100);
  step_ = (target_ - before) / static_cast<float>(rampLeft_);
  current_ = before;
}

void TReplayGain::Begin(const TGainTags& tags, int rate) {
  tags_ = tags;
  rate_ = rate > 0 ? rate : 44100;
  Choose();
  current_ = target_;
  rampLeft_ = 0;
}

void TReplayGain::Choose() {
  const bool album = mode_ == TMode::Album;
  float gain = album ? tags_.albumGain : tags_.trackGain;
  float peak = album ? tags_.albumPeak : tags_.trackPeak;
  source_ = album ? "album" : "track";
  // A song without the chosen gain uses the other one.
  if (std::isnan(gain)) {
    gain = album ? tags_.trackGain : tags_.albumGain;
    peak = album ? tags_.trackPeak : tags_.albumPeak;
    source_ = album ? "track" : "album";
  }
  if (mode_ == TMode::Off) {
    targetDb_ = 0;
  } else if (std::isnan(gain)) {
    source_ = "untagged";
    targetDb_ = untagged_;
  } else {
    targetDb_ = gain + tagged_;
  }
  target_ = std::pow(10.0f, targetDb_ / 20);
  // With a known peak the gain itself keeps the sound under full scale.
  if (mode_ != TMode::Off && !std::isnan(peak) && peak * target_ > 1) {
    target_ = 1 / peak;
    targetDb_ = 20 * std::log10(target_);
  }
}

void TReplayGain::Apply(float* samples, int frames, int channels, bool boosted) {
  if (mode_ == TMode::Off && rampLeft_ == 0) return;
  int frame = 0;
  for (; frame < frames && rampLeft_ > 0; ++frame, --rampLeft_) {
    current_ += step_;
    for (int c = 0; c < channels; ++c) {
      float& s = samples[frame * channels + c];
      s = Limit(s * current_);
    }
  }
  if (rampLeft_ == 0) current_ = target_;
  // At unity only an equalizer boost can take the sound over the top.
  if (current_ == 1 && !boosted) return;
  // Scaling and finding the loudest sample vectorise; most blocks never need the limiter.
  const float gain = current_;
  float* const begin = samples + frame * channels;
  float* const end = samples + frames * channels;
  // The largest magnitude as bits: for non-negative floats their order is the integers'.
  int32_t loudest = 0;
  for (float* s = begin; s < end; ++s) {
    *s *= gain;
    loudest = std::max(loudest, std::bit_cast<int32_t>(*s) & 0x7fffffff);
  }
  if (std::bit_cast<float>(loudest) > kKnee)
    for (float* s = begin; s < end; ++s) *s = Limit(*s);
}

std::string TReplayGain::Hint() const {
  if (mode_ == TMode::Off) return {};
  char text[48];
  std::snprintf(text, sizeof text, "RG %s %+.1f dB", source_, targetDb_ + 0.0f);
  return text;
}

}  // namespace xaudio
