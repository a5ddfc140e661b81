#include "XaudioPlayer.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QString>
#include <array>

#include "QtText.h"

namespace {

constexpr unsigned ExpectedMajor = 3;
constexpr unsigned ExpectedMinor = 2;

constexpr auto N = &TXaudioEntryPoints::control_message_send_N;
constexpr auto I = &TXaudioEntryPoints::control_message_send_I;
constexpr auto II = &TXaudioEntryPoints::control_message_send_II;
constexpr auto III = &TXaudioEntryPoints::control_message_send_III;
constexpr auto IPI = &TXaudioEntryPoints::control_message_send_IPI;
constexpr auto S = &TXaudioEntryPoints::control_message_send_S;
constexpr auto SI = &TXaudioEntryPoints::control_message_send_SI;
constexpr auto SS = &TXaudioEntryPoints::control_message_send_SS;
constexpr auto P = &TXaudioEntryPoints::control_message_send_P;

void ShowCritical(const std::string& Text) {
  // The messages break lines with carriage returns, which Qt does not render as breaks.
  QString Shown = ToQString(Text);
  Shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  PlainMessageBox(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), Shown);
}

std::string Text(const char* Engine) { return Engine != nullptr ? std::string(Engine) : ""; }

// The text fields a notification of Msg's code carries (unused slots null).
std::array<const char**, 2> TextFields(XA_Message& Msg) {
  auto& D = Msg.data;
  switch (Msg.code) {
    case XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_INTEGER:
      return {&D.environment_integer.name, nullptr};
    case XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING:
      return {&D.environment_string.name, &D.environment_string.value};
    case XA_MSG_NOTIFY_INPUT_NAME:
    case XA_MSG_NOTIFY_OUTPUT_NAME:
      return {&D.name, nullptr};
    case XA_MSG_NOTIFY_INPUT_MODULE_INFO:
    case XA_MSG_NOTIFY_OUTPUT_MODULE_INFO:
      return {&D.module_info.name, &D.module_info.description};
    case XA_MSG_NOTIFY_INPUT_DEVICE_INFO:
    case XA_MSG_NOTIFY_OUTPUT_DEVICE_INFO:
      return {&D.device_info.name, &D.device_info.description};
    case XA_MSG_NOTIFY_INPUT_FILTER_INFO:
    case XA_MSG_NOTIFY_OUTPUT_FILTER_INFO:
      return {&D.filter_info.name, nullptr};
    case XA_MSG_NOTIFY_PROGRESS:
      return {&D.progress.message, nullptr};
    case XA_MSG_NOTIFY_DEBUG:
      return {&D.debug.message, nullptr};
    case XA_MSG_NOTIFY_ERROR:
      return {&D.error.message, nullptr};
    default:
      return {nullptr, nullptr};
  }
}

// A decoded notification whose texts and equalizer record are our own copies: the
// engine's stay valid only until the next decode, and a handler that pumps events lets
// nested notifications be decoded before it returns.
struct TOwnedMessage {
  explicit TOwnedMessage(const XA_Message& Decoded) : Msg(Decoded) {
    const auto Fields = TextFields(Msg);
    for (std::size_t Index = 0; Index < Fields.size(); ++Index) {
      if (Fields[Index] == nullptr || *Fields[Index] == nullptr) continue;
      Texts[Index] = *Fields[Index];
      *Fields[Index] = Texts[Index].c_str();
    }
    if (Msg.code == XA_MSG_NOTIFY_CODEC_EQUALIZER && Msg.data.equalizer != nullptr) {
      Equalizer = *Msg.data.equalizer;
      Msg.data.equalizer = &Equalizer;
    }
  }
  TOwnedMessage(const TOwnedMessage&) = delete;
  TOwnedMessage& operator=(const TOwnedMessage&) = delete;

  XA_Message Msg;
  std::array<std::string, 2> Texts;
  XA_EqualizerInfo Equalizer{};
};

}  // namespace

std::function<void(const std::string& Text)> TXaudioPlayer::ShowErrorMessage = ShowCritical;

