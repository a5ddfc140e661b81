#include "Decoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "FlacDecoder.h"
#include "OpusDecoder.h"
#include "VorbisDecoder.h"

namespace xaudio {

TDecoder::~TDecoder() { Close(); }

TDecoder::TFormat TDecoder::Sniff(int fd) {
  unsigned char head[64] = {};
  if (pread(fd, head, sizeof head, 0) < 8) return TFormat::Mpeg;
  int64_t at = 0;
  // An ID3v2 tag in front of a FLAC stream is allowed, and libFLAC skips it.
  if (std::memcmp(head, "ID3", 3) == 0) {
    at = 10 + ((head[6] & 0x7f) << 21 | (head[7] & 0x7f) << 14 | (head[8] & 0x7f) << 7 |
               (head[9] & 0x7f));
    unsigned char magic[4] = {};
    return pread(fd, magic, 4, at) == 4 && std::memcmp(magic, "fLaC", 4) == 0 ? TFormat::Flac
                                                                              : TFormat::Mpeg;
  }
  if (std::memcmp(head, "fLaC", 4) == 0) return TFormat::Flac;
  if (std::memcmp(head, "OggS", 4) != 0) return TFormat::Mpeg;
  // The first packet of the first page names the codec.
  const unsigned char* packet = head + 27 + head[26];
  if (packet + 8 > head + sizeof head) return TFormat::Vorbis;
  if (std::memcmp(packet, "OpusHead", 8) == 0) return TFormat::Opus;
  if (std::memcmp(packet,
                  "\x7f"
                  "FLAC",
                  5) == 0)
    return TFormat::OggFlac;
  return TFormat::Vorbis;
}

TFormatDecoder& TDecoder::DecoderFor(TFormat format) {
  const auto made = [](std::unique_ptr<TFormatDecoder>& decoder, auto make) -> TFormatDecoder& {
    if (decoder == nullptr) decoder = make();
    return *decoder;
  };
  switch (format) {
    case TFormat::Flac:
      return made(flac_, [] { return std::make_unique<TFlacDecoder>(false); });
    case TFormat::OggFlac:
      return made(oggFlac_, [] { return std::make_unique<TFlacDecoder>(true); });
    case TFormat::Vorbis:
      return made(vorbis_, [] { return std::make_unique<TVorbisDecoder>(); });
    case TFormat::Opus:
      return made(opus_, [] { return std::make_unique<TOpusDecoder>(); });
    case TFormat::Mpeg:
      break;
  }
  return mpeg_;
}

bool TDecoder::Open(const std::string& path, int& code, std::string& error) {
  Close();
  code = XA_ERROR_OPEN_FAILED;
  if (!Ok()) {
    error = "the decoder could not be created";
    return false;
  }
  // Without O_NONBLOCK a named pipe would hold the engine until someone writes to it.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const char* why = fd < 0                ? std::strerror(errno)
                      : S_ISDIR(st.st_mode) ? "a folder"
                                            : "not a regular file";
    error = std::string("cannot open the file: ") + why;
    if (fd >= 0) close(fd);
    return false;
  }
  TFormatDecoder& decoder = DecoderFor(Sniff(fd));
  if (!decoder.Open(fd, st.st_size, code, error)) {
    close(fd);
    return false;
  }
  fd_ = fd;
  current_ = &decoder;
  bank_.Reset();
  gain_.Begin(decoder.Info().gains, decoder.Info().format.rate);
  return true;
}

void TDecoder::Close() {
  if (current_ == nullptr) return;
  current_->Close();
  current_ = nullptr;
  close(fd_);
  fd_ = -1;
}

TDecoder::TRead TDecoder::Read(float* out, int maxFrames, int& frames, std::string& error) {
  frames = 0;
  if (current_ == nullptr) return TRead::Done;
  const TRead result = Filtered() ? bank_.Read(*current_, out, maxFrames, frames, error)
                                  : current_->Read(out, maxFrames, frames, error);
  // After the equalizer, so that its boost is kept under full scale too.
  gain_.Apply(out, frames, current_->Info().format.channels, boosted_);
  return result;
}

int64_t TDecoder::Position() const {
  if (current_ == nullptr) return 0;
  return current_->Position() - (Filtered() ? bank_.Ahead() : 0);
}

bool TDecoder::Seek(int64_t frame) {
  if (current_ == nullptr) return false;
  bank_.Reset();
  return current_->Seek(frame);
}

void TDecoder::SetEqualizer(const XA_EqualizerInfo* equalizer) {
  mpeg_.SetEqualizer(equalizer);
  boosted_ =
      equalizer != nullptr && (std::any_of(std::begin(equalizer->left), std::end(equalizer->left),
                                           [](signed char b) { return b > 0; }) ||
                               std::any_of(std::begin(equalizer->right), std::end(equalizer->right),
                                           [](signed char b) { return b > 0; }));
  bank_.SetBands(equalizer);
}

}  // namespace xaudio
