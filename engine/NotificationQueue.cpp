#include "NotificationQueue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace xaudio {

TNotice TNotice::Code(int code) {
  TNotice n;
  n.message.code = code;
  return n;
}

TNotice TNotice::Text(int code, std::string text) {
  TNotice n = Code(code);
  n.text1 = std::move(text);
  return n;
}

TNotice TNotice::Error(int source, int code, std::string text) {
  TNotice n = Text(XA_MSG_NOTIFY_ERROR, std::move(text));
  n.message.data.error.source = static_cast<uint8_t>(source);
  n.message.data.error.code = static_cast<int16_t>(code);
  return n;
}

TNotice TNotice::Nack(int command, int code) {
  TNotice n = Code(XA_MSG_NOTIFY_NACK);
  n.message.data.nack.command = static_cast<uint8_t>(command);
  n.message.data.nack.code = static_cast<int16_t>(code);
  return n;
}

TNotice TNotice::State(int code, int state) {
  TNotice n = Code(code);
  n.message.data.state = state;
  return n;
}

TNotice TNotice::Timecode(int64_t hundredths) {
  TNotice n = Code(XA_MSG_NOTIFY_INPUT_TIMECODE);
  auto& t = n.message.data.input_timecode;
  t.h = static_cast<uint8_t>(std::min<int64_t>(hundredths / 360000, 255));
  t.m = static_cast<uint8_t>(hundredths / 6000 % 60);
  t.s = static_cast<uint8_t>(hundredths / 100 % 60);
  t.f = static_cast<uint8_t>(hundredths % 100);
  return n;
}

TNotice TNotice::Position(int64_t offset, int range) {
  TNotice n = Code(XA_MSG_NOTIFY_INPUT_POSITION);
  n.message.data.input_position.offset = static_cast<uint32_t>(offset);
  n.message.data.input_position.range = static_cast<uint32_t>(range);
  return n;
}

TNotificationQueue::TNotificationQueue() { fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }

TNotificationQueue::~TNotificationQueue() {
  if (fd_ >= 0) close(fd_);
}

void TNotificationQueue::Post(TNotice notice) {
  const int code = notice.message.code;
  std::lock_guard lock(mutex_);
  if (queue_.size() >= kRefreshableLimit &&
      (code == XA_MSG_NOTIFY_INPUT_TIMECODE || code == XA_MSG_NOTIFY_INPUT_POSITION))
    return;
  queue_.push_back(std::move(notice));
  if (queue_.size() == 1 && fd_ >= 0) {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(fd_, &one, sizeof one);
  }
}

bool TNotificationQueue::Take(XA_Message* message) {
  std::lock_guard lock(mutex_);
  if (queue_.empty()) return false;
  current_ = std::move(queue_.front());
  queue_.pop_front();
  if (queue_.empty() && fd_ >= 0) {
    uint64_t count;
    [[maybe_unused]] ssize_t n = read(fd_, &count, sizeof count);
  }
  XA_Message& m = current_.message;
  const char* t1 = current_.text1.c_str();
  const char* t2 = current_.text2.c_str();
  switch (m.code) {
    case XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_INTEGER:
      m.data.environment_integer.name = t1;
      break;
    case XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING:
      m.data.environment_string.name = t1;
      m.data.environment_string.value = t2;
      break;
    case XA_MSG_NOTIFY_INPUT_NAME:
    case XA_MSG_NOTIFY_OUTPUT_NAME:
      m.data.name = t1;
      break;
    case XA_MSG_NOTIFY_INPUT_MODULE_INFO:
    case XA_MSG_NOTIFY_OUTPUT_MODULE_INFO:
      m.data.module_info.name = t1;
      m.data.module_info.description = t2;
      break;
    case XA_MSG_NOTIFY_INPUT_DEVICE_INFO:
    case XA_MSG_NOTIFY_OUTPUT_DEVICE_INFO:
      m.data.device_info.name = t1;
      m.data.device_info.description = t2;
      break;
    case XA_MSG_NOTIFY_INPUT_FILTER_INFO:
    case XA_MSG_NOTIFY_OUTPUT_FILTER_INFO:
      m.data.filter_info.name = t1;
      break;
    case XA_MSG_NOTIFY_CODEC_EQUALIZER:
      m.data.equalizer = current_.hasEqualizer ? &current_.equalizer : nullptr;
      break;
    case XA_MSG_NOTIFY_PROGRESS:
      m.data.progress.message = t1;
      break;
    case XA_MSG_NOTIFY_DEBUG:
      m.data.debug.message = t1;
      break;
    case XA_MSG_NOTIFY_ERROR:
      m.data.error.message = t1;
      break;
    default:
      break;
  }
  *message = m;
  return true;
}

}  // namespace xaudio
