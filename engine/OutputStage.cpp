#include "OutputStage.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "NullOutput.h"
#include "ThreadPriority.h"

namespace xaudio {

namespace {

using std::chrono::milliseconds;

// While the device still holds sound the heard position moves without new blocks.
constexpr milliseconds kBusyWait{20};
constexpr milliseconds kIdleWait{250};
// The end of an input is announced when this much of it remains to be heard, whatever the
// device holds: the next input follows in that time without a gap, and a window that shows
// the next song at once is no further ahead of the ear than this.
constexpr milliseconds kEndLead{90};
// The most inputs whose names are kept for their heard announcement.
constexpr size_t kNamesKept = 4;
// Sound goes to the device in slices this long at most: a write waits about as long as its
// slice lasts, and a drop takes effect between slices. Blocks are no longer than this, so
// a block is one write (smaller slices cost the sound server's client a wake-up each).
constexpr milliseconds kWriteSlice{50};
// A change of volume is spread over this long: a step would click, a longer ramp lags.
constexpr milliseconds kGainRamp{5};
// While a stand-in plays for a sound device or server, it is looked for again this often.
constexpr milliseconds kRetryGap{2000};

// A sound device or server may come back; a null sink or a file that cannot be written
// will not.
bool MayComeBack(const std::string& setting) {
  return setting != XA_OUTPUT_NULL && setting != XA_OUTPUT_NULL_FAST &&
         !setting.starts_with(XA_OUTPUT_WAV_PREFIX);
}

}  // namespace

TOutputStage::TOutputStage(TRingBuffer& ring, TNotificationQueue& notices)
    : ring_(ring), notices_(notices), heard_(notices) {}

TOutputStage::~TOutputStage() { Finish(false); }

void TOutputStage::SetPriority(int level) {
  priority_ = level;
  ApplyThreadPriority(tid_, level);
  announcer_.SetPriority(level);
}

void TOutputStage::Start() {
  announcer_.Start();
  thread_ = std::thread([this] { Run(); });
}

template <typename F>
void TOutputStage::Change(F&& change) {
  {
    std::lock_guard lock(mutex_);
    change(shared_);
    ++shared_.version;
  }
  changed_.notify_all();
  ring_.WakeReader();
}

void TOutputStage::SelectOutput(const std::string& setting) {
  Change([&](TShared& s) {
    s.setting = setting.empty() ? XA_OUTPUT_DEFAULT : setting;
    ++s.settingVersion;
  });
}

std::string TOutputStage::OutputName() {
  std::lock_guard lock(mutex_);
  return activeName_.empty() ? shared_.setting : activeName_;
}

bool TOutputStage::Reopen(std::string& error) {
  std::string setting;
  uint64_t version = 0;
  {
    std::lock_guard lock(mutex_);
    setting = shared_.setting;
    version = shared_.settingVersion;
  }
  // An output the user named is tried before the first "Playing" too; the default one
  // falls back to silence in time by design, and finds the server when it comes.
  const bool untried = setting != XA_OUTPUT_DEFAULT && triedSetting_ != version;
  if (!failed_ && !untried) return true;
  auto output = TOutput::Open(setting, error, &cancel_);
  if (output->StandsIn() || !error.empty()) {
    // A closing player plays nothing either way.
    if (cancel_) return true;
    if (error.empty())
      error = "cannot open audio output " + setting + ": no sound server or device";
    return false;
  }
  std::lock_guard lock(mutex_);
  handed_ = std::move(output);
  handedSetting_ = version;
  triedSetting_ = version;
  failed_ = false;
  return true;
}

void TOutputStage::SetEpoch(uint64_t epoch) {
  // Under the lock, so the output thread's flush for the new epoch comes after it.
  Change([&](TShared& s) {
    s.epoch = epoch;
    if (output_) output_->Interrupt();
  });
}

void TOutputStage::Cancel() {
  cancel_ = true;
  std::lock_guard lock(mutex_);
  if (output_) output_->Interrupt();
}

void TOutputStage::SetPaused(bool paused) {
  Change([&](TShared& s) { s.paused = paused; });
}

void TOutputStage::SetGains(TChannelGains gains) {
  Change([&](TShared& s) { s.gains = gains; });
}

void TOutputStage::SetMuted(bool muted) {
  Change([&](TShared& s) { s.muted = muted; });
}

void TOutputStage::Report(uint64_t input, int range, int granularity) {
  std::lock_guard lock(mutex_);
  shared_.input = input;
  shared_.range = range;
  shared_.granularity = granularity;
}

void TOutputStage::Name(uint64_t input, const std::string& name) {
  std::lock_guard lock(mutex_);
  shared_.names.emplace_back(input, name);
  if (shared_.names.size() > kNamesKept) shared_.names.pop_front();
}

void TOutputStage::Finish(bool playOut) {
  if (!playOut) Cancel();
  Change([&](TShared& s) {
    s.finish = true;
    s.playOut = playOut;
  });
  if (thread_.joinable()) thread_.join();
  announcer_.Stop();
}

TOutputStage::TShared TOutputStage::Snapshot() {
  std::lock_guard lock(mutex_);
  return shared_;
}

void TOutputStage::Run() {
  // The output keeps the device fed: it runs at the player's priority as decoding does.
  tid_ = static_cast<pid_t>(syscall(SYS_gettid));
  ApplyThreadPriority(tid_, priority_);
  for (;;) {
    TShared now = Snapshot();
    if (now.finish && !now.playOut) break;
    if (now.paused) {
      WaitWhilePaused(now);
      continue;
    }
    // Dropped sound goes before the device resumes, so none of it is heard.
    SyncEpoch(now.epoch);
    if (outputPaused_) {
      output_->Resume();
      announcer_.Resume();
      outputPaused_ = false;
    }
    // Told to finish, nothing more is coming: what the ring holds is all there is.
    const bool busy = DeviceDelay() > 0;
    const milliseconds wait = now.finish ? milliseconds(0) : busy ? kBusyWait : kIdleWait;
    TAudioBlock* block = ring_.BeginRead(wait, Patience());
    if (block == nullptr) {
      if (now.finish) break;
      ReportHeard();
      continue;
    }
    now = Snapshot();
    if (block->epoch < now.epoch) {
      ring_.EndRead();
      continue;
    }
    // Paused or told to stop meanwhile: leave the block where it is.
    if (now.paused || (now.finish && !now.playOut)) continue;
    SyncEpoch(now.epoch);
    WriteBlock(*block, now, ring_.FramesToEnd());
    ring_.EndRead();
  }
  if (output_ && Snapshot().playOut) {
    output_->Drain();
    ReportHeard();
  }
  UseOutput(nullptr);
  tid_ = 0;
}

void TOutputStage::WaitWhilePaused(const TShared& now) {
  if (output_ && !outputPaused_) {
    output_->Pause();
    announcer_.Hold();
    outputPaused_ = true;
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return shared_.version != now.version; });
}

