#include "PulseOutput.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <utility>

#include "Levels.h"

namespace xaudio {

namespace {

using std::chrono::milliseconds;

// What the server holds ahead of the ear: enough to ride out a busy machine, and the
// client is woken about four times in that span. The end of an input is announced by what
// remains to be heard, so this length does not move the display.
constexpr milliseconds kServerBuffer{250};
// Playing starts (and restarts after running dry) once this much is queued, so a song
// that follows late is not held back by a full buffer's wait.
constexpr milliseconds kStartAfter{20};
// A server that answers nothing for this long has hung: the output fails rather than wait
// for it. A healthy local server answers in milliseconds.
constexpr milliseconds kConnectDeadline{1000};
constexpr milliseconds kAnswerDeadline{2000};
// Waits wake at least this often, so a closing player is never held longer than this.
constexpr milliseconds kTick{50};
// Pause, Stop and a new input fade the sound out over this long rather than cut it
// mid-wave, and Resume fades it in. The fade is written over what the server holds, this
// far ahead of its read position: the pipe or device takes sound a block at a time, and
// sound written behind what it took is lost.
constexpr milliseconds kFade{8};
constexpr milliseconds kRewriteAhead{25};
// What was written is kept this long for such a rewrite: more than the server holds.
constexpr milliseconds kKept = kServerBuffer + milliseconds(150);

uint32_t Bytes(const pa_sample_spec& spec, milliseconds span) {
  return static_cast<uint32_t>(pa_usec_to_bytes(span.count() * PA_USEC_PER_MSEC, &spec));
}

// Every callback only wakes the thread that waits on the main loop.
void Wake(void* loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0); }
void ContextChanged(pa_context*, void* loop) { Wake(loop); }
void StreamChanged(pa_stream*, void* loop) { Wake(loop); }
void Writable(pa_stream*, size_t, void* loop) { Wake(loop); }
void Done(pa_stream*, int, void* loop) { Wake(loop); }
void Tick(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* loop) { Wake(loop); }

// Lets a corked stream play, without waiting for the server to confirm.
void Uncork(pa_stream* stream) {
  if (pa_operation* go = pa_stream_cork(stream, 0, nullptr, nullptr)) pa_operation_unref(go);
}

class TLocked {
 public:
  explicit TLocked(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
  ~TLocked() { pa_threaded_mainloop_unlock(loop_); }
  TLocked(const TLocked&) = delete;
  TLocked& operator=(const TLocked&) = delete;

 private:
  pa_threaded_mainloop* loop_;
};

}  // namespace

TPulseOutput::~TPulseOutput() {
  if (loop_ == nullptr) return;
  {
    TLocked lock(loop_);
    EndJoin(false);
    CloseStream();
    if (tick_ != nullptr) pa_threaded_mainloop_get_api(loop_)->time_free(tick_);
    if (context_ != nullptr) {
      pa_context_disconnect(context_);
      pa_context_unref(context_);
    }
  }
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

std::string TPulseOutput::Failure(const std::string& what) const {
  if (unanswered_) return what + ": the sound server does not answer";
  const int code = context_ != nullptr ? pa_context_errno(context_) : PA_ERR_INTERNAL;
  return what + ": " + pa_strerror(code);
}

bool TPulseOutput::Cancelled() const { return cancel_ != nullptr && cancel_->load(); }

bool TPulseOutput::Wait(Clock::time_point deadline) {
  const auto now = Clock::now();
  if (Cancelled()) return false;
  if (now >= deadline) {
    unanswered_ = true;
    return false;
  }
  const auto span = std::chrono::duration_cast<std::chrono::microseconds>(
      std::min<Clock::duration>(deadline - now, kTick));
  pa_context_rttime_restart(context_, tick_, pa_rtclock_now() + span.count());
  pa_threaded_mainloop_wait(loop_);
  return true;
}

bool TPulseOutput::Open(const std::string& device, std::string& error) {
  device_ = device;
  loop_ = pa_threaded_mainloop_new();
  if (loop_ == nullptr) {
    error = "cannot open audio output pulse: out of memory";
    return false;
  }
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Sonavera");
  if (context_ == nullptr) {
    error = "cannot open audio output pulse: out of memory";
    return false;
  }
  pa_context_set_state_callback(context_, ContextChanged, loop_);
  tick_ = pa_context_rttime_new(context_, PA_USEC_INVALID, Tick, loop_);
  // Never start a server of our own: without one the next driver is tried.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      pa_threaded_mainloop_start(loop_) < 0) {
    error = Failure("cannot open audio output pulse");
    return false;
  }
  TLocked lock(loop_);
  const auto deadline = Clock::now() + kConnectDeadline;
  for (;;) {
    const pa_context_state_t state = pa_context_get_state(context_);
    if (state == PA_CONTEXT_READY) return true;
    if (!PA_CONTEXT_IS_GOOD(state) || !Wait(deadline)) {
      error = Failure("cannot open audio output pulse");
      return false;
    }
  }
}

std::string TPulseOutput::Name() const { return device_.empty() ? "pulse" : "pulse:" + device_; }

void TPulseOutput::Await(pa_operation* operation, Clock::duration longest) {
  if (operation == nullptr) return;
  const auto deadline = Clock::now() + longest;
  while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING && !StreamFailed() &&
         Wait(deadline)) {
  }
  if (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) pa_operation_cancel(operation);
  pa_operation_unref(operation);
}

