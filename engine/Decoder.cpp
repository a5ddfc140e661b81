#include "Decoder.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "Levels.h"

namespace xaudio {

namespace {

// Bytes of the ID3v2 tag at the front.
int64_t FrontTagBytes(int fd) {
  unsigned char h[10];
  if (pread(fd, h, sizeof h, 0) != static_cast<ssize_t>(sizeof h) || std::memcmp(h, "ID3", 3) != 0)
    return 0;
  return 10 + ((h[6] & 0x7f) << 21 | (h[7] & 0x7f) << 14 | (h[8] & 0x7f) << 7 | (h[9] & 0x7f));
}

// Bytes of the ID3v1 tag at the back.
int64_t BackTagBytes(int fd, int64_t size) {
  char t[3];
  return size >= 128 && pread(fd, t, 3, size - 128) == 3 && std::memcmp(t, "TAG", 3) == 0 ? 128 : 0;
}

// The byte count an info frame (Xing/Info or VBRI) in the first frame after the ID3v2 tag
// claims for the stream; 0 when there is none or it gives no count.
int64_t InfoFrameBytes(int fd, int64_t front) {
  unsigned char f[64];
  if (pread(fd, f, sizeof f, front) != static_cast<ssize_t>(sizeof f)) return 0;
  if (f[0] != 0xff || (f[1] & 0xe0) != 0xe0) return 0;
  auto big = [&](int at) {
    return int64_t{f[at]} << 24 | int64_t{f[at + 1]} << 16 | int64_t{f[at + 2]} << 8 | f[at + 3];
  };
  const bool mpeg1 = (f[1] & 0x18) == 0x18;
  const bool mono = (f[3] & 0xc0) == 0xc0;
  const int xing = 4 + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
  if (std::memcmp(f + xing, "Xing", 4) == 0 || std::memcmp(f + xing, "Info", 4) == 0) {
    const int64_t flags = big(xing + 4);
    if ((flags & 2) == 0) return 0;
    return big(xing + ((flags & 1) ? 12 : 8));
  }
  if (std::memcmp(f + 36, "VBRI", 4) == 0) return big(36 + 10);
  return 0;
}

}  // namespace

TDecoder::TDecoder() {
  int error = MPG123_OK;
  handle_ = mpg123_new(nullptr, &error);
  if (handle_ == nullptr) return;
  // Tags are the program's business (it reads ID3v1 itself): ID3v2 is only skipped.
  mpg123_param2(handle_, MPG123_ADD_FLAGS,
                MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_FLOAT | MPG123_SKIP_ID3V2, 0.0);
  // Formats must be chosen before any open: set later they are silently ignored.
  mpg123_format_none(handle_);
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i)
    mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
}

TDecoder::~TDecoder() {
  Close();
  if (handle_ != nullptr) mpg123_delete(handle_);
}

bool TDecoder::Open(const std::string& path, int& code, std::string& error) {
  Close();
  code = XA_ERROR_OPEN_FAILED;
  if (handle_ == nullptr) {
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
  if (mpg123_open_fd(handle_, fd) != MPG123_OK) {
    error = std::string("cannot open the file: ") + mpg123_strerror(handle_);
    close(fd);
    return false;
  }
  fd_ = fd;
  open_ = true;
  // VBR bit rates count audio only, without the tags.
  const int64_t front = FrontTagBytes(fd);
  const int64_t audioBytes = st.st_size - front - BackTagBytes(fd, st.st_size);
  if (ReadInfo(audioBytes, InfoFrameBytes(fd, front), code, error)) return true;
  Close();
  return false;
}

bool TDecoder::ReadInfo(int64_t audioBytes, int64_t claimedBytes, int& code, std::string& error) {
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) {
    code = XA_ERROR_INVALID_INPUT;
    error = "the file is not MPEG audio";
    return false;
  }
  mpg123_frameinfo2 frame{};
  mpg123_info2(handle_, &frame);
  // Without an info frame the length is a guess; a scan of the frame headers makes it
  // exact. So it does when the file is much shorter than its info frame says (a truncated
  // copy): the info frame's byte count tells, or for a constant bit rate the length.
  long accurate = 0;
  const bool known =
      mpg123_getstate(handle_, MPG123_ACCURATE, &accurate, nullptr) == MPG123_OK && accurate;
  if (claimedBytes <= 0 && frame.vbr == MPG123_CBR)
    claimedBytes = static_cast<int64_t>(static_cast<double>(mpg123_length(handle_)) / rate *
                                        frame.bitrate * 125.0);
  if (!known || static_cast<double>(audioBytes) < 0.95 * static_cast<double>(claimedBytes))
    mpg123_scan(handle_);
  info_ = TStreamInfo{};
  info_.format = {static_cast<int>(rate), channels};
  info_.frames = std::max<int64_t>(0, mpg123_length(handle_));
  info_.level = frame.version + 1;
  info_.layer = frame.layer;
  info_.mode = frame.mode;
  info_.bitrate = frame.bitrate;
  if (frame.vbr != MPG123_CBR && info_.frames > 0 && rate > 0) {
    const double seconds = static_cast<double>(info_.frames) / rate;
    info_.bitrate = static_cast<int>(std::lround(audioBytes * 8 / seconds / 1000));
  }
  position_ = 0;
  return true;
}

void TDecoder::Close() {
  if (!open_) return;
  mpg123_close(handle_);
  close(fd_);
  fd_ = -1;
  open_ = false;
}

TDecoder::TRead TDecoder::Read(float* out, int maxFrames, int& frames, std::string& error) {
  frames = 0;
  const int channels = info_.format.channels;
  size_t done = 0;
  const int result = mpg123_read(handle_, out, sizeof(float) * channels * maxFrames, &done);
  frames = static_cast<int>(done / (sizeof(float) * channels));
  position_ += frames;
  switch (result) {
    case MPG123_OK:
      return TRead::Ok;
    case MPG123_DONE:
      return TRead::Done;
    case MPG123_NEW_FORMAT: {
      long rate = 0;
      int encoding = 0;
      mpg123_getformat(handle_, &rate, &info_.format.channels, &encoding);
      info_.format.rate = static_cast<int>(rate);
      return TRead::NewFormat;
    }
    default:
      error = std::string("decoding failed: ") + mpg123_strerror(handle_);
      return TRead::Failed;
  }
}

bool TDecoder::Seek(int64_t frame) {
  const off_t landed = mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET);
  if (landed < 0) return false;
  position_ = landed;
  return true;
}

void TDecoder::SetEqualizer(const XA_EqualizerInfo* equalizer) {
  if (handle_ == nullptr) return;
  if (equalizer == nullptr) {
    mpg123_reset_eq(handle_);
    return;
  }
  for (int band = 0; band < 32; ++band) {
    mpg123_eq2(handle_, MPG123_LEFT, band, EqualizerFactor(equalizer->left[band]));
    mpg123_eq2(handle_, MPG123_RIGHT, band, EqualizerFactor(equalizer->right[band]));
  }
}

}  // namespace xaudio
