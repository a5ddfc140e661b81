// The heard time and position as a device plays out what was written: one timecode a step
// of the granularity, the end always, and nothing for an input no longer the one opened.
#include <gtest/gtest.h>

#include <vector>

#include "HeardReport.h"

using xaudio::THeardReport;

namespace {

constexpr int kRate = 44100;

struct TReports {
  std::vector<int> timecodes;  // hundredths
  std::vector<int> positions;
};

TReports Taken(xaudio::TNotificationQueue& notices) {
  TReports r;
  XA_Message m;
  while (notices.Take(&m)) {
    const auto& t = m.data.input_timecode;
    if (m.code == XA_MSG_NOTIFY_INPUT_TIMECODE)
      r.timecodes.push_back(((t.h * 60 + t.m) * 60 + t.s) * 100 + t.f);
    if (m.code == XA_MSG_NOTIFY_INPUT_POSITION)
      r.positions.push_back(static_cast<int>(m.data.input_position.offset));
  }
  return r;
}

xaudio::TAudioBlock Song(uint64_t input, int hundredths) {
  xaudio::TAudioBlock block;
  block.format = {kRate, 2};
  block.epoch = 1;
  block.input = input;
  block.frames = hundredths * kRate / 100;
  block.inputFrames = block.frames;
  return block;
}

TEST(HeardReport, OneTimecodeAStepAsTheDevicePlaysOutAndTheEndAlways) {
  for (const int granularity : {100, 10}) {
    SCOPED_TRACE(granularity);
    xaudio::TNotificationQueue notices;
    THeardReport report(notices);
    const auto song = Song(1, 255);
    report.Written(song);
    // The device plays the song out in 20 ms steps, as the output thread looks.
    for (int held = song.frames; held >= 0; held -= kRate / 50)
      report.Report(held, true, {1, 1, 400, granularity});
    report.Report(0, true, {1, 1, 400, granularity});
    const TReports r = Taken(notices);
    ASSERT_FALSE(r.timecodes.empty());
    EXPECT_EQ(r.timecodes.front(), 0);
    EXPECT_EQ(r.timecodes.back(), 255) << "the very end";
    EXPECT_EQ(r.timecodes.size(), static_cast<size_t>(255 / granularity + 2));
    for (size_t i = 1; i + 1 < r.timecodes.size(); ++i)
      EXPECT_EQ(r.timecodes[i] / granularity, static_cast<int>(i)) << "one for each step";
    ASSERT_FALSE(r.positions.empty());
    EXPECT_EQ(r.positions.back(), 400);
    for (size_t i = 1; i < r.positions.size(); ++i) EXPECT_GT(r.positions[i], r.positions[i - 1]);
  }
}

TEST(HeardReport, OnlyTheInputOpenedLastIsReportedAndAnUnpacedSinkIsThinnedOut) {
  xaudio::TNotificationQueue notices;
  THeardReport report(notices);
  report.Written(Song(1, 200));
  report.Report(kRate, true, {1, 2, 400, 10});
  report.Report(kRate, true, {2, 1, 400, 10});
  EXPECT_TRUE(Taken(notices).timecodes.empty()) << "a new input or a drop silences the old";

  // A sink that takes sound at once reports what it can be followed at, and the end.
  for (int held = 2 * kRate; held >= 0; held -= kRate / 100)
    report.Report(held, false, {1, 1, 400, 10});
  const TReports r = Taken(notices);
  EXPECT_LT(r.timecodes.size(), 5u);
  EXPECT_EQ(r.timecodes.back(), 200);
}

}  // namespace
