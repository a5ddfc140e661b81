#include "Announcer.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <utility>

#include "ThreadPriority.h"

namespace xaudio {

void TAnnouncer::Start() {
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
}

void TAnnouncer::SetPriority(int level) {
  priority_ = level;
  ApplyThreadPriority(tid_, level);
}

void TAnnouncer::At(Clock::time_point at, std::function<void()> what) {
  {
    std::lock_guard lock(mutex_);
    due_.emplace(at, std::move(what));
  }
  changed_.notify_all();
}

void TAnnouncer::Drop() {
  std::lock_guard lock(mutex_);
  due_.clear();
}

void TAnnouncer::Hold() {
  std::lock_guard lock(mutex_);
  if (held_) return;
  held_ = true;
  heldAt_ = Clock::now();
}

void TAnnouncer::Resume() {
  {
    std::lock_guard lock(mutex_);
    if (!held_) return;
    held_ = false;
    const auto held = Clock::now() - heldAt_;
    std::multimap<Clock::time_point, std::function<void()>> moved;
    for (auto& [at, what] : due_) moved.emplace(at + held, std::move(what));
    due_ = std::move(moved);
  }
  changed_.notify_all();
}

void TAnnouncer::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    due_.clear();
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TAnnouncer::Run() {
  // Late is wrong here as much as in the output: the same priority as it.
  tid_ = static_cast<pid_t>(syscall(SYS_gettid));
  ApplyThreadPriority(tid_, priority_);
  std::unique_lock lock(mutex_);
  while (!stop_) {
    if (held_ || due_.empty()) {
      changed_.wait(lock);
      continue;
    }
    const auto first = due_.begin();
    if (first->first > Clock::now()) {
      changed_.wait_until(lock, first->first);
      continue;
    }
    std::function<void()> what = std::move(first->second);
    due_.erase(first);
    lock.unlock();
    what();
    lock.lock();
  }
  tid_ = 0;
}

}  // namespace xaudio
