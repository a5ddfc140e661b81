// The engine's C entry points: argument checks and copies, then the player does the rest.
#include <cstring>
#include <new>

#include "Player.h"
#include "xaudio.h"

struct XA_Player {
  xaudio::TPlayer player;
};

namespace {

bool ValidCommand(int code) { return code >= 1 && code <= 63 && code != 56 && code != 57; }

int Send(XA_Player* player, xaudio::TCommand command) {
  if (player == nullptr || !ValidCommand(command.code)) return XA_ERROR_INVALID_PARAMETERS;
  return player->player.Send(std::move(command));
}

xaudio::TCommand Make(int code, int i1 = 0, int i2 = 0, int i3 = 0) {
  xaudio::TCommand command;
  command.code = code;
  command.ints[0] = i1;
  command.ints[1] = i2;
  command.ints[2] = i3;
  return command;
}

}  // namespace

extern "C" {

unsigned long xaudio_get_api_version(unsigned int) {
  return (XA_API_MAJOR_VERSION << 16) | (XA_API_MINOR_VERSION << 8) | XA_API_REVISION;
}

int player_new(XA_Player** player, int* notification_fd) {
  if (player == nullptr || notification_fd == nullptr) return XA_ERROR_INVALID_PARAMETERS;
  *player = nullptr;
  auto* created = new (std::nothrow) XA_Player;
  if (created == nullptr) return XA_ERROR_OUT_OF_MEMORY;
  if (!created->player.Ok()) {
    delete created;
    return XA_FAILURE;
  }
  *player = created;
  *notification_fd = created->player.NotificationFd();
  return XA_SUCCESS;
}

void player_delete(XA_Player* player) { delete player; }

int player_get_priority(XA_Player* player) {
  return player == nullptr ? XA_ERROR_INVALID_PARAMETERS : player->player.Priority();
}

int player_set_priority(XA_Player* player, int priority) {
  if (player == nullptr) return XA_ERROR_INVALID_PARAMETERS;
  player->player.SetPriority(priority);
  return XA_SUCCESS;
}

const char* xaudio_error_string(int code) {
  switch (code) {
    case XA_SUCCESS:
      return "success";
    case XA_FAILURE:
      return "failure";
    case XA_ERROR_OUT_OF_MEMORY:
      return "out of memory";
    case XA_ERROR_INVALID_PARAMETERS:
      return "invalid parameters";
    case XA_ERROR_EXITED:
      return "the player has exited";
    case XA_ERROR_NO_INPUT:
      return "no input is open";
    case XA_ERROR_OPEN_FAILED:
      return "cannot open the input";
    case XA_ERROR_INVALID_INPUT:
      return "the input is not MPEG audio";
    case XA_ERROR_DECODE:
      return "decoding failed";
    case XA_ERROR_OUTPUT:
      return "audio output failed";
    case XA_ERROR_UNSUPPORTED:
      return "not supported";
    case XA_ERROR_NO_MESSAGE:
      return "no message";
    default:
      return "unknown error";
  }
}

int control_message_send_N(XA_Player* player, int code) { return Send(player, Make(code)); }

int control_message_send_I(XA_Player* player, int code, int i1) {
  return Send(player, Make(code, i1));
}

int control_message_send_II(XA_Player* player, int code, int i1, int i2) {
  return Send(player, Make(code, i1, i2));
}

int control_message_send_III(XA_Player* player, int code, int i1, int i2, int i3) {
  return Send(player, Make(code, i1, i2, i3));
}

// The data pointer of the send-message commands is never read: the engine has no module
// that takes such messages, so those commands are refused.
int control_message_send_IPI(XA_Player* player, int code, int i1, void*, int i2) {
  return Send(player, Make(code, i1, i2));
}

int control_message_send_S(XA_Player* player, int code, const char* s) {
  return control_message_send_SS(player, code, s, "");
}

int control_message_send_SI(XA_Player* player, int code, const char* s, int i) {
  if (s == nullptr) return XA_ERROR_INVALID_PARAMETERS;
  xaudio::TCommand command = Make(code, i);
  command.texts[0] = s;
  return Send(player, std::move(command));
}

int control_message_send_SS(XA_Player* player, int code, const char* s1, const char* s2) {
  if (s1 == nullptr || s2 == nullptr) return XA_ERROR_INVALID_PARAMETERS;
  xaudio::TCommand command = Make(code);
  command.texts[0] = s1;
  command.texts[1] = s2;
  return Send(player, std::move(command));
}

int control_message_send_P(XA_Player* player, int code, const void* p) {
  xaudio::TCommand command = Make(code);
  // Only the equalizer command carries a record; other pointers are never read.
  if (p != nullptr && code == XA_MSG_SET_CODEC_EQUALIZER) {
    command.hasEqualizer = true;
    std::memcpy(&command.equalizer, p, sizeof command.equalizer);
  }
  return Send(player, std::move(command));
}

int control_message_get(XA_Player* player, XA_Message* message) {
  if (player == nullptr || message == nullptr) return XA_ERROR_INVALID_PARAMETERS;
  return player->player.Take(message) ? XA_SUCCESS : XA_ERROR_NO_MESSAGE;
}

}  // extern "C"
