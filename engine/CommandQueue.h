// Commands from any thread to the engine thread, kept in sending order.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "xaudio.h"

namespace xaudio {

// Sent by the engine to itself, never accepted from the C API: the output has reached the
// end of an input (`marks` = epoch, input).
inline constexpr int kCommandInputEnded = 1000;

// A command with its own copies of the caller's arguments.
struct TCommand {
  int code = 0;
  int ints[3] = {0, 0, 0};
  uint64_t marks[2] = {0, 0};
  std::string texts[2];
  bool hasEqualizer = false;
  XA_EqualizerInfo equalizer{};
};

class TCommandQueue {
 public:
  // Called after every push, outside the queue's lock: wakes a busy engine thread.
  std::function<void()> OnPush;

  // Any thread. False once an Exit command has been pushed.
  bool Push(TCommand command);
  // Engine thread. Waits at most `timeout` for a command.
  std::optional<TCommand> Pop(std::chrono::milliseconds timeout);
  std::optional<TCommand> TryPop();

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<TCommand> queue_;
  bool closed_ = false;
};

}  // namespace xaudio
