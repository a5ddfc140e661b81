#pragma once
// TXaudioPlayer: the only road to the decoder engine. Every method sends one asynchronous
// command; the engine's notifications come back on the GUI thread as typed events.

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

#include "XaudioEntryPoints.h"

class QSocketNotifier;

class TXaudioPlayer : public QObject {
  Q_OBJECT
  Q_PROPERTY(uint Priority READ Priority WRITE SetPriority)

 public:
  using TNotifyEvent = std::function<void(TXaudioPlayer* Sender)>;
  using TNotifyMessageEvent = std::function<void(TXaudioPlayer* Sender, XA_Message& Msg)>;
  using TNotifyAckEvent = std::function<void(TXaudioPlayer* Sender, uint8_t Command)>;
  using TNotifyNackEvent =
      std::function<void(TXaudioPlayer* Sender, uint8_t Command, int16_t Code)>;
  using TNotifyPongEvent = std::function<void(TXaudioPlayer* Sender, uint32_t Tag)>;
  using TNotifyPlayerStateEvent = std::function<void(TXaudioPlayer* Sender, int32_t State)>;
  using TNotifyPlayerModeEvent = std::function<void(TXaudioPlayer* Sender, int32_t Mode)>;
  using TNotifyEnvironmentIntegerEvent =
      std::function<void(TXaudioPlayer* Sender, const std::string& Name, int32_t Value)>;
  using TNotifyEnvironmentStringEvent =
      std::function<void(TXaudioPlayer* Sender, const std::string& Name, const std::string& Value)>;
  using TNotifyInputStateEvent = std::function<void(TXaudioPlayer* Sender, int32_t State)>;
  using TNotifyInputNameEvent = std::function<void(TXaudioPlayer* Sender, const std::string& Name)>;
  using TNotifyInputCapsEvent = std::function<void(TXaudioPlayer* Sender, uint32_t Caps)>;
  using TNotifyInputPositionEvent =
      std::function<void(TXaudioPlayer* Sender, uint32_t Offset, uint32_t Range)>;
  using TNotifyInputPositionRangeEvent = std::function<void(TXaudioPlayer* Sender, int32_t Range)>;
  using TNotifyInputTimecodeEvent = std::function<void(
      TXaudioPlayer* Sender, uint8_t Hours, uint8_t Minutes, uint8_t Seconds, uint8_t Fractions)>;
  using TNotifyInputTimecodeGranularityEvent =
      std::function<void(TXaudioPlayer* Sender, uint32_t Granularity)>;
  using TNotifyInputDurationEvent = std::function<void(TXaudioPlayer* Sender, uint32_t Duration)>;
  using TNotifyInputStreamInfoEvent =
      std::function<void(TXaudioPlayer* Sender, uint8_t Level, uint8_t Layer, uint16_t Bitrate,
                         uint16_t Frequency, uint8_t Mode)>;
  using TNotifyInputModuleEvent = std::function<void(TXaudioPlayer* Sender, int16_t ID)>;
  using TNotifyInputModuleInfoEvent =
      std::function<void(TXaudioPlayer* Sender, uint8_t ID, uint8_t NbDevices,
                         const std::string& Name, const std::string& Description)>;
  using TNotifyInputDeviceInfoEvent =
      std::function<void(TXaudioPlayer* Sender, uint8_t ModuleID, uint8_t Index, uint8_t Flags,
                         const std::string& Name, const std::string& Description)>;
  using TNotifyInputFilterInfoEvent =
      std::function<void(TXaudioPlayer* Sender, uint8_t ID, const std::string& Name)>;
  using TNotifyOutputStateEvent = TNotifyInputStateEvent;
  using TNotifyOutputNameEvent = TNotifyInputNameEvent;
  using TNotifyOutputCapsEvent = TNotifyInputCapsEvent;
  using TNotifyOutputVolumeEvent = std::function<void(TXaudioPlayer* Sender, uint8_t MasterLevel,
                                                      uint8_t PcmLevel, uint8_t Balance)>;
  using TNotifyOutputBalanceEvent = std::function<void(TXaudioPlayer* Sender, uint8_t Balance)>;
  using TNotifyOutputPcmLevelEvent = std::function<void(TXaudioPlayer* Sender, uint8_t PcmLevel)>;
  using TNotifyOutputMasterLevelEvent =
      std::function<void(TXaudioPlayer* Sender, uint8_t MasterLevel)>;
  using TNotifyOutputChannelsEvent = std::function<void(TXaudioPlayer* Sender, uint8_t Channels)>;
  using TNotifyOutputPortsEvent = std::function<void(TXaudioPlayer* Sender, uint32_t Ports)>;
  using TNotifyOutputModuleEvent = TNotifyInputModuleEvent;
  using TNotifyOutputModuleInfoEvent = TNotifyInputModuleInfoEvent;
  using TNotifyOutputDeviceInfoEvent = TNotifyInputDeviceInfoEvent;
  using TNotifyOutputFilterInfoEvent = TNotifyInputFilterInfoEvent;
  using TNotifyCodecQualityEvent = std::function<void(TXaudioPlayer* Sender, uint8_t Quality)>;
  using TNotifyCodecEqualizerEvent =
      std::function<void(TXaudioPlayer* Sender, const XA_EqualizerInfo& Equalizer)>;
  using TNotifyNotificationMask = std::function<void(TXaudioPlayer* Sender, uint32_t Mask)>;
  using TNotifyDebugLevelEvent = std::function<void(TXaudioPlayer* Sender, uint8_t Level)>;
  using TNotifyProgressEvent = std::function<void(
      TXaudioPlayer* Sender, uint8_t Source, uint8_t Code, int16_t Value, const std::string& Msg)>;
  using TNotifyDebugEvent = std::function<void(TXaudioPlayer* Sender, uint8_t Source, uint8_t Level,
                                               const std::string& Msg)>;
  using TNotifyErrorEvent = std::function<void(TXaudioPlayer* Sender, uint8_t Source, int16_t Code,
                                               const std::string& Msg)>;

