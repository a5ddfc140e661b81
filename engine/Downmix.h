// Planar decoded channels to the interleaved stereo (or mono) the output takes. More than two
// channels are folded into two: each side keeps its own channels, the centre goes to both at
// -3 dB, the LFE is left out, and each side's weights add up to one so nothing clips.
#pragma once

#include <string>

namespace xaudio {

class TDownmix {
 public:
  enum class TOrder { Vorbis, Flac };

  TDownmix() = default;
  TDownmix(TOrder order, int channels);

  // Channels after mixing: the source's up to two, else two.
  int Channels() const { return channels_ <= 2 ? channels_ : 2; }
  // Writes `frames` frames from `planes` starting at `from` into `out`; `scale` turns the
  // source's integer range into -1..1 (1 for float sources).
  template <typename T>
  void Mix(const T* const* planes, int from, int frames, float scale, float* out) const;

 private:
  int channels_ = 0;
  // Per source channel: 'L', 'R', 'C' (both sides) or 'X' (left out).
  std::string sides_;
  float left_ = 1.0f;
  float right_ = 1.0f;
};

}  // namespace xaudio
