#include "FakeXaudioEngine.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

FakeXaudioEngine* Current = nullptr;

// The player handle the fake hands out; never dereferenced.
XA_Player* Handle(FakeXaudioEngine* Engine) { return reinterpret_cast<XA_Player*>(Engine); }

std::optional<std::string> Copy(const char* Text) {
  if (Text == nullptr) return std::nullopt;
  return std::string(Text);
}

}  // namespace

// The entry points of the table: each reaches the live fake.
struct FakeXaudioCalls {
  static FakeXaudioEngine& Fake() {
    if (Current == nullptr) {
      std::fprintf(stderr, "FakeXaudioEngine: engine called after the fake was destroyed\n");
      std::abort();
    }
    return *Current;
  }

  static FakeXaudioCommand Make(const char* Call, int Code, std::vector<int> Ints = {},
                                std::vector<std::optional<std::string>> Texts = {},
                                const void* Pointer = nullptr) {
    FakeXaudioCommand Made;
    Made.Call = Call;
    Made.Code = Code;
    Made.Ints = std::move(Ints);
    Made.Texts = std::move(Texts);
    Made.Pointer = Pointer;
    return Made;
  }

  static int Command(XA_Player* Player, FakeXaudioCommand Command) {
    Fake().Record(("control_message_send_" + Command.Call).c_str());
    if (Player != Handle(Current)) return XA_ERROR_INVALID_PARAMETERS;
    Fake().RecordCommand(std::move(Command));
    return XA_SUCCESS;
  }

  static unsigned long Version(unsigned int) {
    Fake().Record("xaudio_get_api_version");
    std::lock_guard Guard(Fake().Lock);
    return Fake().Version;
  }
  static int New(XA_Player** Player, int* NotificationFd) {
    Fake().Record("player_new");
    std::lock_guard Guard(Fake().Lock);
    if (Fake().FailNew) return XA_FAILURE;
    Fake().Alive = true;
    *Player = Handle(Current);
    *NotificationFd = Fake().EventFd;
    return XA_SUCCESS;
  }
  static void Delete(XA_Player*) {
    Fake().Record("player_delete");
    std::lock_guard Guard(Fake().Lock);
    Fake().Alive = false;
  }
  static int GetPriority(XA_Player*) {
    Fake().Record("player_get_priority");
    return Fake().PriorityValue();
  }
  static int SetPriority(XA_Player*, int Priority) {
    Fake().Record("player_set_priority");
    std::lock_guard Guard(Fake().Lock);
    Fake().Priority = Priority;
    return XA_SUCCESS;
  }
  static const char* ErrorString(int Code) {
    Fake().Record("xaudio_error_string");
    return Code == XA_ERROR_DECODE ? "decoding failed" : nullptr;
  }
  static int N(XA_Player* Player, int Code) { return Command(Player, Make("N", Code, {}, {})); }
  static int I(XA_Player* Player, int Code, int I1) {
    return Command(Player, Make("I", Code, {I1}, {}));
  }
  static int II(XA_Player* Player, int Code, int I1, int I2) {
    return Command(Player, Make("II", Code, {I1, I2}, {}));
  }
  static int III(XA_Player* Player, int Code, int I1, int I2, int I3) {
    return Command(Player, Make("III", Code, {I1, I2, I3}, {}));
  }
  static int IPI(XA_Player* Player, int Code, int I1, void* P, int I2) {
    return Command(Player, Make("IPI", Code, {I1, I2}, {}, P));
  }
  static int S(XA_Player* Player, int Code, const char* S1) {
    return Command(Player, Make("S", Code, {}, {Copy(S1)}));
  }
  static int SI(XA_Player* Player, int Code, const char* S1, int I1) {
    return Command(Player, Make("SI", Code, {I1}, {Copy(S1)}));
  }
  static int SS(XA_Player* Player, int Code, const char* S1, const char* S2) {
    return Command(Player, Make("SS", Code, {}, {Copy(S1), Copy(S2)}));
  }
  static int P(XA_Player* Player, int Code, const void* Pointer) {
    FakeXaudioCommand Sent = Make("P", Code, {}, {}, Pointer);
    if (Pointer != nullptr) Sent.Equalizer = *static_cast<const XA_EqualizerInfo*>(Pointer);
    return Command(Player, std::move(Sent));
  }
  static int Get(XA_Player* Player, XA_Message* Msg) {
    Fake().Record("control_message_get");
    if (Player != Handle(Current) || Msg == nullptr) return XA_ERROR_INVALID_PARAMETERS;
    return Fake().Decode(Msg);
  }
};

