#include "NullOutput.h"

namespace xaudio {

bool TNullOutput::Start(const TAudioFormat& format, std::string&) {
  clock_.SetRate(format.rate);
  return true;
}

bool TNullOutput::Write(const float*, int frames, std::string&) {
  if (paced_) clock_.Queue(frames);
  return true;
}

void TNullOutput::Drain() {
  if (paced_) clock_.Drain();
}

void TNullOutput::Flush() { clock_.Drop(); }

void TNullOutput::Pause() { clock_.Pause(); }

void TNullOutput::Resume() { clock_.Resume(); }

int TNullOutput::Delay() const { return paced_ ? static_cast<int>(clock_.QueuedFrames()) : 0; }

std::string TNullOutput::Name() const { return paced_ ? "null" : "null-fast"; }

}  // namespace xaudio
