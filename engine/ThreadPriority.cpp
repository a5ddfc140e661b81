#include "ThreadPriority.h"

#include <sched.h>
#include <sys/resource.h>

namespace xaudio {

void ApplyThreadPriority(pid_t thread, int level) {
  if (thread <= 0) return;
  const sched_param param{};
  const int policy = level <= 0 ? SCHED_IDLE : level == 1 ? SCHED_BATCH : SCHED_OTHER;
  sched_setscheduler(thread, policy, &param);
  const int nice = level >= 4 ? -10 : level == 3 ? -5 : 0;
  if (setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice) != 0 && nice < 0)
    setpriority(PRIO_PROCESS, static_cast<id_t>(thread), 0);
}

}  // namespace xaudio
