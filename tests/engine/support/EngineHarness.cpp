#include "EngineHarness.h"

#include <poll.h>

#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

std::string TextOf(const XA_Message& m) {
  const char* text = nullptr;
  switch (m.code) {
    case XA_MSG_NOTIFY_ERROR:
      text = m.data.error.message;
      break;
    case XA_MSG_NOTIFY_DEBUG:
      text = m.data.debug.message;
      break;
    case XA_MSG_NOTIFY_PROGRESS:
      text = m.data.progress.message;
      break;
    case XA_MSG_NOTIFY_INPUT_NAME:
    case XA_MSG_NOTIFY_OUTPUT_NAME:
      text = m.data.name;
      break;
    case XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING:
      text = m.data.environment_string.value;
      break;
    default:
      break;
  }
  return text ? text : "";
}

}  // namespace

TEngineHarness::TEngineHarness(const std::string& output) {
  if (player_new(&player_, &fd_) != XA_SUCCESS) throw std::runtime_error("player_new failed");
  if (!output.empty())
    control_message_send_SS(player_, XA_MSG_SET_PLAYER_ENVIRONMENT_STRING, XA_ENVIRONMENT_OUTPUT,
                            output.c_str());
}

TEngineHarness::~TEngineHarness() { player_delete(player_); }

void TEngineHarness::Send(int code, int i1, int i2, int i3) {
  control_message_send_III(player_, code, i1, i2, i3);
}

void TEngineHarness::SendText(int code, const std::string& text) {
  control_message_send_S(player_, code, text.c_str());
}

bool TEngineHarness::TakeOne(std::chrono::milliseconds timeout, TNotification& out) {
  XA_Message m;
  if (control_message_get(player_, &m) != XA_SUCCESS) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
    if (control_message_get(player_, &m) != XA_SUCCESS) return false;
  }
  out = TNotification{};
  out.message = m;
  out.text = TextOf(m);
  out.taken = Clock::now();
  if (m.code == XA_MSG_NOTIFY_CODEC_EQUALIZER && m.data.equalizer != nullptr) {
    out.hasEqualizer = true;
    out.equalizer = *m.data.equalizer;
  }
  seen_.push_back(out);
  return true;
}

std::optional<TNotification> TEngineHarness::WaitFor(
    const std::function<bool(const TNotification&)>& match, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() < 0) return std::nullopt;
    TNotification n;
    if (!TakeOne(left, n)) {
      if (Clock::now() >= deadline) return std::nullopt;
      continue;
    }
    if (match(n)) return n;
  }
}

std::optional<TNotification> TEngineHarness::WaitForCode(int code,
                                                         std::chrono::milliseconds timeout) {
  return WaitFor([code](const TNotification& n) { return n.code() == code; }, timeout);
}

std::optional<TNotification> TEngineHarness::WaitForState(int state,
                                                          std::chrono::milliseconds timeout) {
  return WaitFor(
      [state](const TNotification& n) {
        return n.code() == XA_MSG_NOTIFY_PLAYER_STATE && n.message.data.state == state;
      },
      timeout);
}

std::optional<TNotification> TEngineHarness::WaitForEndPosition(std::chrono::milliseconds timeout) {
  return WaitFor(
      [](const TNotification& n) {
        return n.code() == XA_MSG_NOTIFY_INPUT_POSITION &&
               n.message.data.input_position.offset == n.message.data.input_position.range;
      },
      timeout);
}

std::optional<TPlayedSong> TEngineHarness::PlayThrough(const std::string& file,
                                                       std::chrono::milliseconds timeout) {
  SendText(XA_MSG_COMMAND_INPUT_OPEN, file);
  Send(XA_MSG_COMMAND_PLAY);
  const auto playing = WaitForState(XA_PLAYER_STATE_PLAYING, timeout);
  const auto eof = WaitForState(XA_PLAYER_STATE_EOF, timeout);
  if (!playing || !eof) return std::nullopt;
  return TPlayedSong{*playing, *eof};
}

void TEngineHarness::Drain(std::chrono::milliseconds period) {
  WaitFor([](const TNotification&) { return false; }, period);
}

void TEngineHarness::PlayInTurn(const std::vector<std::string>& files) {
  player_set_priority(player_, XA_PRIORITY_HIGHEST);
  for (const auto& file : files) {
    SendText(XA_MSG_COMMAND_INPUT_OPEN, file);
    Send(XA_MSG_COMMAND_PLAY);
    if (!WaitForState(XA_PLAYER_STATE_EOF, std::chrono::seconds(10)))
      throw std::runtime_error("no end of " + file);
  }
  Send(XA_MSG_COMMAND_EXIT);
  if (!WaitForCode(XA_MSG_NOTIFY_EXITED, std::chrono::seconds(10)))
    throw std::runtime_error("the player did not exit");
}
