// The equalizer for the formats libmpg123 does not decode. libmpg123 scales 32 equal-width
// subbands of the sound (each 1/64 of the rate wide); this is one linear-phase FIR filter per
// channel whose response is that staircase: the ideal band-pass of each subband at its
// factor, summed and shaped by a Hamming window. The filter looks half its length ahead, so
// it keeps a run of decoded frames; at the end of the input that run is played out through
// silence, and nothing is lost or delayed. Off and all bands flat, the sound passes untouched.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "FormatDecoder.h"

namespace xaudio {

class TEqualizerBank {
 public:
  // Null turns it off. Takes effect at once; switched off, it passes the frames it still
  // holds through unchanged until the next Reset.
  void SetBands(const XA_EqualizerInfo* equalizer);
  // Whether Read must go through the bank.
  bool Engaged() const { return engaged_; }
  // Forgets what it holds: a new input, or a seek.
  void Reset();
  // Reads from `source` and gives up to `maxFrames` filtered frames, as source.Read does.
  TFormatDecoder::TRead Read(TFormatDecoder& source, float* out, int maxFrames, int& frames,
                             std::string& error);
  // Frames read from the source but not yet given out.
  int64_t Ahead() const;

  // Half the filter's length, in frames.
  static constexpr int kReach = 256;

 private:
  static constexpr int kTaps = 2 * kReach + 1;
  // Appends `frames` interleaved frames of `channels` to the history.
  void Append(const float* samples, int frames, int channels);
  void AppendSilence(int frames);

  std::array<std::vector<float>, 2> kernels_;
  bool flat_ = true;
  bool engaged_ = false;
  // Per channel, the frames from kReach before the next one given out onwards.
  std::array<std::vector<float>, 2> history_;
  int channels_ = 0;
  // The source has ended (or changed format, or failed) and the result to give then.
  bool ended_ = false;
  TFormatDecoder::TRead end_ = TFormatDecoder::TRead::Done;
  std::string error_;
  std::vector<float> scratch_;
};

}  // namespace xaudio