void TOutputStage::SyncEpoch(uint64_t epoch) {
  if (epoch == epoch_) return;
  epoch_ = epoch;
  // The dropped sound is never heard: neither its start nor its end is told.
  announcer_.Drop();
  heardScheduled_ = 0;
  if (output_) output_->Flush();
}

void TOutputStage::UseOutput(std::unique_ptr<TOutput> output) {
  started_ = {};
  outputPaused_ = false;
  retryAt_ = std::chrono::steady_clock::now() + kRetryGap;
  {
    // Swapped under the lock, where other threads interrupt it; the old one closes outside.
    std::lock_guard lock(mutex_);
    output_.swap(output);
    if (output_) activeName_ = output_->Name();
  }
  output.reset();
}

void TOutputStage::OutputFailed(const std::string& error, const TShared& now) {
  // A closing player's waits are cut short: that is no failure.
  if (cancel_) return;
  if (!failed_.exchange(true))
    notices_.Post(TNotice::Error(XA_SOURCE_OUTPUT, XA_ERROR_OUTPUT, error));
  UseOutput(std::make_unique<TNullOutput>(true, MayComeBack(now.setting)));
}

void TOutputStage::Retry(const TShared& now) {
  // The default device is looked for at the sound server only: a server that starts after
  // the player is what comes late (the login race), and asking the device drivers every few
  // seconds costs more and fills the terminal with their complaints.
  const bool anyDevice = now.setting == XA_OUTPUT_DEFAULT;
  std::string error;
  auto output = TOutput::Open(anyDevice ? "pulse" : now.setting, error, &cancel_);
  if (output->StandsIn()) {
    retryAt_ = std::chrono::steady_clock::now() + kRetryGap;
    return;
  }
  UseOutput(std::move(output));
  failed_ = false;
}

void TOutputStage::StartFormat(const TAudioFormat& format, const TShared& now) {
  if (started_ == format) return;
  std::string error;
  if (!output_->Start(format, error)) {
    // The sound device chosen by default may be missing: play on silently in time.
    if (now.setting == XA_OUTPUT_DEFAULT)
      UseOutput(std::make_unique<TNullOutput>(true, true));
    else
      OutputFailed(error, now);
    output_->Start(format, error);
  }
  started_ = format;
}

void TOutputStage::PrepareOutput(const TAudioFormat& format, const TShared& now) {
  std::unique_ptr<TOutput> handed;
  {
    std::lock_guard lock(mutex_);
    if (handed_ && handedSetting_ == now.settingVersion) handed = std::move(handed_);
    handed_.reset();
  }
  if (handed) {
    UseOutput(std::move(handed));
    openedSetting_ = now.settingVersion;
  } else if (!output_ || openedSetting_ != now.settingVersion) {
    UseOutput(nullptr);
    failed_ = false;
    std::string error;
    auto output = TOutput::Open(now.setting, error, &cancel_);
    UseOutput(std::move(output));
    if (!error.empty()) OutputFailed(error, now);
    openedSetting_ = now.settingVersion;
    triedSetting_ = now.settingVersion;
  } else if (output_->StandsIn() && std::chrono::steady_clock::now() >= retryAt_) {
    Retry(now);
  }
  StartFormat(format, now);
}

