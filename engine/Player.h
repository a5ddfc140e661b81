// The player behind the C API: owns the queues and the engine thread, which runs the
// commands in sending order and, between them, keeps the decoder going.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "CommandQueue.h"
#include "NotificationQueue.h"
#include "Transport.h"

namespace xaudio {

class TPlayer {
 public:
  TPlayer();
  // Shuts down without playing out what is queued, unless Exit already did.
  ~TPlayer();
  TPlayer(const TPlayer&) = delete;
  TPlayer& operator=(const TPlayer&) = delete;

  bool Ok() const { return notices_.Ok() && transport_.Ok(); }
  int NotificationFd() const { return notices_.Fd(); }
  // Any thread.
  int Send(TCommand command);
  // Owner's thread.
  bool Take(XA_Message* message) { return notices_.Take(message); }
  // Any thread.
  int Priority() const { return priority_; }
  void SetPriority(int level);

 private:
  void Run();
  // Engine thread. False when the command was Exit.
  bool Handle(const TCommand& command);
  // Engine thread. The transport and input commands; false when `command` is not one.
  bool HandleTransport(const TCommand& command);
  void Post(TNotice notice) { notices_.Post(std::move(notice)); }
  // Posts a notification whose data `fill` sets.
  template <typename F>
  void Answer(int code, F fill);
  void PostVolume(int code);
  void SetVolume(int master, int pcm, int balance);
  void SetEnvironmentString(const std::string& name, const std::string& value);
  void PostEnvironment(int command, const std::string& name);
  // Hands the REPLAYGAIN* integers to the transport.
  void ApplyReplayGain();

  TNotificationQueue notices_;
  TCommandQueue commands_;
  std::atomic<int> priority_{2};
  std::atomic<pid_t> engineTid_{0};
  // Set by the destructor: an Exit it causes drops the queued sound.
  std::atomic<bool> dropOnExit_{false};
  TTransport transport_{notices_};

  // Engine-thread state.
  std::map<std::string, int> environmentIntegers_;
  std::map<std::string, std::string> environmentStrings_;
  int playerMode_ = 0;
  int positionRange_ = XA_DEFAULT_POSITION_RANGE;
  int timecodeGranularity_ = XA_DEFAULT_TIMECODE_GRANULARITY;
  int codecQuality_ = 0;
  int debugLevel_ = 0;
  XA_VolumeInfo volume_{100, 100, 50};
  bool equalizerOn_ = false;
  XA_EqualizerInfo equalizer_{};

  std::thread thread_;
};

}  // namespace xaudio