  // Shows the start-up failures; replaceable so that tests never meet a modal box.
  static std::function<void(const std::string& Text)> ShowErrorMessage;

  // Starts a player on EntryPoints (the real engine unless a test selected another table).
  explicit TXaudioPlayer(QObject* Owner,
                         const TXaudioEntryPoints& EntryPoints = TXaudioEntryPoints::Selected());
  ~TXaudioPlayer() override;

  int Exit();
  int Ping(uint32_t Tag);
  int Play();
  int Pause();
  int Stop();
  int InputSeek(uint32_t Offset, uint32_t Range);
  int InputOpen(const std::string& FileName);
  int InputClose();
  int InputSendMessage(uint16_t Type, void* Data, uint32_t Size);
  int InputAddFilter(const std::string& Name, int32_t Where);
  int InputRemoveFilter(const std::string& Name, int32_t Id);
  int InputFilterList();
  int InputModuleRegister(const std::string& Name);
  int InputModuleQuery(int32_t Module);
  int InputModulesList();
  int OutputOpen(const std::string& Name);
  int OutputClose();
  int OutputSendMessage(uint16_t Type, void* Data, uint32_t Size);
  int OutputMute();
  int OutputUnmute();
  int OutputReset();
  int OutputDrain();
  int OutputAddFilter(const std::string& Name, int32_t Where);
  int OutputRemoveFilter(const std::string& Name, int32_t Id);
  int OutputFilterList();
  int OutputModuleRegister(const std::string& Name);
  int OutputModuleQuery(int32_t Module);
  int OutputModulesList();
  int SetPlayerMode(uint32_t Mode);
  int GetPlayerMode();
  int SetPlayerEnvironmentInteger(const std::string& Name, int32_t Value);
  int GetPlayerEnvironmentInteger(const std::string& Name);
  int SetPlayerEnvironmentString(const std::string& Name, const std::string& Value);
  int GetPlayerEnvironmentString(const std::string& Name);
  int UnsetPlayerEnvironment(const std::string& Name);
  int SetInputModule(int32_t Module);
  int GetInputModule();
  int SetInputName(const std::string& Name);
  int GetInputName();
  int SetInputPositionRange(int32_t Range);
  int GetInputPositionRange();
  int SetInputTimecodeGranularity(uint32_t Granularity);
  int GetInputTimecodeGranularity();
  int SetOutputModule(int32_t Module);
  int GetOutputModule();
  int SetOutputName(const std::string& Name);
  int GetOutputName();
  int SetOutputVolume(uint8_t MasterLevel, uint8_t PcmLevel, uint8_t Balance);
  int GetOutputVolume();
  int SetOutputChannels(uint32_t Channels);
  int GetOutputChannels();
  int SetOutputPorts(uint32_t Ports);
  int GetOutputPorts();
  int SetCodecQuality(uint8_t Quality);
  int GetCodecQuality();
  int SetCodecEqualizer(const XA_EqualizerInfo* Equalizer);
  int GetCodecEqualizer();
  int SetNotificationMask(uint32_t Mask);
  int GetNotificationMask();
  int SetDebugLevel(uint32_t Level);
  int GetDebugLevel();

