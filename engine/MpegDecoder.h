// One MPEG audio input decoded by libmpg123 to 32-bit float, with its stream facts. The
// handle lives as long as the decoder, so the equalizer survives a change of input.
#pragma once

#include "FormatDecoder.h"

struct mpg123_handle_struct;

namespace xaudio {

class TStreamProbe;

class TMpegDecoder final : public TFormatDecoder {
 public:
  TMpegDecoder();
  ~TMpegDecoder() override;

  bool Ok() const { return handle_ != nullptr; }
  bool Open(int fd, int64_t size, int& code, std::string& error) override;
  void Close() override;
  TRead Read(float* out, int maxFrames, int& frames, std::string& error) override;
  bool Seek(int64_t frame) override;
  // Null turns the equalizer off.
  void SetEqualizer(const XA_EqualizerInfo* equalizer);

 private:
  // libmpg123's own delay of layer 3, which it trims along with the encoder's.
  static constexpr int64_t kDecoderDelay = 529;

  bool ReadInfo(const TStreamProbe& probe, int& code, std::string& error);

  mpg123_handle_struct* handle_ = nullptr;
  bool open_ = false;
  // Samples libmpg123 gives before the first one heard, where it does not trim them itself.
  int64_t lead_ = 0;
};

}  // namespace xaudio
