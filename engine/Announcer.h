// Tells of sound at the moment it is heard. The output thread writes sound well ahead of
// the ear and may sit in a write for longer than a listener's tolerance, so what is to be
// told when a given sound is heard waits here, on a thread of its own, for its moment.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace xaudio {

class TAnnouncer {
 public:
  using Clock = std::chrono::steady_clock;

  TAnnouncer() = default;
  // Forgets what is not yet due.
  ~TAnnouncer() { Stop(); }
  TAnnouncer(const TAnnouncer&) = delete;
  TAnnouncer& operator=(const TAnnouncer&) = delete;

  void Start();
  // Any thread: the scheduling level of the announcing thread (see ThreadPriority.h).
  void SetPriority(int level);
  // Any thread: `what` runs on the announcing thread at `at` (at once when that has
  // passed), unless dropped first.
  void At(Clock::time_point at, std::function<void()> what);
  // The sound told of is gone: nothing waiting is told.
  void Drop();
  // The device stopped playing: nothing comes due until Resume, which moves everything
  // waiting on by the time held.
  void Hold();
  void Resume();
  void Stop();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::multimap<Clock::time_point, std::function<void()>> due_;
  bool held_ = false;
  Clock::time_point heldAt_;
  bool stop_ = false;
  std::atomic<int> priority_{2};
  std::atomic<pid_t> tid_{0};
  std::thread thread_;
};

}  // namespace xaudio
