// The volume as the output applies it: a new setting is reached over a short ramp rather
// than at once, since a step in the gain is heard as a click.
#pragma once

#include <cstddef>

#include "Levels.h"

namespace xaudio {

class TGainRamp {
 public:
  // The gains from the next sample on, reached over `rampFrames`.
  void Set(TChannelGains target, int rampFrames);
  // Where no sound is playing (a start, after a drop): the gains apply at once.
  void Jump(TChannelGains target);
  // Applies the gains to interleaved samples in place (mono takes the left gain).
  void Apply(float* samples, size_t frames, int channels);

 private:
  TChannelGains current_;
  TChannelGains target_;
  TChannelGains step_{0.0f, 0.0f};
  size_t left_ = 0;  // frames of the ramp still to go
};

}  // namespace xaudio
