/* Compiled as C so the public header stays usable from C; checks the record layouts
 * callers read by offset. */
#include <stddef.h>

#include "xaudio.h"

_Static_assert(sizeof(XA_EqualizerInfo) == 64, "32 left then 32 right band gains");
_Static_assert(offsetof(XA_EqualizerInfo, right) == 32, "right bands follow the left ones");
_Static_assert(offsetof(XA_Message, data) == sizeof(void*), "data follows the code, aligned");
_Static_assert(offsetof(XA_Message, data.nack.code) - offsetof(XA_Message, data) == 2,
               "nack code two bytes into the data, as in the 32-bit record");
_Static_assert(offsetof(XA_Message, data.input_stream_info.frequency) -
                       offsetof(XA_Message, data) ==
                   4,
               "stream info frequency four bytes into the data");
_Static_assert(offsetof(XA_Message, data.volume.balance) - offsetof(XA_Message, data) == 2,
               "balance is the third volume byte");