bool TPulseOutput::StreamFailed() const {
  return stream_ == nullptr || unanswered_ || Cancelled() ||
         !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)) ||
         !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
}

void TPulseOutput::CloseStream() {
  if (stream_ == nullptr) return;
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  pa_stream_set_write_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
}

void TPulseOutput::Drained(pa_stream*, int, void* self) {
  static_cast<TPulseOutput*>(self)->EndJoin(true);
}

void TPulseOutput::EndJoin(bool drained) {
  if (ending_ == nullptr) return;
  if (endingDrain_ != nullptr) {
    if (!drained) pa_operation_cancel(endingDrain_);
    pa_operation_unref(endingDrain_);
    endingDrain_ = nullptr;
  }
  // A new stream still connecting is uncorked by Start once it is ready.
  if (!StreamFailed() && !paused_ && pa_stream_get_state(stream_) == PA_STREAM_READY)
    Uncork(stream_);
  pa_stream_set_state_callback(ending_, nullptr, nullptr);
  pa_stream_disconnect(ending_);
  pa_stream_unref(ending_);
  ending_ = nullptr;
  pa_threaded_mainloop_signal(loop_, 0);
}

void TPulseOutput::AwaitJoin() {
  // The old stream holds at most the server's buffer.
  const auto deadline = Clock::now() + kServerBuffer + kAnswerDeadline;
  while (ending_ != nullptr) {
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(ending_)) ||
        !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) || !Wait(deadline)) {
      EndJoin(false);
      return;
    }
  }
}

bool TPulseOutput::Start(const TAudioFormat& format, std::string& error) {
  TLocked lock(loop_);
  if (stream_ != nullptr && format == format_ && !StreamFailed()) return true;
  AwaitJoin();
  if (stream_ != nullptr && !StreamFailed() && !paused_) {
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    endingDrain_ = pa_stream_drain(stream_, Drained, this);
    if (endingDrain_ != nullptr) {
      ending_ = stream_;
      stream_ = nullptr;
    }
  }
  CloseStream();
  // No stream of the new format: the old one still plays out first.
  auto fail = [&](std::string why) {
    error = std::move(why);
    CloseStream();
    AwaitJoin();
    return false;
  };
  const pa_sample_spec spec{PA_SAMPLE_S16LE, static_cast<uint32_t>(format.rate),
                            static_cast<uint8_t>(format.channels)};
  if (!pa_sample_spec_valid(&spec))
    return fail("audio output pulse cannot play " + std::to_string(format.rate) + " Hz");
  stream_ = pa_stream_new(context_, "Sonavera", &spec, nullptr);
  if (stream_ == nullptr) return fail(Failure("cannot start audio output pulse"));
  pa_stream_set_state_callback(stream_, StreamChanged, loop_);
  pa_stream_set_write_callback(stream_, Writable, loop_);
  pa_buffer_attr attr;
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.tlength = Bytes(spec, kServerBuffer);
  attr.prebuf = Bytes(spec, kStartAfter);
  attr.minreq = static_cast<uint32_t>(-1);
  attr.fragsize = static_cast<uint32_t>(-1);
  const bool corked = ending_ != nullptr;
  const auto flags =
      static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                                     (corked ? PA_STREAM_START_CORKED : PA_STREAM_NOFLAGS));
  if (pa_stream_connect_playback(stream_, device_.empty() ? nullptr : device_.c_str(), &attr, flags,
                                 nullptr, nullptr) < 0)
    return fail(Failure("cannot start audio output pulse"));
  const auto deadline = Clock::now() + kAnswerDeadline;
  while (pa_stream_get_state(stream_) != PA_STREAM_READY) {
    if (StreamFailed() || !Wait(deadline)) return fail(Failure("cannot start audio output pulse"));
  }
  // The old stream may have drained while this one was connecting.
  if (corked && ending_ == nullptr) Uncork(stream_);
  format_ = format;
  paused_ = false;
  written_ = 0;
  history_.clear();
  anchored_.SetRate(format.rate);
  Anchor(0);
  return true;
}

