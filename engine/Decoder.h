// One MPEG audio input decoded by libmpg123 to 32-bit float, with its stream facts. The
// handle lives as long as the decoder, so the equalizer survives a change of input.
#pragma once

#include <cstdint>
#include <string>

#include "Output.h"
#include "xaudio.h"

struct mpg123_handle_struct;

namespace xaudio {

class TStreamProbe;

struct TStreamInfo {
  TAudioFormat format;
  int64_t frames = 0;  // exact length in sample frames after encoder delay and padding
  int level = 1;       // XA_STREAM_LEVEL_*
  int layer = 3;
  int bitrate = 0;  // kbit/s, averaged over the file for VBR
  int mode = 0;     // MPEG channel mode
};

class TDecoder {
 public:
  enum class TRead { Ok, NewFormat, Done, Failed };

  TDecoder();
  ~TDecoder();
  TDecoder(const TDecoder&) = delete;
  TDecoder& operator=(const TDecoder&) = delete;

  bool Ok() const { return handle_ != nullptr; }
  // Opens and checks a file. On failure `code` is an XA_ERROR_* and `error` readable.
  bool Open(const std::string& path, int& code, std::string& error);
  void Close();
  bool IsOpen() const { return open_; }
  const TStreamInfo& Info() const { return info_; }

  // Decodes up to `maxFrames` frames into `out` (format().channels interleaved).
  TRead Read(float* out, int maxFrames, int& frames, std::string& error);
  // Frame position of the next frame Read delivers.
  int64_t Position() const { return position_; }
  bool Seek(int64_t frame);
  // Null turns the equalizer off.
  void SetEqualizer(const XA_EqualizerInfo* equalizer);

 private:
  // libmpg123's own delay of layer 3, which it trims along with the encoder's.
  static constexpr int64_t kDecoderDelay = 529;

  bool ReadInfo(const TStreamProbe& probe, int& code, std::string& error);

  mpg123_handle_struct* handle_ = nullptr;
  int fd_ = -1;
  bool open_ = false;
  TStreamInfo info_;
  int64_t position_ = 0;
  // Samples libmpg123 gives before the first one heard, where it does not trim them itself.
  int64_t lead_ = 0;
};

}  // namespace xaudio
