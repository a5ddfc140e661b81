// Queue of notifications from the engine's threads to its owner, signalled through an
// eventfd that is readable exactly while the queue is not empty.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "xaudio.h"

namespace xaudio {

// One queued notification with its own copies of the texts and the equalizer record;
// the message's pointers are filled in when it is taken.
struct TNotice {
  XA_Message message{};
  std::string text1;
  std::string text2;
  XA_EqualizerInfo equalizer{};
  bool hasEqualizer = false;

  static TNotice Code(int code);
  static TNotice Text(int code, std::string text);
  static TNotice Error(int source, int code, std::string text);
  static TNotice Nack(int command, int code);
  static TNotice State(int code, int state);
  static TNotice Timecode(int64_t hundredths);
  static TNotice Position(int64_t offset, int range);
};

class TNotificationQueue {
 public:
  TNotificationQueue();
  ~TNotificationQueue();
  TNotificationQueue(const TNotificationQueue&) = delete;
  TNotificationQueue& operator=(const TNotificationQueue&) = delete;

  // Any thread. -1 when no eventfd could be made (then Ok() is false).
  int Fd() const { return fd_; }
  bool Ok() const { return fd_ >= 0; }
  // Any thread. Timecode and position reports are dropped while the owner lags far
  // behind: they are refreshed anyway, and the queue must not grow without bound.
  void Post(TNotice notice);
  // Consumer thread. False when empty. Pointers in *message stay valid until next Take.
  bool Take(XA_Message* message);

 private:
  static constexpr size_t kRefreshableLimit = 4096;

  int fd_ = -1;
  std::mutex mutex_;
  std::deque<TNotice> queue_;
  TNotice current_;
};

}  // namespace xaudio
