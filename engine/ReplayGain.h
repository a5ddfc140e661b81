// The whole-song gain: the chosen ReplayGain of the song, never pushing its sound over full
// scale. It is set at the song's first sample, so songs join without a gap; a change of
// settings while playing glides over 10 ms instead of clicking.
#pragma once

#include <string>

#include "GainTags.h"

namespace xaudio {

class TReplayGain {
 public:
  enum class TMode { Off = 0, Track = 1, Album = 2 };

  // Pre-amps in dB: `tagged` for songs with a gain, `untagged` for songs without.
  void SetSettings(TMode mode, float tagged, float untagged);
  // A new song at `rate`: its gain applies from its first sample.
  void Begin(const TGainTags& tags, int rate);
  // `boosted`: an equalizer band raises the sound, so it may need limiting at unity gain.
  void Apply(float* samples, int frames, int channels, bool boosted);
  // What the display tells, e.g. "RG album -6.3 dB"; empty when off.
  std::string Hint() const;
  float TargetDb() const { return targetDb_; }

 private:
  void Choose();

  TMode mode_ = TMode::Off;
  float tagged_ = 0, untagged_ = 0;
  TGainTags tags_;
  int rate_ = 44100;
  const char* source_ = "";
  float targetDb_ = 0;
  float target_ = 1, current_ = 1, step_ = 0;
  int rampLeft_ = 0;
};

}  // namespace xaudio
