#include "Transport.h"

#include <algorithm>
#include <cmath>

namespace xaudio {

namespace {

// About three quarters of a second at 44.1 kHz: enough to ride out a busy machine, short
// enough that the tail after the end of an input stays short.
constexpr int kBlocks = 16;
constexpr int kFramesPerBlock = 2048;
constexpr int kMaxSilentReads = 1000;

}  // namespace

TTransport::TTransport(TNotificationQueue& notices)
    : notices_(notices), ring_(kBlocks, kFramesPerBlock), stage_(ring_, notices) {}

void TTransport::Start() {
  stage_.OnInputEnd = OnInputEnd;
  stage_.Start();
}

void TTransport::SetState(int state) {
  if (state == state_) return;
  state_ = state;
  notices_.Post(TNotice::State(XA_MSG_NOTIFY_PLAYER_STATE, state));
}

void TTransport::NewEpoch() { stage_.SetEpoch(++epoch_); }

bool TTransport::Sounding() const {
  return state_ == XA_PLAYER_STATE_PLAYING || state_ == XA_PLAYER_STATE_PAUSED;
}

void TTransport::Rewind() {
  decoded_ = false;
  endedWhilePaused_ = false;
}

void TTransport::NewInput() {
  ++input_;
  stage_.Report(input_, range_, granularity_);
}

void TTransport::SetReporting(int range, int granularity) {
  range_ = range;
  granularity_ = granularity;
  stage_.Report(input_, range_, granularity_);
}

void TTransport::PostPosition(int64_t frame) {
  const TStreamInfo& info = decoder_.Info();
  if (info.format.rate <= 0) return;
  const int64_t offset = info.frames > 0 ? frame * range_ / info.frames : 0;
  notices_.Post(TNotice::Position(std::min<int64_t>(offset, range_), range_));
  notices_.Post(TNotice::Timecode(frame * 100 / info.format.rate));
}

void TTransport::Open(const std::string& path) {
  // A song still playing or paused is abandoned; the end of a finished one is heard out.
  if (Sounding()) {
    NewEpoch();
    stage_.SetPaused(false);
  }
  SetState(XA_PLAYER_STATE_STOPPED);
  Rewind();
  NewInput();
  int code = 0;
  std::string error;
  if (!decoder_.Open(path, code, error)) {
    inputName_.clear();
    notices_.Post(TNotice::State(XA_MSG_NOTIFY_INPUT_STATE, XA_INPUT_STATE_CLOSED));
    notices_.Post(TNotice::Error(XA_SOURCE_INPUT, code, error));
    return;
  }
  inputName_ = path;
  stage_.Name(input_, path);
  const TStreamInfo& info = decoder_.Info();
  notices_.Post(TNotice::State(XA_MSG_NOTIFY_INPUT_STATE, XA_INPUT_STATE_OPEN));
  notices_.Post(TNotice::Text(XA_MSG_NOTIFY_INPUT_NAME, path));
  TNotice duration = TNotice::Code(XA_MSG_NOTIFY_INPUT_DURATION);
  duration.message.data.duration =
      static_cast<uint32_t>(std::llround(static_cast<double>(info.frames) / info.format.rate));
  notices_.Post(std::move(duration));
  TNotice stream = TNotice::Code(XA_MSG_NOTIFY_INPUT_STREAM_INFO);
  auto& s = stream.message.data.input_stream_info;
  s.level = static_cast<uint8_t>(info.level);
  s.layer = static_cast<uint8_t>(info.layer);
  s.bitrate = static_cast<uint16_t>(std::clamp(info.bitrate, 0, 0xffff));
  s.frequency = static_cast<uint16_t>(info.format.rate);
  s.mode = static_cast<uint8_t>(info.mode);
  notices_.Post(std::move(stream));
  PostPosition(0);
  PostReplayGain();
}

void TTransport::SetReplayGain(int mode, float tagged, float untagged) {
  decoder_.SetReplayGain(static_cast<TReplayGain::TMode>(std::clamp(mode, 0, 2)), tagged, untagged);
  if (decoder_.IsOpen()) PostReplayGain();
}

void TTransport::PostReplayGain() {
  const std::string hint = decoder_.ReplayGain().Hint();
  if (hint.empty()) return;
  TNotice n = TNotice::Text(XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING, XA_ENVIRONMENT_REPLAYGAIN);
  n.text2 = hint;
  notices_.Post(std::move(n));
}

void TTransport::Close() {
  NewEpoch();
  stage_.SetPaused(false);
  NewInput();
  const bool wasOpen = decoder_.IsOpen();
  decoder_.Close();
  inputName_.clear();
  SetState(XA_PLAYER_STATE_STOPPED);
  Rewind();
  if (wasOpen) notices_.Post(TNotice::State(XA_MSG_NOTIFY_INPUT_STATE, XA_INPUT_STATE_CLOSED));
}

void TTransport::Play() {
  if (!decoder_.IsOpen()) {
    notices_.Post(TNotice::Nack(XA_MSG_COMMAND_PLAY, XA_ERROR_NO_INPUT));
    return;
  }
  if (state_ == XA_PLAYER_STATE_PLAYING) return;
  // An output that failed, or a named one not yet opened, is opened first: never playing
  // into no sound.
  if (std::string error; !stage_.Reopen(error)) {
    notices_.Post(TNotice::Error(XA_SOURCE_OUTPUT, XA_ERROR_OUTPUT, error));
    return;
  }
  switch (state_) {
    case XA_PLAYER_STATE_PAUSED:
      stage_.SetPaused(false);
      SetState(XA_PLAYER_STATE_PLAYING);
      if (endedWhilePaused_) InputEnded(epoch_, input_);
      return;
    case XA_PLAYER_STATE_EOF:
      // The same song again, after its own tail.
      decoder_.Seek(0);
      break;
    default:
      break;
  }
  SetState(XA_PLAYER_STATE_PLAYING);
}

void TTransport::Pause() {
  if (state_ != XA_PLAYER_STATE_PLAYING) return;
  stage_.SetPaused(true);
  SetState(XA_PLAYER_STATE_PAUSED);
}

void TTransport::Stop() {
  // The end of a finished song plays out; a song still playing is cut.
  if (Sounding()) NewEpoch();
  stage_.SetPaused(false);
  // What remains of the old sound no longer moves the time.
  NewInput();
  stage_.Name(input_, inputName_);
  if (decoder_.IsOpen()) {
    decoder_.Seek(0);
    PostPosition(0);
  }
  SetState(XA_PLAYER_STATE_STOPPED);
  Rewind();
}

void TTransport::InputEnded(uint64_t epoch, uint64_t input) {
  if (epoch != epoch_ || input != input_ || !decoded_) return;
  if (state_ == XA_PLAYER_STATE_PAUSED) {
    endedWhilePaused_ = true;
    return;
  }
  if (state_ != XA_PLAYER_STATE_PLAYING) return;
  SetState(XA_PLAYER_STATE_EOF);
  Rewind();
}

void TTransport::Seek(int offset, int range) {
  if (!decoder_.IsOpen()) {
    notices_.Post(TNotice::Nack(XA_MSG_COMMAND_INPUT_SEEK, XA_ERROR_NO_INPUT));
    return;
  }
  if (range <= 0) {
    notices_.Post(TNotice::Nack(XA_MSG_COMMAND_INPUT_SEEK, XA_ERROR_INVALID_PARAMETERS));
    return;
  }
  const double fraction = std::clamp(static_cast<double>(offset) / range, 0.0, 1.0);
  const auto target = static_cast<int64_t>(fraction * decoder_.Info().frames);
  NewEpoch();
  if (!decoder_.Seek(target)) {
    notices_.Post(TNotice::Error(XA_SOURCE_INPUT, XA_ERROR_DECODE, "cannot seek in the file"));
    return;
  }
  PostPosition(decoder_.Position());
  if (state_ == XA_PLAYER_STATE_EOF) SetState(XA_PLAYER_STATE_STOPPED);
  Rewind();
}

void TTransport::Exit(bool mayPlayOut) {
  const bool sounding = state_ == XA_PLAYER_STATE_PLAYING || state_ == XA_PLAYER_STATE_EOF;
  stage_.Finish(mayPlayOut && sounding);
  decoder_.Close();
}

void TTransport::SelectOutput(const std::string& setting) {
  NewEpoch();
  stage_.SelectOutput(setting);
}

void TTransport::DecodeStep() {
  TAudioBlock* block = ring_.BeginWrite();
  if (block == nullptr) return;
  const TStreamInfo& info = decoder_.Info();
  // What a read gives is in the format from before any change it reports.
  const TAudioFormat format = info.format;
  const int64_t first = decoder_.Position();
  int frames = 0;
  std::string error;
  // At most a twentieth of a second a block, so the time reports stay fine-grained.
  const int maxFrames = std::clamp(format.rate / 20, 64, ring_.FramesPerBlock());
  TDecoder::TRead result = decoder_.Read(block->samples.data(), maxFrames, frames, error);
  // A stream that keeps yielding nothing would keep this thread spinning.
  silentReads_ = frames > 0 ? 0 : silentReads_ + 1;
  if (result == TDecoder::TRead::Ok && silentReads_ > kMaxSilentReads) {
    result = TDecoder::TRead::Failed;
    error = "decoding failed: the stream yields no sound";
  }
  // A file damaged after some sound ends where its sound ends, and play goes on as at any
  // end; the damage is only told. One that yields no sound at all is an error.
  const bool failed = result == TDecoder::TRead::Failed;
  const bool done = result == TDecoder::TRead::Done || (failed && decoder_.Position() > 0);
  // The end travels with the sound, so it is reported when it is heard.
  if (frames > 0 || done) {
    block->frames = frames;
    block->format = format;
    block->epoch = epoch_;
    block->input = input_;
    block->firstFrame = first;
    block->inputFrames = info.frames;
    block->last = done;
    ring_.EndWrite();
  }
  if (done) decoded_ = true;
  if (failed && done) {
    TNotice damaged = TNotice::Text(XA_MSG_NOTIFY_DEBUG, error);
    damaged.message.data.debug.source = XA_SOURCE_CODEC;
    damaged.message.data.debug.level = XA_DEBUG_LEVEL_INPUT_DAMAGED;
    notices_.Post(std::move(damaged));
  } else if (failed) {
    notices_.Post(TNotice::Error(XA_SOURCE_CODEC, XA_ERROR_DECODE, error));
    SetState(XA_PLAYER_STATE_STOPPED);
  }
}

}  // namespace xaudio
