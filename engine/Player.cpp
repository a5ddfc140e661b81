#include "Player.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "Levels.h"
#include "ThreadPriority.h"

namespace xaudio {

namespace {

constexpr auto kIdleWait = std::chrono::milliseconds(200);

}  // namespace

TPlayer::TPlayer() {
  if (!Ok()) return;
  transport_.OnInputEnd = [this](uint64_t epoch, uint64_t input) {
    TCommand ended;
    ended.code = kCommandInputEnded;
    ended.marks[0] = epoch;
    ended.marks[1] = input;
    commands_.Push(std::move(ended));
  };
  transport_.SetOutputPriority(priority_);
  transport_.Start();
  commands_.OnPush = [this] { transport_.Interrupt(); };
  thread_ = std::thread([this] { Run(); });
}

TPlayer::~TPlayer() {
  dropOnExit_ = true;
  // Nothing queued is to be heard: no wait on the sound server holds the close.
  transport_.Cancel();
  TCommand exit;
  exit.code = XA_MSG_COMMAND_EXIT;
  commands_.Push(exit);
  if (thread_.joinable()) thread_.join();
}

int TPlayer::Send(TCommand command) {
  return commands_.Push(std::move(command)) ? XA_SUCCESS : XA_ERROR_EXITED;
}

void TPlayer::SetPriority(int level) {
  priority_ = std::clamp(level, XA_PRIORITY_LOWEST, XA_PRIORITY_HIGHEST);
  ApplyThreadPriority(engineTid_, priority_);
  transport_.SetOutputPriority(priority_);
}

void TPlayer::Run() {
  engineTid_ = static_cast<pid_t>(syscall(SYS_gettid));
  ApplyThreadPriority(engineTid_, priority_);
  Post(TNotice::Code(XA_MSG_NOTIFY_READY));
  for (;;) {
    // Commands first, in order; decoding goes on between them.
    std::optional<TCommand> command =
        transport_.Busy() ? commands_.TryPop() : commands_.Pop(kIdleWait);
    if (command) {
      if (!Handle(*command)) break;
    } else if (transport_.Busy()) {
      transport_.DecodeStep();
    }
  }
  // The thread id may be reused once this thread ends: priorities must not reach it.
  engineTid_ = 0;
  transport_.Exit(!dropOnExit_);
  Post(TNotice::Code(XA_MSG_NOTIFY_EXITED));
}

template <typename F>
void TPlayer::Answer(int code, F fill) {
  TNotice n = TNotice::Code(code);
  fill(n.message.data);
  Post(std::move(n));
}

void TPlayer::PostVolume(int code) {
  Answer(code, [this](auto& d) { d.volume = volume_; });
}

void TPlayer::SetVolume(int master, int pcm, int balance) {
  auto apply = [this](uint8_t& field, int value, int code) {
    if (value == XA_VOLUME_UNCHANGED) return;
    const auto level = static_cast<uint8_t>(std::clamp(value, 0, 100));
    if (level == field) return;
    field = level;
    PostVolume(code);
  };
  apply(volume_.master_level, master, XA_MSG_NOTIFY_OUTPUT_MASTER_LEVEL);
  apply(volume_.pcm_level, pcm, XA_MSG_NOTIFY_OUTPUT_PCM_LEVEL);
  apply(volume_.balance, balance, XA_MSG_NOTIFY_OUTPUT_BALANCE);
  transport_.SetGains(OutputGains(volume_.master_level, volume_.pcm_level, volume_.balance));
}

void TPlayer::SetEnvironmentString(const std::string& name, const std::string& value) {
  environmentIntegers_.erase(name);
  environmentStrings_[name] = value;
  if (name == XA_ENVIRONMENT_OUTPUT) transport_.SelectOutput(value);
}

void TPlayer::ApplyReplayGain() {
  const auto get = [&](const char* name) {
    const auto i = environmentIntegers_.find(name);
    return i != environmentIntegers_.end() ? i->second : 0;
  };
  const auto db = [&](const char* name) { return std::clamp(get(name), -150, 150) / 10.0f; };
  transport_.SetReplayGain(get(XA_ENVIRONMENT_REPLAYGAIN), db(XA_ENVIRONMENT_REPLAYGAIN_PREAMP),
                           db(XA_ENVIRONMENT_REPLAYGAIN_UNTAGGED));
}

void TPlayer::PostEnvironment(int command, const std::string& name) {
  if (auto s = environmentStrings_.find(name); s != environmentStrings_.end()) {
    TNotice n = TNotice::Text(XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING, name);
    n.text2 = s->second;
    Post(std::move(n));
  } else if (auto i = environmentIntegers_.find(name); i != environmentIntegers_.end()) {
    TNotice n = TNotice::Text(XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_INTEGER, name);
    n.message.data.environment_integer.value = i->second;
    Post(std::move(n));
  } else {
    Post(TNotice::Nack(command, XA_ERROR_INVALID_PARAMETERS));
  }
}

bool TPlayer::HandleTransport(const TCommand& c) {
  switch (c.code) {
    case XA_MSG_COMMAND_PLAY:
      transport_.Play();
      return true;
    case kCommandInputEnded:
      transport_.InputEnded(c.marks[0], c.marks[1]);
      return true;
    case XA_MSG_COMMAND_PAUSE:
      transport_.Pause();
      return true;
    case XA_MSG_COMMAND_STOP:
      transport_.Stop();
      return true;
    case XA_MSG_COMMAND_INPUT_SEEK:
      transport_.Seek(c.ints[0], c.ints[1]);
      return true;
    case XA_MSG_COMMAND_INPUT_OPEN:
    case XA_MSG_SET_INPUT_NAME:
      transport_.Open(c.texts[0]);
      return true;
    case XA_MSG_COMMAND_INPUT_CLOSE:
      transport_.Close();
      return true;
    case XA_MSG_GET_INPUT_NAME:
      Post(TNotice::Text(XA_MSG_NOTIFY_INPUT_NAME, transport_.InputName()));
      return true;
    case XA_MSG_SET_OUTPUT_NAME:
      SetEnvironmentString(XA_ENVIRONMENT_OUTPUT, c.texts[0]);
      return true;
    case XA_MSG_GET_OUTPUT_NAME:
      Post(TNotice::Text(XA_MSG_NOTIFY_OUTPUT_NAME, transport_.OutputName()));
      return true;
    case XA_MSG_COMMAND_OUTPUT_MUTE:
    case XA_MSG_COMMAND_OUTPUT_UNMUTE:
      transport_.SetMuted(c.code == XA_MSG_COMMAND_OUTPUT_MUTE);
      return true;
    default:
      return false;
  }
}

bool TPlayer::Handle(const TCommand& c) {
  if (HandleTransport(c)) return true;
  const int* i = c.ints;
  switch (c.code) {
    case XA_MSG_COMMAND_EXIT:
      return false;
    case XA_MSG_COMMAND_PING:
      Answer(XA_MSG_NOTIFY_PONG, [&](auto& d) { d.tag = static_cast<uint32_t>(i[0]); });
      break;
    case XA_MSG_SET_PLAYER_MODE:
      playerMode_ = i[0];
      break;
    case XA_MSG_GET_PLAYER_MODE:
      Answer(XA_MSG_NOTIFY_PLAYER_MODE, [&](auto& d) { d.mode = playerMode_; });
      break;
    case XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER:
      environmentStrings_.erase(c.texts[0]);
      environmentIntegers_[c.texts[0]] = i[0];
      if (c.texts[0].starts_with(XA_ENVIRONMENT_REPLAYGAIN)) ApplyReplayGain();
      break;
    case XA_MSG_SET_PLAYER_ENVIRONMENT_STRING:
      SetEnvironmentString(c.texts[0], c.texts[1]);
      break;
    case XA_MSG_GET_PLAYER_ENVIRONMENT_INTEGER:
    case XA_MSG_GET_PLAYER_ENVIRONMENT_STRING:
      PostEnvironment(c.code, c.texts[0]);
      break;
    case XA_MSG_UNSET_PLAYER_ENVIRONMENT:
      if (environmentIntegers_.erase(c.texts[0]) &&
          c.texts[0].starts_with(XA_ENVIRONMENT_REPLAYGAIN))
        ApplyReplayGain();
      if (environmentStrings_.erase(c.texts[0]) && c.texts[0] == XA_ENVIRONMENT_OUTPUT)
        transport_.SelectOutput(XA_OUTPUT_DEFAULT);
      break;
    case XA_MSG_SET_INPUT_POSITION_RANGE:
      if (i[0] > 0) positionRange_ = i[0];
      transport_.SetReporting(positionRange_, timecodeGranularity_);
      break;
    case XA_MSG_GET_INPUT_POSITION_RANGE:
      Answer(XA_MSG_NOTIFY_INPUT_POSITION_RANGE, [&](auto& d) { d.range = positionRange_; });
      break;
    case XA_MSG_SET_INPUT_TIMECODE_GRANULARITY:
      timecodeGranularity_ = std::clamp(i[0], 1, 100);
      transport_.SetReporting(positionRange_, timecodeGranularity_);
      break;
    case XA_MSG_GET_INPUT_TIMECODE_GRANULARITY:
      Answer(XA_MSG_NOTIFY_INPUT_TIMECODE_GRANULARITY,
             [&](auto& d) { d.granularity = static_cast<uint32_t>(timecodeGranularity_); });
      break;
    case XA_MSG_SET_OUTPUT_VOLUME:
      SetVolume(i[0], i[1], i[2]);
      break;
    case XA_MSG_GET_OUTPUT_VOLUME:
      PostVolume(XA_MSG_NOTIFY_OUTPUT_VOLUME);
      break;
    case XA_MSG_SET_CODEC_QUALITY:
      codecQuality_ = std::clamp(i[0], 0, 255);
      break;
    case XA_MSG_GET_CODEC_QUALITY:
      Answer(XA_MSG_NOTIFY_CODEC_QUALITY,
             [&](auto& d) { d.quality = static_cast<uint8_t>(codecQuality_); });
      break;
    case XA_MSG_SET_CODEC_EQUALIZER:
      equalizerOn_ = c.hasEqualizer;
      if (c.hasEqualizer) equalizer_ = c.equalizer;
      transport_.SetEqualizer(c.hasEqualizer ? &equalizer_ : nullptr);
      break;
    case XA_MSG_GET_CODEC_EQUALIZER: {
      TNotice n = TNotice::Code(XA_MSG_NOTIFY_CODEC_EQUALIZER);
      n.hasEqualizer = equalizerOn_;
      n.equalizer = equalizer_;
      Post(std::move(n));
      break;
    }
    case XA_MSG_SET_DEBUG_LEVEL:
      debugLevel_ = std::clamp(i[0], 0, 255);
      break;
    case XA_MSG_GET_INPUT_MODULE:
      Answer(XA_MSG_NOTIFY_INPUT_MODULE, [](auto& d) { d.module_id = XA_BUILTIN_MODULE; });
      break;
    case XA_MSG_GET_OUTPUT_MODULE:
      Answer(XA_MSG_NOTIFY_OUTPUT_MODULE, [](auto& d) { d.module_id = XA_BUILTIN_MODULE; });
      break;
    case XA_MSG_GET_NOTIFICATION_MASK:
      Answer(XA_MSG_NOTIFY_NOTIFICATION_MASK,
             [](auto& d) { d.notification_mask = XA_NOTIFICATION_MASK_ALL; });
      break;
    case XA_MSG_GET_DEBUG_LEVEL:
      Answer(XA_MSG_NOTIFY_DEBUG_LEVEL,
             [&](auto& d) { d.debug_level = static_cast<uint8_t>(debugLevel_); });
      break;
    default:
      Post(TNotice::Nack(c.code, XA_ERROR_UNSUPPORTED));
      break;
  }
  return true;
}

}  // namespace xaudio
