#include "CommandQueue.h"

namespace xaudio {

bool TCommandQueue::Push(TCommand command) {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    // Nothing may follow Exit; closing under the same lock leaves no gap for a racer.
    if (command.code == XA_MSG_COMMAND_EXIT) closed_ = true;
    queue_.push_back(std::move(command));
  }
  ready_.notify_one();
  if (OnPush) OnPush();
  return true;
}

std::optional<TCommand> TCommandQueue::Pop(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!ready_.wait_for(lock, timeout, [this] { return !queue_.empty(); })) return std::nullopt;
  TCommand command = std::move(queue_.front());
  queue_.pop_front();
  return command;
}

std::optional<TCommand> TCommandQueue::TryPop() {
  // Called between decoded blocks: no timed wait, which would cost a system call each.
  std::lock_guard lock(mutex_);
  if (queue_.empty()) return std::nullopt;
  TCommand command = std::move(queue_.front());
  queue_.pop_front();
  return command;
}

}  // namespace xaudio
