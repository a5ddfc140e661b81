#include "XaudioEntryPoints.h"

namespace {

const TXaudioEntryPoints RealEngine = {
    xaudio_get_api_version,
    player_new,
    player_delete,
    player_get_priority,
    player_set_priority,
    xaudio_error_string,
    control_message_send_N,
    control_message_send_I,
    control_message_send_II,
    control_message_send_III,
    control_message_send_IPI,
    control_message_send_S,
    control_message_send_SI,
    control_message_send_SS,
    control_message_send_P,
    control_message_get,
};

const TXaudioEntryPoints* SelectedTable = nullptr;

}  // namespace

const TXaudioEntryPoints& TXaudioEntryPoints::Engine() { return RealEngine; }

const TXaudioEntryPoints& TXaudioEntryPoints::Selected() {
  return SelectedTable != nullptr ? *SelectedTable : RealEngine;
}

void TXaudioEntryPoints::Select(const TXaudioEntryPoints* Table) { SelectedTable = Table; }
