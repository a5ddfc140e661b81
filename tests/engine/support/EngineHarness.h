// Drives a real engine through its C API and waits, with timeouts, for its notifications.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "xaudio.h"

// A notification copied out of the engine's record, texts included.
struct TNotification {
  XA_Message message{};
  std::string text;
  XA_EqualizerInfo equalizer{};
  bool hasEqualizer = false;
  std::chrono::steady_clock::time_point taken;  // when the harness took it from the engine
  int code() const { return message.code; }
};

// When a song played through started and reached its end.
struct TPlayedSong {
  TNotification playing;
  TNotification eof;
};

class TEngineHarness {
 public:
  // Creates a player; when `output` is not empty, selects that output first.
  explicit TEngineHarness(const std::string& output = XA_OUTPUT_NULL_FAST);
  ~TEngineHarness();
  TEngineHarness(const TEngineHarness&) = delete;
  TEngineHarness& operator=(const TEngineHarness&) = delete;

  XA_Player* player() const { return player_; }
  void Send(int code, int i1 = 0, int i2 = 0, int i3 = 0);
  void SendText(int code, const std::string& text);

  // Waits until a notification matching `match` arrives; everything taken meanwhile is
  // kept in seen(). nullopt on timeout.
  std::optional<TNotification> WaitFor(const std::function<bool(const TNotification&)>& match,
                                       std::chrono::milliseconds timeout);
  std::optional<TNotification> WaitForCode(int code, std::chrono::milliseconds timeout);
  std::optional<TNotification> WaitForState(int state, std::chrono::milliseconds timeout);
  // Waits for the position report at the very end of the input.
  std::optional<TNotification> WaitForEndPosition(std::chrono::milliseconds timeout);
  // Opens and plays `file`, then waits up to `timeout` each for the playing and the end of
  // input states; nullopt when either does not come.
  std::optional<TPlayedSong> PlayThrough(const std::string& file,
                                         std::chrono::milliseconds timeout);
  // Takes whatever arrives within `period`.
  void Drain(std::chrono::milliseconds period);
  // Plays `files` as the player window does, at the priority it sets: each next one
  // opened and played as soon as the end of the one before is reported; then exits.
  void PlayInTurn(const std::vector<std::string>& files);

  const std::vector<TNotification>& seen() const { return seen_; }
  void ClearSeen() { seen_.clear(); }

 private:
  bool TakeOne(std::chrono::milliseconds timeout, TNotification& out);

  XA_Player* player_ = nullptr;
  int fd_ = -1;
  std::vector<TNotification> seen_;
};
