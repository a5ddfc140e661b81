// One Ogg Opus file decoded by libopusfile at 48 kHz, pre-skip and end trimming honoured.
// Every link comes out as stereo (mono doubled, more channels down-mixed by libopusfile),
// so a chained file never changes format.
#pragma once

#include "FormatDecoder.h"

struct OggOpusFile;

namespace xaudio {

class TOpusDecoder final : public TFormatDecoder {
 public:
  ~TOpusDecoder() override { Close(); }

  bool Open(int fd, int64_t size, int& code, std::string& error) override;
  void Close() override;
  TRead Read(float* out, int maxFrames, int& frames, std::string& error) override;
  bool Seek(int64_t frame) override;

 private:
  OggOpusFile* file_ = nullptr;
};

}  // namespace xaudio
