#include "MpegDecoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>

#include "Levels.h"
#include "StreamProbe.h"

namespace xaudio {

TMpegDecoder::TMpegDecoder() {
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

TMpegDecoder::~TMpegDecoder() {
  Close();
  if (handle_ != nullptr) mpg123_delete(handle_);
}

bool TMpegDecoder::Open(int fd, int64_t size, int& code, std::string& error) {
  Close();
  code = XA_ERROR_OPEN_FAILED;
  if (handle_ == nullptr) {
    error = "the decoder could not be created";
    return false;
  }
  mpg123_param2(handle_, MPG123_REMOVE_FLAGS, MPG123_NO_FRANKENSTEIN, 0.0);
  if (mpg123_open_fd(handle_, fd) != MPG123_OK) {
    error = std::string("cannot open the file: ") + mpg123_strerror(handle_);
    return false;
  }
  open_ = true;
  if (ReadInfo(TStreamProbe(fd, size), code, error)) {
    info_.gains.ReadMpeg(fd);
    return true;
  }
  Close();
  return false;
}

bool TMpegDecoder::ReadInfo(const TStreamProbe& probe, int& code, std::string& error) {
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
  info_ = TStreamInfo{};
  lead_ = 0;
  const int64_t spf = mpg123_spf(handle_);
  // libmpg123 estimates the length from the first frames, and says it is accurate even so.
  // An info frame is believed where libmpg123 took it (a second ID3v2 tag hides it: then
  // it counts other frames than the info frame claims), the file holds the bytes it
  // claims, and whole frames end the audio or end just where it says: junk after that end
  // is not played. Without one, a file whose frames all have one bit rate is measured by
  // its size. Anything else has its frame headers counted.
  long accurate = 0;
  // Free format has no bit rate in its headers: 0.
  bool averageBitrate = frame.vbr != MPG123_CBR || frame.bitrate == 0;
  const bool known = mpg123_getstate(handle_, MPG123_ACCURATE, &accurate, nullptr) == MPG123_OK &&
                     accurate && mpg123_framelength(handle_) == probe.ClaimedFrames();
  const auto audioBytes = static_cast<double>(probe.AudioBytes());
  const bool whole = probe.EndsWithWholeFrame();
  const bool junkAfter = !whole && probe.InfoFrameEndsWhole();
  if (probe.HasInfoFrame() && known && probe.HoldsClaimedBytes() && (whole || junkAfter)) {
    info_.frames = mpg123_length(handle_);
    // libmpg123 would decode whatever in the junk looks like frames, in their own format.
    if (junkAfter) mpg123_param2(handle_, MPG123_ADD_FLAGS, MPG123_NO_FRANKENSTEIN, 0.0);
  } else if (!probe.HasInfoFrame() && frame.vbr == MPG123_CBR && probe.ConstantBitrate() && whole) {
    info_.frames = probe.ConstantBitrateFrames() * spf;
  } else {
    // The first frame's bit rate may say nothing of the others here.
    averageBitrate = averageBitrate || !probe.ConstantBitrate();
    mpg123_scan(handle_);
    info_.frames = mpg123_length(handle_);
    // Having counted fewer frames than the info frame claims, libmpg123 gives up the
    // encoder delay along with the padding; the start is trimmed here as a plain decode
    // of the file trims it.
    const int64_t counted = int64_t{mpg123_framelength(handle_)} * spf;
    if (frame.layer == 3 && probe.ClaimedFrames() * spf > counted && info_.frames == counted)
      lead_ = probe.EncoderDelay() + kDecoderDelay;
    if (lead_ > 0 && mpg123_seek(handle_, static_cast<off_t>(lead_), SEEK_SET) < 0) lead_ = 0;
    info_.frames -= lead_;
  }
  info_.format = {static_cast<int>(rate), channels};
  info_.frames = std::max<int64_t>(0, info_.frames);
  info_.level = frame.version + 1;
  info_.layer = frame.layer;
  info_.mode = frame.mode;
  info_.sourceChannels = channels;
  info_.bitrate = frame.bitrate;
  // Averages count audio only, without the tags.
  if (averageBitrate && info_.frames > 0 && rate > 0) {
    const double seconds = static_cast<double>(info_.frames) / rate;
    info_.bitrate = static_cast<int>(std::lround(audioBytes * 8 / seconds / 1000));
  }
  position_ = 0;
  return true;
}

void TMpegDecoder::Close() {
  if (!open_) return;
  mpg123_close(handle_);
  open_ = false;
}

TMpegDecoder::TRead TMpegDecoder::Read(float* out, int maxFrames, int& frames, std::string& error) {
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

bool TMpegDecoder::Seek(int64_t frame) {
  const off_t landed = mpg123_seek(handle_, static_cast<off_t>(frame + lead_), SEEK_SET);
  if (landed < 0) return false;
  position_ = landed - lead_;
  return true;
}

void TMpegDecoder::SetEqualizer(const XA_EqualizerInfo* equalizer) {
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
