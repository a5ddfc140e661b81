// The count of queued sound the sinks share, on a clock the test moves by hand.
#include "Countdown.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using xaudio::TCountdown;

namespace {

TCountdown::Clock::time_point now{1h};
TCountdown::Clock::time_point FakeNow() { return now; }

TCountdown Made() {
  TCountdown count(FakeNow);
  count.SetRate(1000);  // a frame a millisecond
  return count;
}

TEST(Countdown, CountsDownOnlyWhileRunningAndTellsHowLongItRanOut) {
  TCountdown count = Made();
  count.Set(100);
  now += 40ms;
  EXPECT_EQ(count.Left(), 100) << "a device not yet started plays nothing";
  EXPECT_EQ(count.Overrun(), 0);
  count.Run();
  now += 30ms;
  EXPECT_EQ(count.Left(), 70);
  EXPECT_EQ(count.Until(50), 20ms);
  EXPECT_EQ(count.Until(80), 0ms);
  count.Hold();
  now += 500ms;
  EXPECT_EQ(count.Left(), 70) << "paused";
  EXPECT_EQ(count.Until(0), 70ms) << "held: as long as running would take";
  count.Run();
  now += 100ms;
  EXPECT_EQ(count.Left(), 0);
  EXPECT_EQ(count.Overrun(), 30);
  // Sound queued after running dry starts from now, not from where the count ran out.
  count.Add(10);
  EXPECT_EQ(count.Left(), 10);
  EXPECT_EQ(count.Overrun(), 0);
}

TEST(Countdown, ManySmallWritesKeepTime) {
  TCountdown count(FakeNow);
  count.SetRate(44100);
  count.Run();
  // Counting in whole frames would round each write down and lose frames by the thousand.
  for (int i = 0; i < 10000; ++i) count.Add(3);
  EXPECT_NEAR(static_cast<double>(count.Left()), 30000.0, 1.0);
  count.Set(-5);
  EXPECT_EQ(count.Left(), 0);
}

}  // namespace
