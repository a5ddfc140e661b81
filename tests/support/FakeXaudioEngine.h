#pragma once
// A stand-in for the decoder engine: records every command a TXaudioPlayer sends and lets
// a test post notifications, which reach the player through a real descriptor exactly as
// the engine's do. While it lives it is the table every new TXaudioPlayer uses, so a
// window that creates its own player runs over it unchanged.
//
//   FakeXaudioEngine Engine;            // declare before the window that owns the player
//   TForm1 Form;
//   Engine.PostDuration(125);
//   Engine.PostPlayerState(XA_PLAYER_STATE_PLAYING);
//   ASSERT_TRUE(Engine.WaitDrained());  // the handlers have run
//   EXPECT_EQ(Engine.LastCommand().Code, XA_MSG_SET_OUTPUT_VOLUME);

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "XaudioEntryPoints.h"

struct FakeXaudioCommand {
  std::string Call;  // the send variant: "N", "I", "II", "III", "IPI", "S", "SI", "SS", "P"
  int Code = 0;
  std::vector<int> Ints;                          // integer arguments in order
  std::vector<std::optional<std::string>> Texts;  // text arguments copied; nullopt for null
  const void* Pointer = nullptr;                  // the pointer of IPI and P
  std::optional<XA_EqualizerInfo> Equalizer;      // the record a P call pointed at
};

class FakeXaudioEngine {
 public:
  FakeXaudioEngine();
  ~FakeXaudioEngine();
  FakeXaudioEngine(const FakeXaudioEngine&) = delete;
  FakeXaudioEngine& operator=(const FakeXaudioEngine&) = delete;

  const TXaudioEntryPoints& Table() const;

  // Engine behaviour.
  void SetVersion(unsigned Major, unsigned Minor, unsigned Revision = 0);
  void FailPlayerNew(bool Fail = true);
  int PriorityValue() const;

  // What the player did: every entry point called, by name, and every command sent.
  std::vector<std::string> Calls() const;
  std::vector<FakeXaudioCommand> Commands() const;
  std::vector<int> CommandCodes() const;
  FakeXaudioCommand LastCommand() const;  // an empty command when none was sent
  void ClearCommands();
  bool PlayerAlive() const;  // created by player_new and not deleted yet

  // Notifications. Post queues a record as the engine would; text and equalizer pointers
  // in it must stay valid until it is decoded: take texts from Text(), which belong to
  // the next Post and, like the engine's, go stale at the decode after theirs.
  const char* Text(const std::string& Value);
  void Post(const XA_Message& Msg);
  void PostCode(int Code);  // a record with only its code set
  void PostPlayerState(int32_t State);
  void PostInputState(int32_t State);
  void PostPosition(uint32_t Offset, uint32_t Range = XA_DEFAULT_POSITION_RANGE);
  void PostTimecode(uint8_t Hours, uint8_t Minutes, uint8_t Seconds, uint8_t Fractions = 0);
  void PostDuration(uint32_t Seconds);
  void PostStreamInfo(uint16_t Bitrate, uint8_t Mode = XA_STREAM_MODE_JOINT_STEREO,
                      uint16_t Frequency = 44100, uint8_t Level = XA_STREAM_LEVEL_MPEG1,
                      uint8_t Layer = 3);
  void PostPcmLevel(uint8_t Level);
  void PostCodecQuality(uint8_t Quality);
  void PostCodecEqualizer(const XA_EqualizerInfo* Equalizer);  // copied; null means off
  void PostPong(uint32_t Tag);
  void PostError(const std::string& Message, int16_t Code = XA_ERROR_DECODE,
                 uint8_t Source = XA_SOURCE_INPUT);
  // The first sound of the input opened as `Name` is heard now.
  void PostInputHeard(const std::string& Name);

  std::size_t Pending() const;
  std::size_t DecodedCount() const;
  // Lets the GUI thread run until every posted notification has been handled.
  bool WaitDrained(int TimeoutMs = 5000) const;

 private:
  struct TQueued {
    XA_Message Msg{};
    std::vector<std::unique_ptr<std::string>> Texts;
    std::unique_ptr<XA_EqualizerInfo> Equalizer;
    void MakeStale();
  };
  friend struct FakeXaudioCalls;

  void Record(const char* Name);
  void RecordCommand(FakeXaudioCommand Command);
  int Decode(XA_Message* Msg);

  mutable std::mutex Lock;
  int EventFd = -1;
  unsigned long Version = 0;
  bool FailNew = false;
  bool Alive = false;
  int Priority = 2;
  std::vector<std::string> CallLog;
  std::vector<FakeXaudioCommand> CommandLog;
  TQueued Next;  // texts and equalizer gathered for the next Post
  std::deque<TQueued> Queue;
  TQueued Handed;  // the last decoded record's storage, valid until the next decode
  std::vector<TQueued> Stale;
  std::size_t Decoded = 0;
};
