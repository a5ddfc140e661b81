#include "VorbisDecoder.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace xaudio {

namespace {

// Damaged pages are skipped; a file made of nothing else must still end.
constexpr int kMaxHoles = 1000;

}  // namespace

bool TVorbisDecoder::Open(int fd, int64_t size, int& code, std::string& error) {
  Close();
  code = XA_ERROR_OPEN_FAILED;
  // libvorbisfile closes the stream it is given, so it gets a descriptor of its own.
  const int own = dup(fd);
  FILE* file = own >= 0 ? fdopen(own, "rb") : nullptr;
  if (file == nullptr) {
    if (own >= 0) close(own);
    error = "the decoder could not be created";
    return false;
  }
  if (ov_open_callbacks(file, &file_, nullptr, 0, OV_CALLBACKS_DEFAULT) != 0) {
    // On failure the file is still ours.
    fclose(file);
    code = XA_ERROR_INVALID_INPUT;
    error = "the file is not Ogg Vorbis audio";
    return false;
  }
  open_ = true;
  info_ = TStreamInfo{};
  link_ = -1;
  TakeFormat();
  if (const vorbis_comment* tags = ov_comment(&file_, -1); tags != nullptr)
    for (int i = 0; i < tags->comments; ++i)
      info_.gains.AddComment(
          {tags->user_comments[i], static_cast<size_t>(tags->comment_lengths[i])});
  info_.frames = std::max<int64_t>(0, ov_pcm_total(&file_, -1));
  // libvorbisfile leaves the headers out, which on a short file are most of it.
  if (info_.frames > 0 && info_.format.rate > 0)
    info_.bitrate = static_cast<int>(std::lround(static_cast<double>(size) * 8 * info_.format.rate /
                                                 static_cast<double>(info_.frames) / 1000));
  return true;
}

void TVorbisDecoder::TakeFormat() {
  const int link = ov_seekable(&file_) ? file_.current_link : 0;
  if (link == link_ && link_ >= 0) return;
  link_ = link;
  const vorbis_info* vi = ov_info(&file_, -1);
  if (vi == nullptr) return;
  downmix_ = TDownmix(TDownmix::TOrder::Vorbis, vi->channels);
  info_.format = {static_cast<int>(vi->rate), downmix_.Channels()};
  info_.sourceChannels = vi->channels;
  info_.mode = vi->channels == 1 ? XA_STREAM_MODE_SINGLE_CHANNEL : XA_STREAM_MODE_STEREO;
}

void TVorbisDecoder::Close() {
  if (!open_) return;
  ov_clear(&file_);
  open_ = false;
  position_ = 0;
  held_ = 0;
}

TVorbisDecoder::TRead TVorbisDecoder::Read(float* out, int maxFrames, int& frames,
                                           std::string& error) {
  frames = 0;
  int link = 0;
  for (int holes = 0; held_ == 0; ++holes) {
    const long got = ov_read_float(&file_, &planes_, maxFrames, &link);
    if (got == 0) return TRead::Done;
    if (got > 0) {
      held_ = static_cast<int>(got);
      break;
    }
    if (got != OV_HOLE || holes >= kMaxHoles) {
      error = "decoding failed: the Vorbis stream is damaged";
      return TRead::Failed;
    }
  }
  // The samples of a new link are in its format: the change is told first, without them.
  const TAudioFormat before = info_.format;
  TakeFormat();
  if (!(info_.format == before)) return TRead::NewFormat;
  frames = std::min(held_, maxFrames);
  downmix_.Mix(planes_, 0, frames, 1.0f, out);
  held_ = 0;
  position_ += frames;
  return TRead::Ok;
}

bool TVorbisDecoder::Seek(int64_t frame) {
  frame = std::clamp<int64_t>(frame, 0, info_.frames);
  held_ = 0;
  if (ov_pcm_seek(&file_, frame) != 0) return false;
  TakeFormat();
  position_ = frame;
  return true;
}

}  // namespace xaudio
