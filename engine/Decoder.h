// The input the transport plays: the file is opened here, its first bytes say its format,
// and that format's decoder does the rest. The MPEG decoder lives as long as this, so its
// equalizer survives a change of input; the others are made when first needed, and their
// sound goes through the equalizer bank. Whatever else is to act on a whole song's sound
// belongs in Read, after the bank.
#pragma once

#include <memory>

#include "EqualizerBank.h"
#include "FormatDecoder.h"
#include "MpegDecoder.h"
#include "ReplayGain.h"

namespace xaudio {

class TDecoder {
 public:
  using TRead = TFormatDecoder::TRead;

  TDecoder() = default;
  ~TDecoder();
  TDecoder(const TDecoder&) = delete;
  TDecoder& operator=(const TDecoder&) = delete;

  bool Ok() const { return mpeg_.Ok(); }
  // Opens and checks a file. On failure `code` is an XA_ERROR_* and `error` readable.
  bool Open(const std::string& path, int& code, std::string& error);
  void Close();
  bool IsOpen() const { return current_ != nullptr; }
  const TStreamInfo& Info() const { return current_ != nullptr ? current_->Info() : none_; }

  // Decodes up to `maxFrames` frames into `out` (Info().format.channels interleaved).
  TRead Read(float* out, int maxFrames, int& frames, std::string& error);
  // Frame position of the next frame Read delivers.
  int64_t Position() const;
  bool Seek(int64_t frame);
  // Null turns the equalizer off.
  void SetEqualizer(const XA_EqualizerInfo* equalizer);
  void SetReplayGain(TReplayGain::TMode mode, float tagged, float untagged) {
    gain_.SetSettings(mode, tagged, untagged);
  }
  const TReplayGain& ReplayGain() const { return gain_; }

 private:
  enum class TFormat { Mpeg, Flac, OggFlac, Vorbis, Opus };
  static TFormat Sniff(int fd);
  TFormatDecoder& DecoderFor(TFormat format);
  bool Filtered() const { return current_ != &mpeg_ && bank_.Engaged(); }

  TMpegDecoder mpeg_;
  std::unique_ptr<TFormatDecoder> flac_, oggFlac_, vorbis_, opus_;
  TFormatDecoder* current_ = nullptr;
  TEqualizerBank bank_;
  TReplayGain gain_;
  bool boosted_ = false;
  int fd_ = -1;
  TStreamInfo none_;
};

}  // namespace xaudio
