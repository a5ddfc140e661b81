#include "FlacDecoder.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace xaudio {

TFlacDecoder::~TFlacDecoder() {
  Close();
  if (decoder_ != nullptr) FLAC__stream_decoder_delete(decoder_);
}

bool TFlacDecoder::Open(int fd, int64_t size, int& code, std::string& error) {
  Close();
  code = XA_ERROR_OPEN_FAILED;
  if (decoder_ == nullptr) decoder_ = FLAC__stream_decoder_new();
  // libFLAC closes the stream it is given, so it gets a descriptor of its own.
  const int own = decoder_ != nullptr ? dup(fd) : -1;
  FILE* file = own >= 0 ? fdopen(own, "rb") : nullptr;
  if (file == nullptr) {
    if (own >= 0) close(own);
    error = "the decoder could not be created";
    return false;
  }
  info_ = TStreamInfo{};
  FLAC__stream_decoder_set_metadata_respond(decoder_, FLAC__METADATA_TYPE_VORBIS_COMMENT);
  const auto init = ogg_ ? FLAC__stream_decoder_init_ogg_FILE : FLAC__stream_decoder_init_FILE;
  if (init(decoder_, file, OnWrite, OnMetadata, OnError, this) !=
      FLAC__STREAM_DECODER_INIT_STATUS_OK) {
    // On failure libFLAC leaves the file open.
    fclose(file);
    error = "the FLAC decoder could not be started";
    return false;
  }
  code = XA_ERROR_INVALID_INPUT;
  if (!FLAC__stream_decoder_process_until_end_of_metadata(decoder_) || info_.format.rate <= 0 ||
      info_.sourceChannels <= 0) {
    Close();
    error = "the file is not FLAC audio";
    return false;
  }
  if (info_.frames <= 0) info_.frames = CountFrames();
  FLAC__uint64 audioAt = 0;
  if (!FLAC__stream_decoder_get_decode_position(decoder_, &audioAt)) audioAt = 0;
  if (info_.frames > 0) {
    const double seconds = static_cast<double>(info_.frames) / info_.format.rate;
    info_.bitrate = static_cast<int>(std::lround(
        static_cast<double>(size - static_cast<int64_t>(audioAt)) * 8 / seconds / 1000));
  }
  return true;
}

int64_t TFlacDecoder::CountFrames() {
  counting_ = true;
  counted_ = 0;
  while (FLAC__stream_decoder_get_state(decoder_) < FLAC__STREAM_DECODER_END_OF_STREAM &&
         FLAC__stream_decoder_process_single(decoder_)) {
  }
  counting_ = false;
  const int64_t counted = counted_;
  FLAC__stream_decoder_flush(decoder_);
  Seek(0);
  return counted;
}

void TFlacDecoder::Close() {
  if (decoder_ != nullptr) FLAC__stream_decoder_finish(decoder_);
  pending_.clear();
  taken_ = 0;
  position_ = 0;
}

void TFlacDecoder::OnMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata,
                              void* self) {
  if (metadata->type == FLAC__METADATA_TYPE_VORBIS_COMMENT) {
    const auto& tags = metadata->data.vorbis_comment;
    for (FLAC__uint32 i = 0; i < tags.num_comments; ++i)
      static_cast<TFlacDecoder*>(self)->info_.gains.AddComment(
          {reinterpret_cast<const char*>(tags.comments[i].entry), tags.comments[i].length});
    return;
  }
  if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO) return;
  auto& me = *static_cast<TFlacDecoder*>(self);
  const auto& stream = metadata->data.stream_info;
  me.downmix_ = TDownmix(TDownmix::TOrder::Flac, static_cast<int>(stream.channels));
  me.info_.format = {static_cast<int>(stream.sample_rate), me.downmix_.Channels()};
  me.info_.frames = static_cast<int64_t>(stream.total_samples);
  me.info_.sourceChannels = static_cast<int>(stream.channels);
  me.info_.sourceBits = static_cast<int>(stream.bits_per_sample);
  me.info_.mode = stream.channels == 1 ? XA_STREAM_MODE_SINGLE_CHANNEL : XA_STREAM_MODE_STEREO;
  me.scale_ = std::ldexp(1.0f, 1 - static_cast<int>(stream.bits_per_sample));
}

FLAC__StreamDecoderWriteStatus TFlacDecoder::OnWrite(const FLAC__StreamDecoder*,
                                                     const FLAC__Frame* frame,
                                                     const FLAC__int32* const buffer[],
                                                     void* self) {
  auto& me = *static_cast<TFlacDecoder*>(self);
  const int frames = static_cast<int>(frame->header.blocksize);
  if (me.counting_) {
    me.counted_ += frames;
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
  }
  // A frame whose layout differs from the stream's header is damage, not a format change.
  if (static_cast<int>(frame->header.channels) != me.info_.sourceChannels)
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
  me.pending_.resize(static_cast<size_t>(frames) * me.info_.format.channels);
  me.taken_ = 0;
  me.downmix_.Mix(buffer, 0, frames, me.scale_, me.pending_.data());
  return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void TFlacDecoder::OnError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus status,
                           void* self) {
  static_cast<TFlacDecoder*>(self)->damage_ = FLAC__StreamDecoderErrorStatusString[status];
}

TFlacDecoder::TRead TFlacDecoder::Read(float* out, int maxFrames, int& frames, std::string& error) {
  frames = 0;
  const size_t channels = static_cast<size_t>(info_.format.channels);
  while (frames < maxFrames) {
    if (taken_ == pending_.size()) {
      pending_.clear();
      taken_ = 0;
      const auto state = FLAC__stream_decoder_get_state(decoder_);
      if (state == FLAC__STREAM_DECODER_END_OF_STREAM) break;
      if (state > FLAC__STREAM_DECODER_END_OF_STREAM ||
          !FLAC__stream_decoder_process_single(decoder_)) {
        position_ += frames;
        error = "decoding failed: " +
                (damage_.empty() ? std::string(FLAC__StreamDecoderStateString[state]) : damage_);
        return TRead::Failed;
      }
      continue;
    }
    const size_t take =
        std::min((pending_.size() - taken_) / channels, static_cast<size_t>(maxFrames - frames));
    std::memcpy(out + frames * channels, pending_.data() + taken_, take * channels * sizeof(float));
    taken_ += take * channels;
    frames += static_cast<int>(take);
  }
  position_ += frames;
  return frames < maxFrames ? TRead::Done : TRead::Ok;
}

bool TFlacDecoder::Seek(int64_t frame) {
  pending_.clear();
  taken_ = 0;
  // libFLAC cannot seek to the end itself: it seeks to the last frame and drops it.
  const bool end = info_.frames > 0 && frame >= info_.frames;
  frame = std::clamp<int64_t>(frame, 0, std::max<int64_t>(0, info_.frames - 1));
  if (FLAC__stream_decoder_get_state(decoder_) == FLAC__STREAM_DECODER_SEEK_ERROR)
    FLAC__stream_decoder_flush(decoder_);
  if (!FLAC__stream_decoder_seek_absolute(decoder_, static_cast<FLAC__uint64>(frame))) {
    FLAC__stream_decoder_flush(decoder_);
    pending_.clear();
    return false;
  }
  position_ = frame;
  if (end) {
    taken_ = std::min(pending_.size(), static_cast<size_t>(info_.format.channels));
    position_ = info_.frames;
  }
  return true;
}

}  // namespace xaudio
