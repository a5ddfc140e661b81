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
  const TStreamInfo& Info() const override { return info_; }
  TRead Read(float* out, int maxFrames, int& frames, std::string& error) override;
  int64_t Position() const override { return position_; }
  bool Seek(int64_t frame) override;

 private:
  OggOpusFile* file_ = nullptr;
  TStreamInfo info_;
  int64_t position_ = 0;
};

}  // namespace xaudio
