// One Ogg Vorbis file decoded by libvorbisfile. A chained file whose links differ in rate
// or channels reports the change as MP3 does.
#pragma once

#include <vorbis/vorbisfile.h>

#include "Downmix.h"
#include "FormatDecoder.h"

namespace xaudio {

class TVorbisDecoder final : public TFormatDecoder {
 public:
  ~TVorbisDecoder() override { Close(); }

  bool Open(int fd, int64_t size, int& code, std::string& error) override;
  void Close() override;
  TRead Read(float* out, int maxFrames, int& frames, std::string& error) override;
  bool Seek(int64_t frame) override;

 private:
  // Takes the rate and channels of the link now being read.
  void TakeFormat();

  OggVorbis_File file_{};
  bool open_ = false;
  TDownmix downmix_;
  int link_ = -1;
  // Frames read but not yet given out, held while a change of format is told.
  float** planes_ = nullptr;
  int held_ = 0;
};

}  // namespace xaudio