TXaudioPlayer::TXaudioPlayer(QObject* Owner, const TXaudioEntryPoints& EntryPoints)
    : QObject(Owner), Engine(EntryPoints) {
  const unsigned long Version = Engine.xaudio_get_api_version(2);
  const unsigned Major = (Version >> 16) & 0xFF;
  const unsigned Minor = (Version >> 8) & 0xFF;
  if (Major != ExpectedMajor || Minor != ExpectedMinor) {
    ShowErrorMessage("Xaudio DLL API Mismatch\rExpected " + std::to_string(ExpectedMajor) + "," +
                     std::to_string(ExpectedMinor) + "\rGot " + std::to_string(Major) + "," +
                     std::to_string(Minor));
  }
  XA_Player* Created = nullptr;
  int NotificationFd = -1;
  if (Engine.player_new(&Created, &NotificationFd) != XA_SUCCESS || Created == nullptr) {
    ShowErrorMessage("Cannot Start Xaudio Player");
    return;
  }
  Player = Created;
  NotificationWindow = new QSocketNotifier(NotificationFd, QSocketNotifier::Read, this);
  connect(NotificationWindow, &QSocketNotifier::activated, this,
          &TXaudioPlayer::DrainNotifications);
}

TXaudioPlayer::~TXaudioPlayer() {
  // Stop watching before the engine closes the descriptor.
  delete NotificationWindow;
  if (Player != nullptr) Engine.player_delete(Player);
}

template <typename... Params, typename... Args>
int TXaudioPlayer::Send(int (*TXaudioEntryPoints::*Entry)(XA_Player*, int, Params...), int Code,
                        Args... Arguments) {
  if (Player == nullptr) return XA_FAILURE;
  return (Engine.*Entry)(Player, Code, Arguments...);
}

