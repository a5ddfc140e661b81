// The playing side of the player, run on the engine thread: the input and its decoder,
// the player state, and the sound handed to the output thread through the ring.
#pragma once

#include <cstdint>
#include <string>

#include "Decoder.h"
#include "NotificationQueue.h"
#include "OutputStage.h"
#include "RingBuffer.h"

namespace xaudio {

class TTransport {
 public:
  explicit TTransport(TNotificationQueue& notices);

  bool Ok() const { return decoder_.Ok(); }
  // Starts the output thread.
  void Start();
  // Lets a command interrupt a decoding step that waits for room in the ring.
  void Interrupt() { ring_.WakeWriter(); }
  bool Busy() const { return state_ == XA_PLAYER_STATE_PLAYING; }
  // Decodes one block, unless a command interrupts the wait for room.
  void DecodeStep();

  void Open(const std::string& path);
  void Close();
  void Play();
  void Pause();
  void Stop();
  void Seek(int offset, int range);
  // Ends the output thread; sound already decoded is heard out first when `mayPlayOut`
  // and the player is playing or has just reached the end of its input.
  void Exit(bool mayPlayOut);

  void SelectOutput(const std::string& setting);
  std::string OutputName() { return stage_.OutputName(); }
  void SetGains(TChannelGains gains) { stage_.SetGains(gains); }
  void SetMuted(bool muted) { stage_.SetMuted(muted); }
  void SetEqualizer(const XA_EqualizerInfo* equalizer) { decoder_.SetEqualizer(equalizer); }
  void SetReporting(int range, int granularity);
  const std::string& InputName() const { return inputName_; }

 private:
  void SetState(int state);
  // Drops every block not yet heard.
  void NewEpoch();
  void NewInput();
  void PostPosition(int64_t frame);

  TNotificationQueue& notices_;
  TRingBuffer ring_;
  TOutputStage stage_;
  TDecoder decoder_;
  int state_ = XA_PLAYER_STATE_STOPPED;
  uint64_t epoch_ = 0;
  uint64_t input_ = 0;
  std::string inputName_;
  int range_ = XA_DEFAULT_POSITION_RANGE;
  int granularity_ = 10;
  int silentReads_ = 0;
};

}  // namespace xaudio
