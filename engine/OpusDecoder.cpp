#include "OpusDecoder.h"

#include <opus/opusfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace xaudio {

namespace {

constexpr int kRate = 48000;
// Damaged pages are skipped; a file made of nothing else must still end.
constexpr int kMaxHoles = 1000;

}  // namespace

bool TOpusDecoder::Open(int fd, int64_t, int& code, std::string& error) {
  Close();
  code = XA_ERROR_OPEN_FAILED;
  OpusFileCallbacks callbacks{};
  // The stream closes what it is given, so it gets a descriptor of its own.
  const int own = dup(fd);
  void* stream = own >= 0 ? op_fdopen(&callbacks, own, "rb") : nullptr;
  if (stream == nullptr) {
    if (own >= 0) close(own);
    error = "the decoder could not be created";
    return false;
  }
  int failure = 0;
  file_ = op_open_callbacks(stream, &callbacks, nullptr, 0, &failure);
  if (file_ == nullptr) {
    // On failure the stream is still ours.
    callbacks.close(stream);
    code = XA_ERROR_INVALID_INPUT;
    error = "the file is not Ogg Opus audio";
    return false;
  }
  info_ = TStreamInfo{};
  info_.format = {kRate, 2};
  const OpusHead* head = op_head(file_, 0);
  info_.sourceChannels = head != nullptr ? head->channel_count : 2;
  info_.mode = info_.sourceChannels == 1 ? XA_STREAM_MODE_SINGLE_CHANNEL : XA_STREAM_MODE_STEREO;
  info_.frames = std::max<int64_t>(0, op_pcm_total(file_, -1));
  // libopusfile applies the header's output gain itself; the tags' gains come on top.
  if (const OpusTags* tags = op_tags(file_, -1); tags != nullptr)
    for (int i = 0; i < tags->comments; ++i)
      info_.gains.AddComment(
          {tags->user_comments[i], static_cast<size_t>(tags->comment_lengths[i])});
  info_.bitrate = static_cast<int>(std::lround(std::max(0, op_bitrate(file_, -1)) / 1000.0));
  return true;
}

void TOpusDecoder::Close() {
  if (file_ != nullptr) op_free(file_);
  file_ = nullptr;
  position_ = 0;
}

TOpusDecoder::TRead TOpusDecoder::Read(float* out, int maxFrames, int& frames, std::string& error) {
  frames = 0;
  for (int holes = 0; holes < kMaxHoles; ++holes) {
    const int got = op_read_float_stereo(file_, out, maxFrames * 2);
    if (got == 0) return TRead::Done;
    if (got > 0) {
      frames = got;
      position_ += got;
      return TRead::Ok;
    }
    if (got != OP_HOLE) break;
  }
  error = "decoding failed: the Opus stream is damaged";
  return TRead::Failed;
}

bool TOpusDecoder::Seek(int64_t frame) {
  frame = std::clamp<int64_t>(frame, 0, info_.frames);
  if (op_pcm_seek(file_, frame) != 0) return false;
  position_ = frame;
  return true;
}

}  // namespace xaudio