int TXaudioPlayer::Exit() { return Send(N, XA_MSG_COMMAND_EXIT); }
int TXaudioPlayer::Ping(uint32_t Tag) { return Send(I, XA_MSG_COMMAND_PING, int(Tag)); }
int TXaudioPlayer::Play() { return Send(N, XA_MSG_COMMAND_PLAY); }
int TXaudioPlayer::Pause() { return Send(N, XA_MSG_COMMAND_PAUSE); }
int TXaudioPlayer::Stop() { return Send(N, XA_MSG_COMMAND_STOP); }
int TXaudioPlayer::InputSeek(uint32_t Offset, uint32_t Range) {
  return Send(II, XA_MSG_COMMAND_INPUT_SEEK, int(Offset), int(Range));
}
int TXaudioPlayer::InputOpen(const std::string& FileName) {
  return Send(S, XA_MSG_COMMAND_INPUT_OPEN, FileName.c_str());
}
int TXaudioPlayer::InputClose() { return Send(N, XA_MSG_COMMAND_INPUT_CLOSE); }
int TXaudioPlayer::InputSendMessage(uint16_t Type, void* Data, uint32_t Size) {
  return Send(IPI, XA_MSG_COMMAND_INPUT_SEND_MESSAGE, int(Type), Data, int(Size));
}
int TXaudioPlayer::InputAddFilter(const std::string& Name, int32_t Where) {
  return Send(SI, XA_MSG_COMMAND_INPUT_ADD_FILTER, Name.c_str(), Where);
}
int TXaudioPlayer::InputRemoveFilter(const std::string& Name, int32_t Id) {
  return Send(SI, XA_MSG_COMMAND_INPUT_REMOVE_FILTER, Name.c_str(), Id);
}
int TXaudioPlayer::InputFilterList() { return Send(N, XA_MSG_COMMAND_INPUT_FILTER_LIST); }
int TXaudioPlayer::InputModuleRegister(const std::string& Name) {
  return Send(S, XA_MSG_COMMAND_INPUT_MODULE_REGISTER, Name.c_str());
}
int TXaudioPlayer::InputModuleQuery(int32_t Module) {
  return Send(I, XA_MSG_COMMAND_INPUT_MODULE_QUERY, Module);
}
int TXaudioPlayer::InputModulesList() { return Send(N, XA_MSG_COMMAND_INPUT_MODULES_LIST); }
int TXaudioPlayer::OutputOpen(const std::string& Name) {
  return Send(S, XA_MSG_COMMAND_OUTPUT_OPEN, Name.c_str());
}
int TXaudioPlayer::OutputClose() { return Send(N, XA_MSG_COMMAND_OUTPUT_CLOSE); }
int TXaudioPlayer::OutputSendMessage(uint16_t Type, void* Data, uint32_t Size) {
  return Send(IPI, XA_MSG_COMMAND_OUTPUT_SEND_MESSAGE, int(Type), Data, int(Size));
}
int TXaudioPlayer::OutputMute() { return Send(N, XA_MSG_COMMAND_OUTPUT_MUTE); }
int TXaudioPlayer::OutputUnmute() { return Send(N, XA_MSG_COMMAND_OUTPUT_UNMUTE); }
int TXaudioPlayer::OutputReset() { return Send(N, XA_MSG_COMMAND_OUTPUT_RESET); }
int TXaudioPlayer::OutputDrain() { return Send(N, XA_MSG_COMMAND_OUTPUT_DRAIN); }
int TXaudioPlayer::OutputAddFilter(const std::string& Name, int32_t Where) {
  return Send(SI, XA_MSG_COMMAND_OUTPUT_ADD_FILTER, Name.c_str(), Where);
}
int TXaudioPlayer::OutputRemoveFilter(const std::string& Name, int32_t Id) {
  return Send(SI, XA_MSG_COMMAND_OUTPUT_REMOVE_FILTER, Name.c_str(), Id);
}
int TXaudioPlayer::OutputFilterList() { return Send(N, XA_MSG_COMMAND_OUTPUT_FILTER_LIST); }
int TXaudioPlayer::OutputModuleRegister(const std::string& Name) {
  return Send(S, XA_MSG_COMMAND_OUTPUT_MODULE_REGISTER, Name.c_str());
}
int TXaudioPlayer::OutputModuleQuery(int32_t Module) {
  return Send(I, XA_MSG_COMMAND_OUTPUT_MODULE_QUERY, Module);
}
int TXaudioPlayer::OutputModulesList() { return Send(N, XA_MSG_COMMAND_OUTPUT_MODULES_LIST); }
int TXaudioPlayer::SetPlayerMode(uint32_t Mode) {
  return Send(I, XA_MSG_SET_PLAYER_MODE, int(Mode));
}
int TXaudioPlayer::GetPlayerMode() { return Send(N, XA_MSG_GET_PLAYER_MODE); }
int TXaudioPlayer::SetPlayerEnvironmentInteger(const std::string& Name, int32_t Value) {
  return Send(SI, XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER, Name.c_str(), Value);
}
int TXaudioPlayer::GetPlayerEnvironmentInteger(const std::string& Name) {
  return Send(S, XA_MSG_GET_PLAYER_ENVIRONMENT_INTEGER, Name.c_str());
}
int TXaudioPlayer::SetPlayerEnvironmentString(const std::string& Name, const std::string& Value) {
  return Send(SS, XA_MSG_SET_PLAYER_ENVIRONMENT_STRING, Name.c_str(), Value.c_str());
}
int TXaudioPlayer::GetPlayerEnvironmentString(const std::string& Name) {
  return Send(S, XA_MSG_GET_PLAYER_ENVIRONMENT_STRING, Name.c_str());
}
int TXaudioPlayer::UnsetPlayerEnvironment(const std::string& Name) {
  return Send(S, XA_MSG_UNSET_PLAYER_ENVIRONMENT, Name.c_str());
}
int TXaudioPlayer::SetInputModule(int32_t Module) {
  return Send(I, XA_MSG_SET_INPUT_MODULE, Module);
}
int TXaudioPlayer::GetInputModule() { return Send(N, XA_MSG_GET_INPUT_MODULE); }
int TXaudioPlayer::SetInputName(const std::string& Name) {
  return Send(S, XA_MSG_SET_INPUT_NAME, Name.c_str());
}
int TXaudioPlayer::GetInputName() { return Send(N, XA_MSG_GET_INPUT_NAME); }
int TXaudioPlayer::SetInputPositionRange(int32_t Range) {
  return Send(I, XA_MSG_SET_INPUT_POSITION_RANGE, Range);
}
int TXaudioPlayer::GetInputPositionRange() { return Send(N, XA_MSG_GET_INPUT_POSITION_RANGE); }
int TXaudioPlayer::SetInputTimecodeGranularity(uint32_t Granularity) {
  return Send(I, XA_MSG_SET_INPUT_TIMECODE_GRANULARITY, int(Granularity));
}
int TXaudioPlayer::GetInputTimecodeGranularity() {
  return Send(N, XA_MSG_GET_INPUT_TIMECODE_GRANULARITY);
}
int TXaudioPlayer::SetOutputModule(int32_t Module) {
  return Send(I, XA_MSG_SET_OUTPUT_MODULE, Module);
}
int TXaudioPlayer::GetOutputModule() { return Send(N, XA_MSG_GET_OUTPUT_MODULE); }
int TXaudioPlayer::SetOutputName(const std::string& Name) {
  return Send(S, XA_MSG_SET_OUTPUT_NAME, Name.c_str());
}
int TXaudioPlayer::GetOutputName() { return Send(N, XA_MSG_GET_OUTPUT_NAME); }
int TXaudioPlayer::SetOutputVolume(uint8_t MasterLevel, uint8_t PcmLevel, uint8_t Balance) {
  return Send(III, XA_MSG_SET_OUTPUT_VOLUME, int(MasterLevel), int(PcmLevel), int(Balance));
}
int TXaudioPlayer::GetOutputVolume() { return Send(N, XA_MSG_GET_OUTPUT_VOLUME); }
int TXaudioPlayer::SetOutputChannels(uint32_t Channels) {
  return Send(I, XA_MSG_SET_OUTPUT_CHANNELS, int(Channels));
}
int TXaudioPlayer::GetOutputChannels() { return Send(N, XA_MSG_GET_OUTPUT_CHANNELS); }
int TXaudioPlayer::SetOutputPorts(uint32_t Ports) {
  return Send(I, XA_MSG_SET_OUTPUT_PORTS, int(Ports));
}
int TXaudioPlayer::GetOutputPorts() { return Send(N, XA_MSG_GET_OUTPUT_PORTS); }
int TXaudioPlayer::SetCodecQuality(uint8_t Quality) {
  return Send(I, XA_MSG_SET_CODEC_QUALITY, int(Quality));
}
int TXaudioPlayer::GetCodecQuality() { return Send(N, XA_MSG_GET_CODEC_QUALITY); }
int TXaudioPlayer::SetCodecEqualizer(const XA_EqualizerInfo* Equalizer) {
  return Send(P, XA_MSG_SET_CODEC_EQUALIZER, static_cast<const void*>(Equalizer));
}
int TXaudioPlayer::GetCodecEqualizer() { return Send(N, XA_MSG_GET_CODEC_EQUALIZER); }
int TXaudioPlayer::SetNotificationMask(uint32_t Mask) {
  return Send(I, XA_MSG_SET_NOTIFICATION_MASK, int(Mask));
}
int TXaudioPlayer::GetNotificationMask() { return Send(N, XA_MSG_GET_NOTIFICATION_MASK); }
int TXaudioPlayer::SetDebugLevel(uint32_t Level) {
  return Send(I, XA_MSG_SET_DEBUG_LEVEL, int(Level));
}
int TXaudioPlayer::GetDebugLevel() { return Send(N, XA_MSG_GET_DEBUG_LEVEL); }