namespace {

const TXaudioEntryPoints FakeTable = {
    FakeXaudioCalls::Version,     FakeXaudioCalls::New,         FakeXaudioCalls::Delete,
    FakeXaudioCalls::GetPriority, FakeXaudioCalls::SetPriority, FakeXaudioCalls::ErrorString,
    FakeXaudioCalls::N,           FakeXaudioCalls::I,           FakeXaudioCalls::II,
    FakeXaudioCalls::III,         FakeXaudioCalls::IPI,         FakeXaudioCalls::S,
    FakeXaudioCalls::SI,          FakeXaudioCalls::SS,          FakeXaudioCalls::P,
    FakeXaudioCalls::Get,
};

}  // namespace

void FakeXaudioEngine::TQueued::MakeStale() {
  // What a player still reading these after the next decode would see.
  for (auto& Text : Texts) std::fill(Text->begin(), Text->end(), '~');
  if (Equalizer) std::memset(Equalizer.get(), 0x55, sizeof(XA_EqualizerInfo));
}

FakeXaudioEngine::FakeXaudioEngine() {
  if (Current != nullptr) throw std::logic_error("one FakeXaudioEngine at a time");
  EventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (EventFd < 0) throw std::runtime_error("eventfd failed");
  SetVersion(XA_API_MAJOR_VERSION, XA_API_MINOR_VERSION, XA_API_REVISION);
  Current = this;
  TXaudioEntryPoints::Select(&FakeTable);
}

FakeXaudioEngine::~FakeXaudioEngine() {
  TXaudioEntryPoints::Select(nullptr);
  Current = nullptr;
  close(EventFd);
}

const TXaudioEntryPoints& FakeXaudioEngine::Table() const { return FakeTable; }

void FakeXaudioEngine::SetVersion(unsigned Major, unsigned Minor, unsigned Revision) {
  std::lock_guard Guard(Lock);
  Version = (Major & 0xFF) << 16 | (Minor & 0xFF) << 8 | (Revision & 0xFF);
}

void FakeXaudioEngine::FailPlayerNew(bool Fail) {
  std::lock_guard Guard(Lock);
  FailNew = Fail;
}

int FakeXaudioEngine::PriorityValue() const {
  std::lock_guard Guard(Lock);
  return Priority;
}

std::vector<std::string> FakeXaudioEngine::Calls() const {
  std::lock_guard Guard(Lock);
  return CallLog;
}

std::vector<FakeXaudioCommand> FakeXaudioEngine::Commands() const {
  std::lock_guard Guard(Lock);
  return CommandLog;
}

std::vector<int> FakeXaudioEngine::CommandCodes() const {
  std::lock_guard Guard(Lock);
  std::vector<int> Codes;
  for (const auto& Command : CommandLog) Codes.push_back(Command.Code);
  return Codes;
}

FakeXaudioCommand FakeXaudioEngine::LastCommand() const {
  std::lock_guard Guard(Lock);
  return CommandLog.empty() ? FakeXaudioCommand{} : CommandLog.back();
}

void FakeXaudioEngine::ClearCommands() {
  std::lock_guard Guard(Lock);
  CommandLog.clear();
}

bool FakeXaudioEngine::PlayerAlive() const {
  std::lock_guard Guard(Lock);
  return Alive;
}

void FakeXaudioEngine::Record(const char* Name) {
  std::lock_guard Guard(Lock);
  CallLog.emplace_back(Name);
}

void FakeXaudioEngine::RecordCommand(FakeXaudioCommand Command) {
  std::lock_guard Guard(Lock);
  CommandLog.push_back(std::move(Command));
}

const char* FakeXaudioEngine::Text(const std::string& Value) {
  std::lock_guard Guard(Lock);
  Next.Texts.push_back(std::make_unique<std::string>(Value));
  return Next.Texts.back()->c_str();
}

void FakeXaudioEngine::Post(const XA_Message& Msg) {
  std::lock_guard Guard(Lock);
  Next.Msg = Msg;
  Queue.push_back(std::move(Next));
  Next = TQueued{};
  if (Queue.size() == 1) {
    const uint64_t One = 1;
    if (write(EventFd, &One, sizeof One) != sizeof One) throw std::runtime_error("eventfd write");
  }
}

int FakeXaudioEngine::Decode(XA_Message* Msg) {
  std::lock_guard Guard(Lock);
  if (Queue.empty()) return XA_ERROR_NO_MESSAGE;
  if (!Handed.Texts.empty() || Handed.Equalizer) {
    Handed.MakeStale();
    Stale.push_back(std::move(Handed));
  }
  Handed = std::move(Queue.front());
  Queue.pop_front();
  *Msg = Handed.Msg;
  ++Decoded;
  if (Queue.empty()) {
    uint64_t Count = 0;
    if (read(EventFd, &Count, sizeof Count) != sizeof Count)
      throw std::runtime_error("eventfd read");
  }
  return XA_SUCCESS;
}

