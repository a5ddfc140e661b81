// One FLAC file (native or in Ogg) decoded by libFLAC. libFLAC hands over a whole frame at
// a time; what Read has not yet taken of it waits here.
#pragma once

#include <FLAC/stream_decoder.h>

#include <vector>

#include "Downmix.h"
#include "FormatDecoder.h"

namespace xaudio {

class TFlacDecoder final : public TFormatDecoder {
 public:
  explicit TFlacDecoder(bool ogg) : ogg_(ogg) {}
  ~TFlacDecoder() override;

  bool Open(int fd, int64_t size, int& code, std::string& error) override;
  void Close() override;
  TRead Read(float* out, int maxFrames, int& frames, std::string& error) override;
  bool Seek(int64_t frame) override;

 private:
  static FLAC__StreamDecoderWriteStatus OnWrite(const FLAC__StreamDecoder*,
                                                const FLAC__Frame* frame,
                                                const FLAC__int32* const buffer[], void* self);
  static void OnMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata,
                         void* self);
  static void OnError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus status,
                      void* self);
  // Counts the frames of a file whose header leaves its length open.
  int64_t CountFrames();

  bool ogg_;
  FLAC__StreamDecoder* decoder_ = nullptr;
  TDownmix downmix_;
  float scale_ = 1.0f;
  // The frame libFLAC gave last, already mixed, and how much of it Read has taken.
  std::vector<float> pending_;
  size_t taken_ = 0;
  bool counting_ = false;
  int64_t counted_ = 0;
  std::string damage_;
};

}  // namespace xaudio