bool TPulseOutput::Write(const float* samples, int frames, std::string& error) {
  TLocked lock(loop_);
  // A stream that never started has no format: its sound has no length to write.
  if (StreamFailed()) {
    error = Failure("audio output pulse failed");
    return false;
  }
  const size_t count = static_cast<size_t>(frames) * format_.channels;
  buffer_.resize(count);
  ToS16(samples, count, buffer_.data());
  const auto* data = reinterpret_cast<const uint8_t*>(buffer_.data());
  size_t left = count * sizeof(int16_t);
  // Each wait for room is bounded: a server that takes nothing has hung.
  auto deadline = Clock::now() + kAnswerDeadline;
  while (left > 0) {
    if (StreamFailed()) {
      error = Failure("audio output pulse failed");
      return false;
    }
    const size_t room = pa_stream_writable_size(stream_);
    if (room == static_cast<size_t>(-1)) {
      error = Failure("audio output pulse failed");
      return false;
    }
    if (room == 0) {
      if (interrupted_) break;
      Wait(deadline);
      continue;
    }
    const size_t bytes = std::min(room, left);
    if (pa_stream_write(stream_, data, bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
      error = Failure("audio output pulse failed");
      return false;
    }
    Keep(reinterpret_cast<const int16_t*>(data), bytes / sizeof(int16_t));
    data += bytes;
    left -= bytes;
    written_ += bytes;
    deadline = Clock::now() + kAnswerDeadline;
  }
  Anchor(ServerDelay());
  return true;
}

void TPulseOutput::Interrupt() {
  if (loop_ == nullptr) return;
  TLocked lock(loop_);
  interrupted_ = true;
  pa_threaded_mainloop_signal(loop_, 0);
}

void TPulseOutput::Drain() {
  Clock::duration rest{};
  {
    TLocked lock(loop_);
    if (StreamFailed() || paused_) return;
    AwaitJoin();
    const auto queued = std::chrono::microseconds(Queued() * PA_USEC_PER_SEC / format_.rate);
    Await(pa_stream_drain(stream_, Done, loop_), queued + kAnswerDeadline);
    // The server has taken everything; the sink still plays what it holds.
    if (StreamFailed()) return;
    rest = std::chrono::microseconds(Queued() * PA_USEC_PER_SEC / format_.rate);
  }
  std::this_thread::sleep_for(rest);
  TLocked lock(loop_);
  written_ = 0;
  Anchor(0);
}

void TPulseOutput::Flush() {
  TLocked lock(loop_);
  interrupted_ = false;
  if (StreamFailed()) return;
  Clock::duration heardIn{};
  if (FadeOut(heardIn) >= 0) Linger(heardIn);
  history_.clear();
  // The old stream's sound goes too, and the new one plays what comes next at once.
  EndJoin(false);
  Await(pa_stream_flush(stream_, Done, loop_), kAnswerDeadline);
  Await(pa_stream_update_timing_info(stream_, Done, loop_), kAnswerDeadline);
  written_ = 0;
  Anchor(ServerDelay());
}

void TPulseOutput::Pause() {
  TLocked lock(loop_);
  if (StreamFailed() || paused_) return;
  Clock::duration heardIn{};
  const int64_t rest = FadeOut(heardIn);
  if (rest >= 0) Linger(heardIn);
  // While formats join, the new stream is still corked: the old one stops.
  Await(pa_stream_cork(ending_ != nullptr ? ending_ : stream_, 1, Done, loop_), kAnswerDeadline);
  if (rest >= 0 && !StreamFailed()) {
    // Silence follows the fade: the sound after it is queued again, fading in, for Resume.
    Await(pa_stream_flush(stream_, Done, loop_), kAnswerDeadline);
    const size_t channels = format_.channels;
    std::vector<int16_t> tail(history_.begin() + static_cast<std::ptrdiff_t>(rest * channels),
                              history_.end());
    Ramp(tail, false);
    written_ = tail.size() * sizeof(int16_t);
    if (StreamFailed() ||
        pa_stream_write(stream_, tail.data(), written_, nullptr, 0, PA_SEEK_RELATIVE) < 0)
      written_ = 0;
    Await(pa_stream_update_timing_info(stream_, Done, loop_), kAnswerDeadline);
  }
  const int64_t queued =
      rest >= 0 ? static_cast<int64_t>(written_ / (format_.channels * 2)) : Queued();
  paused_ = true;
  Anchor(queued);
}

void TPulseOutput::Resume() {
  TLocked lock(loop_);
  if (StreamFailed() || !paused_) return;
  Await(pa_stream_cork(ending_ != nullptr ? ending_ : stream_, 0, Done, loop_), kAnswerDeadline);
  // What was queued again after a fade may be less than the server waits for before playing.
  if (ending_ == nullptr)
    if (pa_operation* go = pa_stream_trigger(stream_, nullptr, nullptr)) pa_operation_unref(go);
  paused_ = false;
  anchored_.Run();
}

void TPulseOutput::Keep(const int16_t* samples, size_t count) {
  history_.insert(history_.end(), samples, samples + count);
  const size_t kept = static_cast<size_t>(Frames(kKept)) * format_.channels;
  if (history_.size() > 2 * kept)
    history_.erase(history_.begin(), history_.end() - static_cast<std::ptrdiff_t>(kept));
}

int64_t TPulseOutput::Frames(milliseconds span) const {
  return int64_t{format_.rate} * span.count() / 1000;
}

void TPulseOutput::Ramp(std::vector<int16_t>& samples, bool down) const {
  const int64_t channels = format_.channels;
  const int64_t fade =
      std::min<int64_t>(Frames(kFade), static_cast<int64_t>(samples.size()) / channels);
  for (int64_t i = 0; i < fade; ++i) {
    const float step = static_cast<float>(i + 1) / static_cast<float>(fade);
    const float gain = down ? 1.0f - step : step;
    for (int64_t c = 0; c < channels; ++c) {
      int16_t& sample = samples[static_cast<size_t>(i * channels + c)];
      sample = static_cast<int16_t>(std::lround(sample * gain));
    }
  }
}

int64_t TPulseOutput::FadeOut(Clock::duration& heardIn) {
  if (ending_ != nullptr || paused_ || history_.empty()) return -1;
  Await(pa_stream_update_timing_info(stream_, Done, loop_), kAnswerDeadline);
  if (StreamFailed()) return -1;
  const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
  if (timing == nullptr || timing->read_index_corrupt || timing->write_index_corrupt) return -1;
  const int64_t channels = format_.channels;
  const int64_t frameBytes = channels * static_cast<int64_t>(sizeof(int16_t));
  const int64_t age =
      timing->playing ? static_cast<int64_t>(pa_timeval_age(&timing->timestamp)) : 0;
  const int64_t read =
      timing->read_index / frameBytes + age * format_.rate / static_cast<int64_t>(PA_USEC_PER_SEC);
  const int64_t end = timing->write_index / frameBytes;
  const int64_t kept = static_cast<int64_t>(history_.size()) / channels;
  const int64_t from = std::max(read + Frames(kRewriteAhead), end - kept);
  const int64_t fade = Frames(kFade);
  if (from + fade > end) return -1;
  const int64_t first = kept - (end - from);
  std::vector<int16_t> tail(static_cast<size_t>((end - from) * channels), 0);
  std::copy_n(history_.begin() + static_cast<std::ptrdiff_t>(first * channels), fade * channels,
              tail.begin());
  Ramp(tail, true);
  std::fill(tail.begin() + static_cast<std::ptrdiff_t>(fade * channels), tail.end(), int16_t{0});
  if (pa_stream_write(stream_, tail.data(), tail.size() * sizeof(int16_t), nullptr,
                      from * frameBytes, PA_SEEK_ABSOLUTE) < 0)
    return -1;
  heardIn = std::chrono::microseconds((from + fade - read) * static_cast<int64_t>(PA_USEC_PER_SEC) /
                                          format_.rate +
                                      static_cast<int64_t>(timing->sink_usec));
  return first + fade;
}

void TPulseOutput::Linger(Clock::duration span) {
  pa_threaded_mainloop_unlock(loop_);
  std::this_thread::sleep_for(std::min<Clock::duration>(span, kServerBuffer));
  pa_threaded_mainloop_lock(loop_);
}

int64_t TPulseOutput::LatencyUs(pa_stream* stream) const {
  pa_usec_t latency = 0;
  int negative = 0;
  if (pa_stream_get_latency(stream, &latency, &negative) != 0) return -1;
  return negative ? 0 : static_cast<int64_t>(latency);
}

int64_t TPulseOutput::ServerDelay() const {
  // Sound of the format before, still to be heard, goes first.
  const int64_t before = ending_ != nullptr ? std::max<int64_t>(0, LatencyUs(ending_)) : 0;
  const int64_t own = LatencyUs(stream_);
  // No timing report yet: nothing written has been played.
  const auto frames = own >= 0 ? own * format_.rate / static_cast<int64_t>(PA_USEC_PER_SEC)
                               : static_cast<int64_t>(written_ / (format_.channels * 2));
  return frames + before * format_.rate / static_cast<int64_t>(PA_USEC_PER_SEC);
}

void TPulseOutput::Anchor(int64_t frames) {
  anchored_.Set(frames);
  if (paused_)
    anchored_.Hold();
  else
    anchored_.Run();
}

int64_t TPulseOutput::Queued() const {
  if (paused_) return anchored_.Left();
  return std::min(ServerDelay(), anchored_.Left());
}

int TPulseOutput::Delay() const {
  TLocked lock(loop_);
  if (StreamFailed() || format_.channels == 0) return 0;
  return static_cast<int>(Queued());
}

}  // namespace xaudio