void FakeXaudioEngine::PostCode(int Code) {
  XA_Message Msg{};
  Msg.code = Code;
  Post(Msg);
}

void FakeXaudioEngine::PostPlayerState(int32_t State) {
  XA_Message Msg{XA_MSG_NOTIFY_PLAYER_STATE, {}};
  Msg.data.state = State;
  Post(Msg);
}

void FakeXaudioEngine::PostInputState(int32_t State) {
  XA_Message Msg{XA_MSG_NOTIFY_INPUT_STATE, {}};
  Msg.data.state = State;
  Post(Msg);
}

void FakeXaudioEngine::PostPosition(uint32_t Offset, uint32_t Range) {
  XA_Message Msg{XA_MSG_NOTIFY_INPUT_POSITION, {}};
  Msg.data.input_position = {Offset, Range};
  Post(Msg);
}

void FakeXaudioEngine::PostTimecode(uint8_t Hours, uint8_t Minutes, uint8_t Seconds,
                                    uint8_t Fractions) {
  XA_Message Msg{XA_MSG_NOTIFY_INPUT_TIMECODE, {}};
  Msg.data.input_timecode = {Hours, Minutes, Seconds, Fractions};
  Post(Msg);
}

void FakeXaudioEngine::PostDuration(uint32_t Seconds) {
  XA_Message Msg{XA_MSG_NOTIFY_INPUT_DURATION, {}};
  Msg.data.duration = Seconds;
  Post(Msg);
}

void FakeXaudioEngine::PostStreamInfo(uint16_t Bitrate, uint8_t Mode, uint16_t Frequency,
                                      uint8_t Level, uint8_t Layer) {
  XA_Message Msg{XA_MSG_NOTIFY_INPUT_STREAM_INFO, {}};
  Msg.data.input_stream_info = {Level, Layer, Bitrate, Frequency, Mode};
  Post(Msg);
}

void FakeXaudioEngine::PostPcmLevel(uint8_t Level) {
  XA_Message Msg{XA_MSG_NOTIFY_OUTPUT_PCM_LEVEL, {}};
  Msg.data.volume = {XA_VOLUME_UNCHANGED, Level, XA_VOLUME_UNCHANGED};
  Post(Msg);
}

void FakeXaudioEngine::PostCodecQuality(uint8_t Quality) {
  XA_Message Msg{XA_MSG_NOTIFY_CODEC_QUALITY, {}};
  Msg.data.quality = Quality;
  Post(Msg);
}

void FakeXaudioEngine::PostCodecEqualizer(const XA_EqualizerInfo* Equalizer) {
  XA_Message Msg{XA_MSG_NOTIFY_CODEC_EQUALIZER, {}};
  if (Equalizer != nullptr) {
    std::lock_guard Guard(Lock);
    Next.Equalizer = std::make_unique<XA_EqualizerInfo>(*Equalizer);
    Msg.data.equalizer = Next.Equalizer.get();
  }
  Post(Msg);
}

void FakeXaudioEngine::PostPong(uint32_t Tag) {
  XA_Message Msg{XA_MSG_NOTIFY_PONG, {}};
  Msg.data.tag = Tag;
  Post(Msg);
}

void FakeXaudioEngine::PostError(const std::string& Message, int16_t Code, uint8_t Source) {
  XA_Message Msg{XA_MSG_NOTIFY_ERROR, {}};
  Msg.data.error.source = Source;
  Msg.data.error.code = Code;
  Msg.data.error.message = Text(Message);
  Post(Msg);
}

void FakeXaudioEngine::PostInputHeard(const std::string& Name) {
  XA_Message Msg{XA_MSG_NOTIFY_PROGRESS, {}};
  Msg.data.progress.source = XA_SOURCE_OUTPUT;
  Msg.data.progress.code = XA_PROGRESS_INPUT_HEARD;
  Msg.data.progress.message = Text(Name);
  Post(Msg);
}

std::size_t FakeXaudioEngine::Pending() const {
  std::lock_guard Guard(Lock);
  return Queue.size();
}

std::size_t FakeXaudioEngine::DecodedCount() const {
  std::lock_guard Guard(Lock);
  return Decoded;
}

bool FakeXaudioEngine::WaitDrained(int TimeoutMs) const {
  return QTest::qWaitFor([this] { return Pending() == 0; }, TimeoutMs);
}
