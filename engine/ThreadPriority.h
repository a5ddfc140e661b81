// Maps the player's priority levels onto the scheduling of one thread.
#pragma once

#include <sys/types.h>

namespace xaudio {

// Level 0 runs only when the machine is otherwise idle, 1 as a batch job, 2 normally,
// 3 and 4 with a raised priority where the system allows it. Refusals are harmless: the
// thread keeps the nearest setting it may have.
void ApplyThreadPriority(pid_t thread, int level);

}  // namespace xaudio
