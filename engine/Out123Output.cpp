#include "Out123Output.h"

#include <out123.h>

#include <algorithm>
#include <cstdint>

#include "Levels.h"

namespace xaudio {

TOut123Output::TOut123Output() {
  handle_ = out123_new();
  if (handle_ != nullptr) out123_param2(handle_, OUT123_ADD_FLAGS, OUT123_QUIET, 0.0, nullptr);
}

TOut123Output::~TOut123Output() {
  if (handle_ == nullptr) return;
  if (started_) out123_drop(handle_);
  out123_del(handle_);
}

std::string TOut123Output::Failure(const std::string& what) const {
  return what + ": " + (handle_ ? out123_strerror(handle_) : "out of memory");
}

bool TOut123Output::Open(const std::string& drivers, const std::string& device,
                         std::string& error) {
  if (handle_ == nullptr ||
      out123_open(handle_, drivers.c_str(), device.empty() ? nullptr : device.c_str()) != 0) {
    error = Failure("cannot open audio output " + drivers);
    return false;
  }
  char* driver = nullptr;
  out123_driver_info(handle_, &driver, nullptr);
  name_ = driver ? driver : drivers;
  if (!device.empty()) name_ += ":" + device;
  return true;
}

bool TOut123Output::Start(const TAudioFormat& format, std::string& error) {
  if (started_ && format == format_) return true;
  if (started_) {
    out123_drain(handle_);
    out123_stop(handle_);
    started_ = false;
  }
  if (out123_start(handle_, format.rate, format.channels, MPG123_ENC_SIGNED_16) != 0) {
    error = Failure("cannot start audio output " + name_);
    return false;
  }
  format_ = format;
  started_ = true;
  held_.SetRate(format.rate);
  Forget();
  deviceFrames_ = 0;
  return true;
}

bool TOut123Output::Write(const float* samples, int frames, std::string& error) {
  const size_t count = static_cast<size_t>(frames) * format_.channels;
  buffer_.resize(count);
  ToS16(samples, count, buffer_.data());
  const size_t bytes = count * sizeof(int16_t);
  const auto before = Clock::now();
  const int64_t held = held_.Left();
  if (out123_play(handle_, buffer_.data(), bytes) != bytes) {
    error = Failure("audio output " + name_ + " failed");
    return false;
  }
  const double waited = std::chrono::duration<double>(Clock::now() - before).count();
  if (waited > 0.002 && waited * format_.rate > 0.5 * frames) {
    if (!running_ && deviceFrames_ == 0) deviceFrames_ = held + frames;
    running_ = true;
    held_.Set(deviceFrames_);
  } else {
    int64_t now = held + frames;
    if (running_ && deviceFrames_ > 0) now = std::min(now, deviceFrames_);
    held_.Set(now);
  }
  Follow();
  return true;
}

void TOut123Output::Follow() {
  if (running_ && !paused_)
    held_.Run();
  else
    held_.Hold();
}

void TOut123Output::Forget() {
  running_ = false;
  Follow();
  held_.Set(0);
}

void TOut123Output::Drain() {
  if (started_) out123_drain(handle_);
  Forget();
}

void TOut123Output::Flush() {
  if (started_) out123_drop(handle_);
  Forget();
}

void TOut123Output::Pause() {
  if (started_) out123_pause(handle_);
  paused_ = true;
  Follow();
}

void TOut123Output::Resume() {
  if (started_) out123_continue(handle_);
  paused_ = false;
  Follow();
}

int TOut123Output::Delay() const {
  if (!started_ || format_.channels == 0) return 0;
  const int64_t buffered =
      static_cast<int64_t>(out123_buffered(handle_) / (format_.channels * sizeof(int16_t)));
  return static_cast<int>(buffered + held_.Left());
}

}  // namespace xaudio
