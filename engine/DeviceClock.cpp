#include "DeviceClock.h"

#include <thread>

namespace xaudio {

void TDeviceClock::Queue(int frames) {
  // A device that was not playing starts with this sound.
  if (!paused_) count_.Run();
  count_.Add(frames);
  if (paused_) return;
  const int64_t lead = int64_t{count_.Rate()} * kLead.count() / 1000;
  std::this_thread::sleep_for(count_.Until(lead));
}

void TDeviceClock::Drain() {
  if (!paused_) std::this_thread::sleep_for(count_.Until(0));
  Drop();
}

void TDeviceClock::Drop() {
  // Emptied, the device waits for sound: it is not running dry.
  count_.Hold();
  count_.Set(0);
}

void TDeviceClock::Pause() {
  count_.Hold();
  paused_ = true;
}

void TDeviceClock::Resume() {
  if (!paused_) return;
  paused_ = false;
  // A device resumed with nothing queued is not running dry: it waits for sound.
  if (count_.Left() > 0) count_.Run();
}

}  // namespace xaudio
