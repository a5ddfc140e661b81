// How the engine's integer levels become gains, and float samples become device samples.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xaudio {

// dB for one equalizer step: -40..+40 spans -12..+12 dB.
inline constexpr double kEqualizerDbPerStep = 0.3;

// Linear factor for an equalizer band value; values beyond -40..+40 are clamped.
double EqualizerFactor(int value);

// Gain for a volume level 0..100 (clamped): cubic, which sounds close to even steps in
// loudness; 0 is silence, 100 leaves the sound as decoded.
float VolumeGain(int level);

struct TChannelGains {
  float left = 1.0f;
  float right = 1.0f;
};

// Master and PCM levels multiply; balance 0..100 turns one side down, 50 is centred.
TChannelGains OutputGains(int master, int pcm, int balance);

// Applies gains to interleaved samples in place (mono takes the left gain).
void ApplyGains(float* samples, size_t frames, int channels, TChannelGains gains);

// Mono to stereo in place: `samples` has room for 2 x `frames`.
void MonoToStereo(float* samples, size_t frames);

// Float to signed 16-bit, limited to the device range.
void ToS16(const float* samples, size_t count, int16_t* out);

}  // namespace xaudio
