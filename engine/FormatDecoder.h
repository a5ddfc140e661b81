// What every format's decoder gives the transport: 32-bit float frames of at most two
// channels, an exact length and sample-exact seeking. The file stays the caller's: it is
// opened before Open and closed after Close.
#pragma once

#include <cstdint>
#include <string>

#include "GainTags.h"
#include "Output.h"
#include "xaudio.h"

namespace xaudio {

struct TStreamInfo {
  TAudioFormat format;     // what Read gives: more than two channels come down-mixed to two
  int64_t frames = 0;      // exact length in sample frames after encoder delay and padding
  int level = 1;           // XA_STREAM_LEVEL_* (MPEG only)
  int layer = 3;           // MPEG only
  int bitrate = 0;         // kbit/s, averaged over the file for VBR and lossless
  int mode = 0;            // XA_STREAM_MODE_*
  int sourceChannels = 0;  // channels in the file, before any down-mix
  int sourceBits = 0;      // bits per sample of a lossless file, 0 for lossy ones
  TGainTags gains;         // from the file's tags
};

class TFormatDecoder {
 public:
  enum class TRead { Ok, NewFormat, Done, Failed };

  virtual ~TFormatDecoder() = default;
  // Opens and checks the file at fd (size bytes, read from offset 0). On failure `code` is
  // an XA_ERROR_* and `error` readable.
  virtual bool Open(int fd, int64_t size, int& code, std::string& error) = 0;
  virtual void Close() = 0;
  const TStreamInfo& Info() const { return info_; }
  // Decodes up to `maxFrames` frames into `out` (Info().format.channels interleaved).
  virtual TRead Read(float* out, int maxFrames, int& frames, std::string& error) = 0;
  // Frame position of the next frame Read delivers.
  int64_t Position() const { return position_; }
  virtual bool Seek(int64_t frame) = 0;

 protected:
  // What every format keeps alike: the stream's facts since Open, and where Read is.
  TStreamInfo info_;
  int64_t position_ = 0;
};

}  // namespace xaudio
