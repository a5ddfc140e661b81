// TShuffleRandom: the random numbers of the shuffle modes, a 32-bit linear congruential
// generator reseeded from the clock before every shuffle. Its sequence is part of how the
// shuffled order comes out, so it is kept exactly rather than taken from <random>.
#pragma once

#include <cstdint>
#include <functional>

class TShuffleRandom {
 public:
  // Milliseconds since midnight (UTC) of the system clock; tests replace it.
  std::function<uint32_t()> Clock = MillisecondsSinceMidnight;
  uint32_t Seed = 0;

  void Randomize() { Seed = Clock(); }
  // A uniform integer in 0..range-1: the high half of the 64-bit product of the next seed
  // and range (0 when range is 0).
  uint32_t Random(uint32_t range);

  static uint32_t MillisecondsSinceMidnight();
};
