// A bounded ring of sound blocks between the decoding thread (the only writer) and the
// output thread (the only reader). The blocks are allocated once and reused. Each side is
// woken in batches (half a ring at a time), so the two threads do not hand every block over
// with a pair of context switches. A reader that cannot wait (a device about to run dry, a
// start, a join of songs) takes the first block that comes, and an input's last block is
// handed over at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "Output.h"

namespace xaudio {

struct TAudioBlock {
  std::vector<float> samples;  // capacity frames x 2 channels
  int frames = 0;
  TAudioFormat format;
  uint64_t epoch = 0;       // blocks of an older epoch are dropped unheard
  uint64_t input = 0;       // which opened input the sound belongs to
  int64_t firstFrame = 0;   // position of the block's first frame in its input
  int64_t inputFrames = 0;  // length of that input in frames (0 when unknown)
  bool last = false;        // the input's end: no sound of it follows (may hold no frames)
};

class TRingBuffer {
 public:
  TRingBuffer(int blocks, int framesPerBlock);

  int FramesPerBlock() const { return framesPerBlock_; }

  // Writer. A free block, or null when none frees up before WakeWriter() is called.
  TAudioBlock* BeginWrite();
  void EndWrite();
  void WakeWriter();

  // Reader. The oldest filled block, or null after `timeout` or a WakeReader() call. An
  // empty ring is given up to `patience` (at most `timeout`) to fill a batch first.
  TAudioBlock* BeginRead(std::chrono::milliseconds timeout, std::chrono::milliseconds patience);
  // Reader, between BeginRead and EndRead: the frames queued after the block being read up
  // to the end of its input, when that end is queued too (-1 otherwise).
  int64_t FramesToEnd();
  void EndRead();
  void WakeReader();

 private:
  // Under mutex_: what is queued is enough for the waiting reader.
  bool ReaderReady() const;

  std::mutex mutex_;
  std::condition_variable writable_;
  std::condition_variable readable_;
  std::vector<TAudioBlock> blocks_;
  int framesPerBlock_;
  size_t head_ = 0;  // next block to read
  size_t count_ = 0;
  size_t batch_;
  // The blocks a waiting reader is to be woken for (0: it is not waiting).
  size_t readerWants_ = 0;
  bool wakeWriter_ = false;
  bool wakeReader_ = false;
};

}  // namespace xaudio
