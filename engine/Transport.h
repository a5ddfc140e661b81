// The playing side of the player, run on the engine thread: the input and its decoder,
// the player state, and the sound handed to the output thread through the ring.
#pragma once

#include <cstdint>
#include <functional>
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
  // Announcing thread: the end of the input `input` of `epoch` is about to be heard; the
  // owner answers by calling InputEnded on the engine thread. Set before Start.
  std::function<void(uint64_t epoch, uint64_t input)> OnInputEnd;
  // Starts the output thread.
  void Start();
  // Lets a command interrupt a decoding step that waits for room in the ring.
  void Interrupt() { ring_.WakeWriter(); }
  bool Busy() const { return state_ == XA_PLAYER_STATE_PLAYING && !decoded_; }
  // Decodes one block, unless a command interrupts the wait for room.
  void DecodeStep();

  void Open(const std::string& path);
  void Close();
  void Play();
  void Pause();
  void Stop();
  void Seek(int offset, int range);
  // The input has been played to its end: the player state becomes EOF, unless a command
  // has meanwhile dropped that sound or replaced the input.
  void InputEnded(uint64_t epoch, uint64_t input);
  // Ends the output thread; sound already decoded is heard out first when `mayPlayOut`
  // and the player is playing or has just reached the end of its input.
  void Exit(bool mayPlayOut);

  void SelectOutput(const std::string& setting);
  std::string OutputName() { return stage_.OutputName(); }
  void SetGains(TChannelGains gains) { stage_.SetGains(gains); }
  void SetMuted(bool muted) { stage_.SetMuted(muted); }
  // Any thread.
  void Cancel() { stage_.Cancel(); }
  void SetOutputPriority(int level) { stage_.SetPriority(level); }
  void SetEqualizer(const XA_EqualizerInfo* equalizer) { decoder_.SetEqualizer(equalizer); }
  void SetReporting(int range, int granularity);
  // Mode XA_REPLAYGAIN_*, pre-amps in dB.
  void SetReplayGain(int mode, float tagged, float untagged);
  const std::string& InputName() const { return inputName_; }

 private:
  void SetState(int state);
  // Drops every block not yet heard.
  void NewEpoch();
  // Whether sound of the input is still to come, which Stop and a new input drop; the
  // sound of an input played to its end is left to play out.
  bool Sounding() const;
  // Forgets a reached end: decoding starts again from wherever the input now stands.
  void Rewind();
  void NewInput();
  void PostPosition(int64_t frame);
  void PostReplayGain();

  TNotificationQueue& notices_;
  TRingBuffer ring_;
  TOutputStage stage_;
  TDecoder decoder_;
  int state_ = XA_PLAYER_STATE_STOPPED;
  uint64_t epoch_ = 0;
  uint64_t input_ = 0;
  std::string inputName_;
  int range_ = XA_DEFAULT_POSITION_RANGE;
  int granularity_ = XA_DEFAULT_TIMECODE_GRANULARITY;
  int silentReads_ = 0;
  // The decoder has reached the end of the input; its last sound is still on its way.
  bool decoded_ = false;
  // That end was reached while paused: it is reported once play resumes.
  bool endedWhilePaused_ = false;
};

}  // namespace xaudio
