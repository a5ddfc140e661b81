#include "EqualizerBank.h"

#include <algorithm>
#include <cmath>

#include "Levels.h"

namespace xaudio {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kBands = 32;

// The taps whose response is `factors[k]` over subband k, [k/64, (k+1)/64] of the rate.
std::vector<float> Kernel(const std::array<double, kBands>& factors, int reach) {
  std::vector<float> taps(static_cast<size_t>(2 * reach + 1));
  for (int n = -reach; n <= reach; ++n) {
    double sum = 0;
    for (int k = 0; k < kBands; ++k) {
      const double low = k / 64.0, high = (k + 1) / 64.0;
      sum += factors[k] *
             (n == 0 ? 2 * (high - low)
                     : (std::sin(2 * kPi * high * n) - std::sin(2 * kPi * low * n)) / (kPi * n));
    }
    const double window = 0.54 + 0.46 * std::cos(kPi * n / reach);
    taps[static_cast<size_t>(n + reach)] = static_cast<float>(sum * window);
  }
  return taps;
}

float Dot(const float* a, const float* b, int count) {
  // Eight running sums, which the compiler turns into vector lanes.
  float lanes[8] = {};
  int i = 0;
  for (; i + 8 <= count; i += 8)
    for (int l = 0; l < 8; ++l) lanes[l] += a[i + l] * b[i + l];
  float sum = 0;
  for (; i < count; ++i) sum += a[i] * b[i];
  for (float lane : lanes) sum += lane;
  return sum;
}

}  // namespace

void TEqualizerBank::SetBands(const XA_EqualizerInfo* equalizer) {
  flat_ = true;
  if (equalizer != nullptr) {
    for (int side = 0; side < 2; ++side) {
      const signed char* values = side == 0 ? equalizer->left : equalizer->right;
      std::array<double, kBands> factors{};
      for (int k = 0; k < kBands; ++k) {
        factors[k] = EqualizerFactor(values[k]);
        flat_ = flat_ && values[k] == 0;
      }
      kernels_[side] = Kernel(factors, kReach);
    }
  }
  if (flat_) {
    // A single tap of one: what is still held passes unchanged.
    for (auto& kernel : kernels_) {
      kernel.assign(kTaps, 0.0f);
      kernel[kReach] = 1.0f;
    }
  }
  if (!flat_ && !engaged_) {
    engaged_ = true;
    Reset();
  }
}

void TEqualizerBank::Reset() {
  engaged_ = !flat_;
  ended_ = false;
  error_.clear();
  channels_ = 0;
  for (auto& history : history_) history.clear();
}

int64_t TEqualizerBank::Ahead() const {
  return channels_ == 0 ? 0 : static_cast<int64_t>(history_[0].size()) - kReach;
}

void TEqualizerBank::Append(const float* samples, int frames, int channels) {
  for (int c = 0; c < channels; ++c) {
    auto& history = history_[static_cast<size_t>(c)];
    for (int i = 0; i < frames; ++i) history.push_back(samples[i * channels + c]);
  }
}

void TEqualizerBank::AppendSilence(int frames) {
  for (int c = 0; c < channels_; ++c)
    history_[static_cast<size_t>(c)].insert(history_[static_cast<size_t>(c)].end(),
                                            static_cast<size_t>(frames), 0.0f);
}

TFormatDecoder::TRead TEqualizerBank::Read(TFormatDecoder& source, float* out, int maxFrames,
                                           int& frames, std::string& error) {
  frames = 0;
  if (channels_ == 0) {
    // The frames before the input's first are silence.
    channels_ = std::min(source.Info().format.channels, 2);
    AppendSilence(kReach);
  }
  const auto held = [this] { return static_cast<int>(history_[0].size()) - 2 * kReach; };
  while (!ended_ && held() < maxFrames) {
    const int want = maxFrames - std::max(held(), 0);
    scratch_.resize(static_cast<size_t>(want) * channels_);
    int got = 0;
    const TFormatDecoder::TRead result = source.Read(scratch_.data(), want, got, error_);
    Append(scratch_.data(), got, channels_);
    if (result != TFormatDecoder::TRead::Ok) {
      // The frames after the input's last are silence too.
      AppendSilence(kReach);
      ended_ = true;
      end_ = result;
    }
  }
  frames = std::clamp(held(), 0, maxFrames);
  for (int c = 0; c < channels_; ++c) {
    auto& history = history_[static_cast<size_t>(c)];
    const float* kernel = kernels_[static_cast<size_t>(c)].data();
    for (int i = 0; i < frames; ++i) out[i * channels_ + c] = Dot(kernel, &history[i], kTaps);
    history.erase(history.begin(), history.begin() + frames);
  }
  if (!ended_ || held() > 0) return TFormatDecoder::TRead::Ok;
  const TFormatDecoder::TRead end = end_;
  error = error_;
  Reset();
  return end;
}

}  // namespace xaudio