bool TOutputStage::WriteFrames(const TAudioBlock& block, const TShared& now) {
  const int frames = block.frames;
  const int slice =
      std::max(1, static_cast<int>(int64_t{block.format.rate} * kWriteSlice.count() / 1000));
  for (int done = 0; done < frames; done += slice) {
    if (Dropped(block.epoch)) return false;
    const int count = std::min(slice, frames - done);
    const float* samples = block.samples.data() + static_cast<size_t>(done) * block.format.channels;
    std::string error;
    if (!output_->Write(samples, count, error)) {
      if (cancel_) return false;
      OutputFailed(error, now);
      StartFormat(block.format, now);
      output_->Write(samples, count, error);
    }
  }
  return true;
}

bool TOutputStage::Dropped(uint64_t epoch) {
  std::lock_guard lock(mutex_);
  return epoch < shared_.epoch;
}

void TOutputStage::WriteBlock(TAudioBlock& block, const TShared& now, int64_t toEnd) {
  // The device plays stereo whatever the song: a mono song that follows a stereo one (or
  // the other way round) joins it without the device being drained and reopened.
  if (block.format.channels == 1) {
    MonoToStereo(block.samples.data(), static_cast<size_t>(block.frames));
    block.format.channels = 2;
  }
  if (block.frames > 0) {
    PrepareOutput(block.format, now);
    const TChannelGains gains = now.muted ? TChannelGains{0.0f, 0.0f} : now.gains;
    // A device that plays nothing yet starts at the setting; one that plays moves to it.
    if (DeviceDelay() > 0)
      gains_.Set(gains, static_cast<int>(int64_t{block.format.rate} * kGainRamp.count() / 1000));
    else
      gains_.Jump(gains);
    gains_.Apply(block.samples.data(), static_cast<size_t>(block.frames), block.format.channels);
  }
  if (toEnd >= 0 && (block.epoch != endEpoch_ || block.input != endInput_))
    AnnounceEnd(block, block.frames + toEnd);
  if (!WriteFrames(block, now)) return;
  if (block.frames == 0) return;
  // Told after the block is written, when the device's own report includes it: a stream
  // that has just started knows its latency only then.
  if (block.input != heardScheduled_ && block.input != heardInput_) {
    heardScheduled_ = block.input;
    AnnounceHeard(block, HeardAt(block, -block.frames));
  }
  heard_.Written(block);
  ReportHeard();
}

int TOutputStage::DeviceDelay() const { return output_ ? output_->Delay() : 0; }

milliseconds TOutputStage::Patience() const {
  // A sink that takes sound at once never runs dry: it waits for a batch of blocks. A device
  // that found the ring empty is starting or joining songs, and takes the first block.
  return output_ && !output_->Paced() ? kIdleWait : milliseconds(0);
}

TAnnouncer::Clock::time_point TOutputStage::HeardAt(const TAudioBlock& block, int64_t frames) {
  const int rate = block.format.rate > 0 ? block.format.rate : 44100;
  const int64_t ahead = std::max<int64_t>(0, DeviceDelay() + frames);
  return TAnnouncer::Clock::now() + std::chrono::microseconds(ahead * 1000000 / rate);
}

void TOutputStage::AnnounceEnd(const TAudioBlock& block, int64_t frames) {
  endEpoch_ = block.epoch;
  endInput_ = block.input;
  // Told as soon as the end is in the ring, before the blocks up to it are written: a
  // device that holds less than the lead would leave too little time to feed the next input.
  const int64_t lead = int64_t{block.format.rate} * kEndLead.count() / 1000;
  announcer_.At(HeardAt(block, frames - lead), [this, epoch = block.epoch, input = block.input] {
    if (OnInputEnd) OnInputEnd(epoch, input);
  });
}

void TOutputStage::AnnounceHeard(const TAudioBlock& block, TAnnouncer::Clock::time_point at) {
  std::string name;
  {
    std::lock_guard lock(mutex_);
    for (const auto& [input, named] : shared_.names)
      if (input == block.input) name = named;
  }
  announcer_.At(at, [this, epoch = block.epoch, input = block.input, name] {
    // Under the lock, so a drop cannot slip between the check and the post.
    std::lock_guard lock(mutex_);
    if (epoch != shared_.epoch) return;
    heardInput_ = input;
    TNotice heard = TNotice::Text(XA_MSG_NOTIFY_PROGRESS, name);
    heard.message.data.progress.source = XA_SOURCE_OUTPUT;
    heard.message.data.progress.code = XA_PROGRESS_INPUT_HEARD;
    notices_.Post(std::move(heard));
  });
}

void TOutputStage::ReportHeard() {
  const int delay = DeviceDelay();
  const bool paced = !output_ || output_->Paced();
  // Under the lock, so a Stop or a new input cannot slip between the check and the post.
  std::lock_guard lock(mutex_);
  heard_.Report(delay, paced, {shared_.epoch, shared_.input, shared_.range, shared_.granularity});
}

}  // namespace xaudio
