#include "ShuffleRandom.h"

#include <chrono>

uint32_t TShuffleRandom::Random(uint32_t range) {
  Seed = Seed * 134775813u + 1u;
  return uint32_t((uint64_t(Seed) * range) >> 32);
}

uint32_t TShuffleRandom::MillisecondsSinceMidnight() {
  using namespace std::chrono;
  const auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
  return uint32_t(now.count() % duration_cast<milliseconds>(days(1)).count());
}
