#include "Levels.h"

#include <algorithm>
#include <cmath>

#include "xaudio.h"

namespace xaudio {

double EqualizerFactor(int value) {
  const int step = std::clamp(value, XA_EQUALIZER_MIN, XA_EQUALIZER_MAX);
  return std::pow(10.0, step * kEqualizerDbPerStep / 20.0);
}

float VolumeGain(int level) {
  const float x = std::clamp(level, 0, 100) / 100.0f;
  return x * x * x;
}

TChannelGains OutputGains(int master, int pcm, int balance) {
  const float gain = VolumeGain(master) * VolumeGain(pcm);
  const int b = std::clamp(balance, 0, 100);
  TChannelGains g{gain, gain};
  if (b > 50) g.left *= (100 - b) / 50.0f;
  if (b < 50) g.right *= b / 50.0f;
  return g;
}

void ApplyGains(float* samples, size_t frames, int channels, TChannelGains gains) {
  if (channels == 2) {
    if (gains.left == 1.0f && gains.right == 1.0f) return;
    for (size_t i = 0; i < frames; ++i) {
      samples[2 * i] *= gains.left;
      samples[2 * i + 1] *= gains.right;
    }
    return;
  }
  if (gains.left == 1.0f) return;
  const size_t count = frames * static_cast<size_t>(channels);
  for (size_t i = 0; i < count; ++i) samples[i] *= gains.left;
}

void MonoToStereo(float* samples, size_t frames) {
  for (size_t i = frames; i-- > 0;) samples[2 * i] = samples[2 * i + 1] = samples[i];
}

void ToS16(const float* samples, size_t count, int16_t* out) {
  // The scale every decoder's 16-bit output uses (a sample of -32768 is -1.0), so a song
  // heard is the reference decoder's samples exactly.
  for (size_t i = 0; i < count; ++i) {
    const float s = std::clamp(samples[i] * 32768.0f, -32768.0f, 32767.0f);
    out[i] = static_cast<int16_t>(std::lrint(s));
  }
}

}  // namespace xaudio