std::string TXaudioPlayer::ErrorString(int Code) const {
  return Text(Engine.xaudio_error_string(Code));
}

uint TXaudioPlayer::Priority() const {
  return Player != nullptr ? uint(Engine.player_get_priority(Player)) : 0;
}

void TXaudioPlayer::SetPriority(uint Value) {
  if (Player != nullptr) Engine.player_set_priority(Player, int(Value));
}

template <typename Event, typename... Args>
void TXaudioPlayer::Raise(const Event& Handler, Args&&... Arguments) {
  if (!Handler) return;
  // A copy, so that a handler may reassign its own event while it runs.
  const Event Running = Handler;
  Running(this, std::forward<Args>(Arguments)...);
}

void TXaudioPlayer::DrainNotifications() {
  // A handler may pump events and so drain the rest of the queue from inside this loop;
  // each notification is still taken from the engine exactly once, in posting order.
  XA_Message Decoded;
  while (Engine.control_message_get(Player, &Decoded) == XA_SUCCESS) {
    TOwnedMessage Owned(Decoded);
    Raise(OnNotifyMessage, Owned.Msg);
    Dispatch(Owned.Msg);
  }
}

void TXaudioPlayer::Dispatch(const XA_Message& Msg) {
  static const XA_EqualizerInfo Flat{};
  const auto& D = Msg.data;
  switch (Msg.code) {
    case XA_MSG_NOTIFY_READY:
      return Raise(OnNotifyReady);
    case XA_MSG_NOTIFY_ACK:
      return Raise(OnNotifyAck, D.ack.command);
    case XA_MSG_NOTIFY_NACK:
      return Raise(OnNotifyNack, D.nack.command, D.nack.code);
    case XA_MSG_NOTIFY_PONG:
      return Raise(OnNotifyPong, D.tag);
    case XA_MSG_NOTIFY_EXITED:
      return Raise(OnNotifyExited);
    case XA_MSG_NOTIFY_PLAYER_STATE:
      return Raise(OnNotifyPlayerState, int32_t(uint8_t(D.state)));
    case XA_MSG_NOTIFY_PLAYER_MODE:
      return Raise(OnNotifyPlayerMode, D.mode);
    case XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_INTEGER:
      return Raise(OnNotifyPlayerEnvironmentInteger, Text(D.environment_integer.name),
                   D.environment_integer.value);
    case XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING:
      return Raise(OnNotifyPlayerEnvironmentString, Text(D.environment_string.name),
                   Text(D.environment_string.value));
    case XA_MSG_NOTIFY_INPUT_STATE:
      return Raise(OnNotifyInputState, int32_t(uint8_t(D.state)));
    case XA_MSG_NOTIFY_INPUT_NAME:
      return Raise(OnNotifyInputName, Text(D.name));
    case XA_MSG_NOTIFY_INPUT_CAPS:
      return Raise(OnNotifyInputCaps, D.caps);
    case XA_MSG_NOTIFY_INPUT_POSITION:
      return Raise(OnNotifyInputPosition, D.input_position.offset, D.input_position.range);
    case XA_MSG_NOTIFY_INPUT_POSITION_RANGE:
      return Raise(OnNotifyInputPositionRange, D.range);
    case XA_MSG_NOTIFY_INPUT_TIMECODE:
      return Raise(OnNotifyInputTimecode, D.input_timecode.h, D.input_timecode.m,
                   D.input_timecode.s, D.input_timecode.f);
    case XA_MSG_NOTIFY_INPUT_TIMECODE_GRANULARITY:
      return Raise(OnNotifyInputTimecodeGranularity, D.granularity);
    case XA_MSG_NOTIFY_INPUT_DURATION:
      return Raise(OnNotifyInputDuration, D.duration);
    case XA_MSG_NOTIFY_INPUT_STREAM_INFO:
      return Raise(OnNotifyInputStreamInfo, D.input_stream_info.level, D.input_stream_info.layer,
                   D.input_stream_info.bitrate, D.input_stream_info.frequency,
                   D.input_stream_info.mode);
    case XA_MSG_NOTIFY_INPUT_MODULE:
      return Raise(OnNotifyInputModule, D.module_id);
    case XA_MSG_NOTIFY_INPUT_MODULE_INFO:
      return RaiseModuleInfo(OnNotifyInputModuleInfo, D.module_info);
    case XA_MSG_NOTIFY_INPUT_DEVICE_INFO:
      return RaiseDeviceInfo(OnNotifyInputDeviceInfo, D.device_info);
    case XA_MSG_NOTIFY_INPUT_FILTER_INFO:
      return Raise(OnNotifyInputFilterInfo, D.filter_info.id, Text(D.filter_info.name));
    case XA_MSG_NOTIFY_OUTPUT_STATE:
      return Raise(OnNotifyOutputState, int32_t(uint8_t(D.state)));
    case XA_MSG_NOTIFY_OUTPUT_NAME:
      return Raise(OnNotifyOutputName, Text(D.name));
    case XA_MSG_NOTIFY_OUTPUT_CAPS:
      return Raise(OnNotifyOutputCaps, D.caps);
    case XA_MSG_NOTIFY_OUTPUT_VOLUME:
      return Raise(OnNotifyOutputVolume, D.volume.master_level, D.volume.pcm_level,
                   D.volume.balance);
    case XA_MSG_NOTIFY_OUTPUT_BALANCE:
      return Raise(OnNotifyOutputBalance, D.volume.balance);
    case XA_MSG_NOTIFY_OUTPUT_PCM_LEVEL:
      return Raise(OnNotifyOutputPcmLevel, D.volume.pcm_level);
    case XA_MSG_NOTIFY_OUTPUT_MASTER_LEVEL:
      return Raise(OnNotifyOutputMasterLevel, D.volume.master_level);
    case XA_MSG_NOTIFY_OUTPUT_CHANNELS:
      return Raise(OnNotifyOutputChannels, D.channels);
    case XA_MSG_NOTIFY_OUTPUT_PORTS:
      return Raise(OnNotifyOutputPorts, uint32_t(uint8_t(D.ports)));
    case XA_MSG_NOTIFY_OUTPUT_MODULE:
      return Raise(OnNotifyOutputModule, D.module_id);
    case XA_MSG_NOTIFY_OUTPUT_MODULE_INFO:
      return RaiseModuleInfo(OnNotifyOutputModuleInfo, D.module_info);
    case XA_MSG_NOTIFY_OUTPUT_DEVICE_INFO:
      return RaiseDeviceInfo(OnNotifyOutputDeviceInfo, D.device_info);
    case XA_MSG_NOTIFY_OUTPUT_FILTER_INFO:
      return Raise(OnNotifyOutputFilterInfo, D.filter_info.id, Text(D.filter_info.name));
    case XA_MSG_NOTIFY_CODEC_QUALITY:
      return Raise(OnNotifyCodecQuality, D.quality);
    case XA_MSG_NOTIFY_CODEC_EQUALIZER:
      // Null means the equalizer is off, which sounds like flat bands.
      return Raise(OnNotifyCodecEqualizer, D.equalizer != nullptr ? *D.equalizer : Flat);
    case XA_MSG_NOTIFY_NOTIFICATION_MASK:
      return Raise(OnNotifyNotificationMask, D.notification_mask);
    case XA_MSG_NOTIFY_DEBUG_LEVEL:
      return Raise(OnNotifyDebugLevel, D.debug_level);
    case XA_MSG_NOTIFY_PROGRESS:
      return Raise(OnNotifyProgress, D.progress.source, D.progress.code, D.progress.value,
                   Text(D.progress.message));
    case XA_MSG_NOTIFY_DEBUG:
      return Raise(OnNotifyDebug, D.debug.source, D.debug.level, Text(D.debug.message));
    case XA_MSG_NOTIFY_ERROR:
      return Raise(OnNotifyError, D.error.source, D.error.code, Text(D.error.message));
    default:
      return;  // 95 and codes outside 64..106 reach only OnNotifyMessage
  }
}

void TXaudioPlayer::RaiseModuleInfo(const TNotifyInputModuleInfoEvent& Handler,
                                    const XA_ModuleInfo& Info) {
  Raise(Handler, Info.id, Info.nb_devices, Text(Info.name), Text(Info.description));
}

void TXaudioPlayer::RaiseDeviceInfo(const TNotifyInputDeviceInfoEvent& Handler,
                                    const XA_DeviceInfo& Info) {
  Raise(Handler, Info.module_id, Info.index, Info.flags, Text(Info.name), Text(Info.description));
}
