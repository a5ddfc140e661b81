// The band slider: range and position rules, the range error, the fill and the mouse events.
#include "ExtProgressBar.h"

#include <gtest/gtest.h>

#include <QTest>
#include <stdexcept>

#include "Pixels.h"

namespace {

TEST(ExtProgressBarTest, RangeAndPositionRules) {
  TExtProgressBar bar;
  bar.SetPosition(150);
  EXPECT_EQ(bar.Position(), 100);
  bar.SetPosition(-5);
  EXPECT_EQ(bar.Position(), 0);
  // A new minimum below the old one takes the position with it.
  bar.SetPosition(50);
  bar.SetMin(-40);
  EXPECT_EQ(bar.Position(), -40);
  bar.SetMax(40);
  bar.SetPosition(30);
  bar.SetMax(20);
  EXPECT_EQ(bar.Position(), 20);
  bar.SetRange(25, 60);
  EXPECT_EQ(bar.Position(), 25);
  try {
    bar.SetMax(10);
    FAIL() << "a maximum below the minimum must be refused";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "TExtProgressBar property out of range");
  }
  EXPECT_THROW(bar.SetRange(5, 4), std::out_of_range);
  EXPECT_EQ(bar.Min(), 25);
  EXPECT_EQ(bar.Max(), 60);
}

TEST(ExtProgressBarTest, FillsFromTheBottomOrFromTheLeft) {
  TExtProgressBar band;
  band.resize(10, 84);
  band.SetRange(-40, 40);
  band.SetOrientation(pbVertical);
  band.SetSmooth(true);
  band.SetColor(Qt::lightGray);
  band.SetSelectionColor(Qt::darkGray);
  for (auto [position, rows] : {std::pair{0, 42}, {40, 84}, {-40, 0}, {-20, 21}}) {
    band.SetPosition(position);
    const QImage now = band.grab().toImage();
    EXPECT_EQ(CountColour(now, Qt::darkGray), 10 * rows) << position;
    EXPECT_EQ(CountColour(now.copy(0, 84 - rows, 10, rows), Qt::darkGray), 10 * rows) << position;
  }

  // Blocks are 8 pixels with 2-pixel gaps up to the filled length.
  TExtProgressBar bar;
  bar.resize(100, 12);
  bar.SetColor(Qt::white);
  bar.SetSelectionColor(Qt::blue);
  bar.SetPosition(25);
  const QImage img = bar.grab().toImage();
  EXPECT_EQ(img.pixelColor(0, 6), QColor(Qt::blue));
  EXPECT_EQ(img.pixelColor(8, 6), QColor(Qt::white));
  EXPECT_EQ(img.pixelColor(10, 6), QColor(Qt::blue));
  EXPECT_EQ(CountColour(img.copy(25, 0, 75, 12), Qt::white), 75 * 12);
  bar.SetSmooth(true);
  EXPECT_EQ(CountColour(bar.grab().toImage().copy(0, 0, 25, 12), Qt::blue), 25 * 12);
}

TEST(ExtProgressBarTest, MouseEventsGoToTheOwner) {
  TExtProgressBar bar;
  bar.resize(10, 84);
  std::vector<std::string> got;
  auto log = [&](const char* what, int buttons, int x, int y) {
    got.push_back(std::string(what) + " " + std::to_string(buttons) + " " + std::to_string(x) +
                  "," + std::to_string(y));
  };
  bar.OnMouseDown = [&](QObject*, TMouseButton b, TShiftState, int x, int y) {
    log("down", b, x, y);
  };
  bar.OnMouseMove = [&](QObject*, TShiftState s, int x, int y) { log("move", s & ssLeft, x, y); };
  bar.OnMouseUp = [&](QObject*, TMouseButton b, TShiftState, int x, int y) { log("up", b, x, y); };
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(5, 40));
  QTest::mouseMove(&bar, QPoint(5, 90));
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(5, 90));
  QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(3, 10));
  const std::vector<std::string> want = {"down 0 5,40", "move 8 5,90", "up 0 5,90", "down 1 3,10",
                                         "up 1 3,10"};
  EXPECT_EQ(got, want);
}

}  // namespace
