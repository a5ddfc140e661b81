// A look at an MPEG audio file's layout without decoding: its tags, the info frame an
// encoder wrote (Xing/Info, VBRI, LAME), and MPEG frame headers read at a few places, so
// the decoder can tell when libmpg123's length estimate can be trusted and when it takes
// a scan of every frame header.
#pragma once

#include <cstdint>

namespace xaudio {

struct TFrameHeader {
  int version = 0;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  int layer = 0;
  int rateIndex = 0;
  int rate = 0;
  int bitrate = 0;  // kbit/s
  int bytes = 0;    // the whole frame, header included
  int samples = 0;  // per channel

  // Reads the four header bytes at h; false for anything but a valid header of a known bit
  // rate (free format is left to the decoder).
  bool Parse(const unsigned char* h);
  bool SameStream(const TFrameHeader& other) const {
    return version == other.version && layer == other.layer && rateIndex == other.rateIndex;
  }
};

class TStreamProbe {
 public:
  // Reads what it needs from fd at once; size is the file's size.
  TStreamProbe(int fd, int64_t size);

  // Where the audio lies, without the ID3v2 tag at the front and ID3v1/APE tags at the back.
  int64_t AudioBegin() const { return begin_; }
  int64_t AudioBytes() const { return end_ - begin_; }
  // What an info frame claims: the stream's bytes and frames (0 when not given).
  bool HasInfoFrame() const { return infoFrame_; }
  int64_t ClaimedBytes() const { return claimedBytes_; }
  int64_t ClaimedFrames() const { return claimedFrames_; }
  // The LAME header's encoder delay in samples (0 without one).
  int EncoderDelay() const { return delay_; }

  // Whether the audio ends with the last of a run of whole frames of the first frame's kind:
  // not so for a copy cut off inside a frame, or a download that ends in zeros or junk.
  bool EndsWithWholeFrame() const;
  // Whether frames read at a few places through the file all have the first frame's bit
  // rate; then the file is taken as constant bit rate.
  bool ConstantBitrate() const;
  // Frames of a constant-bit-rate file, from its audio bytes (within one frame).
  int64_t ConstantBitrateFrames() const;
  const TFrameHeader& FirstFrame() const { return first_; }

 private:
  // The first frame at or after `at` within `window` bytes that is followed by another frame
  // of the same stream (or by the end of the audio), and where it is; false when none is.
  // What else a frame found must satisfy: the next one has its bit rate, or frames follow it
  // one after the other up to the end of the audio.
  enum class TFind { Pair, SameBitrate, ChainToEnd };
  // Frames are taken to be no longer than `reach`.
  bool FrameNear(int64_t at, int64_t window, int64_t reach, TFrameHeader& header, int64_t& where,
                 TFind find = TFind::Pair) const;
  void ReadInfoFrame();

  int fd_;
  int64_t begin_ = 0;
  int64_t end_ = 0;
  TFrameHeader first_;
  bool firstFound_ = false;
  bool infoFrame_ = false;
  int64_t claimedBytes_ = 0;
  int64_t claimedFrames_ = 0;
  int delay_ = 0;
};

}  // namespace xaudio