  std::string ErrorString(int Code) const;

  uint Priority() const;
  void SetPriority(uint Value);

  TNotifyMessageEvent OnNotifyMessage;
  TNotifyEvent OnNotifyReady;
  TNotifyAckEvent OnNotifyAck;
  TNotifyNackEvent OnNotifyNack;
  TNotifyPongEvent OnNotifyPong;
  TNotifyEvent OnNotifyExited;
  TNotifyPlayerStateEvent OnNotifyPlayerState;
  TNotifyPlayerModeEvent OnNotifyPlayerMode;
  TNotifyEnvironmentIntegerEvent OnNotifyPlayerEnvironmentInteger;
  TNotifyEnvironmentStringEvent OnNotifyPlayerEnvironmentString;
  TNotifyInputStateEvent OnNotifyInputState;
  TNotifyInputNameEvent OnNotifyInputName;
  TNotifyInputCapsEvent OnNotifyInputCaps;
  TNotifyInputPositionEvent OnNotifyInputPosition;
  TNotifyInputPositionRangeEvent OnNotifyInputPositionRange;
  TNotifyInputTimecodeEvent OnNotifyInputTimecode;
  TNotifyInputTimecodeGranularityEvent OnNotifyInputTimecodeGranularity;
  TNotifyInputDurationEvent OnNotifyInputDuration;
  TNotifyInputStreamInfoEvent OnNotifyInputStreamInfo;
  TNotifyInputModuleEvent OnNotifyInputModule;
  TNotifyInputModuleInfoEvent OnNotifyInputModuleInfo;
  TNotifyInputDeviceInfoEvent OnNotifyInputDeviceInfo;
  TNotifyInputFilterInfoEvent OnNotifyInputFilterInfo;
  TNotifyOutputStateEvent OnNotifyOutputState;
  TNotifyOutputNameEvent OnNotifyOutputName;
  TNotifyOutputCapsEvent OnNotifyOutputCaps;
  TNotifyOutputVolumeEvent OnNotifyOutputVolume;
  TNotifyOutputBalanceEvent OnNotifyOutputBalance;
  TNotifyOutputPcmLevelEvent OnNotifyOutputPcmLevel;
  TNotifyOutputMasterLevelEvent OnNotifyOutputMasterLevel;
  TNotifyOutputChannelsEvent OnNotifyOutputChannels;
  TNotifyOutputPortsEvent OnNotifyOutputPorts;
  TNotifyOutputModuleEvent OnNotifyOutputModule;
  TNotifyOutputModuleInfoEvent OnNotifyOutputModuleInfo;
  TNotifyOutputDeviceInfoEvent OnNotifyOutputDeviceInfo;
  TNotifyOutputFilterInfoEvent OnNotifyOutputFilterInfo;
  TNotifyCodecQualityEvent OnNotifyCodecQuality;
  TNotifyCodecEqualizerEvent OnNotifyCodecEqualizer;
  TNotifyNotificationMask OnNotifyNotificationMask;
  TNotifyDebugLevelEvent OnNotifyDebugLevel;
  TNotifyProgressEvent OnNotifyProgress;
  TNotifyDebugEvent OnNotifyDebug;
  TNotifyErrorEvent OnNotifyError;

 private:
  template <typename... Params, typename... Args>
  int Send(int (*TXaudioEntryPoints::*Entry)(XA_Player*, int, Params...), int Code,
           Args... Arguments);
  void DrainNotifications();
  void Dispatch(const XA_Message& Msg);
  template <typename Event, typename... Args>
  void Raise(const Event& Handler, Args&&... Arguments);
  void RaiseModuleInfo(const TNotifyInputModuleInfoEvent& Handler, const XA_ModuleInfo& Info);
  void RaiseDeviceInfo(const TNotifyInputDeviceInfoEvent& Handler, const XA_DeviceInfo& Info);

  const TXaudioEntryPoints& Engine;
  XA_Player* Player = nullptr;
  QSocketNotifier* NotificationWindow = nullptr;
};
