#include "RingBuffer.h"

#include <algorithm>

namespace xaudio {

TRingBuffer::TRingBuffer(int blocks, int framesPerBlock)
    : blocks_(static_cast<size_t>(blocks)),
      framesPerBlock_(framesPerBlock),
      batch_(std::max<size_t>(1, blocks_.size() / 2)) {
  for (auto& b : blocks_) b.samples.resize(static_cast<size_t>(framesPerBlock) * 2);
}

TAudioBlock* TRingBuffer::BeginWrite() {
  std::unique_lock lock(mutex_);
  writable_.wait(lock, [this] { return count_ < blocks_.size() || wakeWriter_; });
  wakeWriter_ = false;
  if (count_ == blocks_.size()) return nullptr;
  // The writer owns this block until EndWrite: the reader never looks past count_.
  return &blocks_[(head_ + count_) % blocks_.size()];
}

void TRingBuffer::EndWrite() {
  bool wake;
  {
    std::lock_guard lock(mutex_);
    ++count_;
    wake = readerWants_ > 0 && ReaderReady();
  }
  if (wake) readable_.notify_one();
}

void TRingBuffer::WakeWriter() {
  {
    std::lock_guard lock(mutex_);
    wakeWriter_ = true;
  }
  writable_.notify_one();
}

TAudioBlock* TRingBuffer::BeginRead(std::chrono::milliseconds timeout,
                                    std::chrono::milliseconds patience) {
  std::unique_lock lock(mutex_);
  if (count_ == 0) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    const auto ready = [this] { return ReaderReady() || wakeReader_; };
    readerWants_ = batch_;
    readable_.wait_until(lock, std::chrono::steady_clock::now() + std::min(patience, timeout),
                         ready);
    readerWants_ = 1;
    readable_.wait_until(lock, until, ready);
    readerWants_ = 0;
  }
  wakeReader_ = false;
  return count_ > 0 ? &blocks_[head_] : nullptr;
}

bool TRingBuffer::ReaderReady() const {
  // An input's end is not held back: nothing of it may follow for a while.
  return count_ >= readerWants_ ||
         (count_ > 0 && blocks_[(head_ + count_ - 1) % blocks_.size()].last);
}

int64_t TRingBuffer::FramesToEnd() {
  std::lock_guard lock(mutex_);
  if (count_ == 0) return -1;
  const TAudioBlock& read = blocks_[head_];
  int64_t frames = 0;
  for (size_t i = 0; i < count_; ++i) {
    const TAudioBlock& block = blocks_[(head_ + i) % blocks_.size()];
    if (block.epoch != read.epoch || block.input != read.input) return -1;
    if (i > 0) frames += block.frames;
    if (block.last) return frames;
  }
  return -1;
}

void TRingBuffer::EndRead() {
  bool wake;
  {
    std::lock_guard lock(mutex_);
    head_ = (head_ + 1) % blocks_.size();
    --count_;
    wake = count_ + batch_ <= blocks_.size();
  }
  if (wake) writable_.notify_one();
}

void TRingBuffer::WakeReader() {
  {
    std::lock_guard lock(mutex_);
    wakeReader_ = true;
  }
  readable_.notify_one();
}

}  // namespace xaudio
