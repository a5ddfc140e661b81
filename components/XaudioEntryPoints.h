#pragma once
// The decoder engine as TXaudioPlayer reaches it: one pointer per entry point, like the
// imports of a library. The real table points at the engine; tests select a fake one.

#include "xaudio.h"

struct TXaudioEntryPoints {
  unsigned long (*xaudio_get_api_version)(unsigned int level);
  int (*player_new)(XA_Player** player, int* notification_fd);
  void (*player_delete)(XA_Player* player);
  int (*player_get_priority)(XA_Player* player);
  int (*player_set_priority)(XA_Player* player, int priority);
  const char* (*xaudio_error_string)(int code);
  int (*control_message_send_N)(XA_Player* player, int code);
  int (*control_message_send_I)(XA_Player* player, int code, int i1);
  int (*control_message_send_II)(XA_Player* player, int code, int i1, int i2);
  int (*control_message_send_III)(XA_Player* player, int code, int i1, int i2, int i3);
  int (*control_message_send_IPI)(XA_Player* player, int code, int i1, void* p, int i2);
  int (*control_message_send_S)(XA_Player* player, int code, const char* s);
  int (*control_message_send_SI)(XA_Player* player, int code, const char* s, int i);
  int (*control_message_send_SS)(XA_Player* player, int code, const char* s1, const char* s2);
  int (*control_message_send_P)(XA_Player* player, int code, const void* p);
  int (*control_message_get)(XA_Player* player, XA_Message* message);

  // The engine linked into the program.
  static const TXaudioEntryPoints& Engine();
  // The table a TXaudioPlayer uses when none is named: Engine() unless Select() chose
  // another (a fake engine under test). Select(nullptr) goes back to Engine().
  static const TXaudioEntryPoints& Selected();
  static void Select(const TXaudioEntryPoints* Table);
};
