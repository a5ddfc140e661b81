#include "GradProgress.h"

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QTest>
#include <QWidget>

#include "ColorValue.h"
#include "MulDiv.h"

namespace {

const QColor kGrey(128, 128, 128);
const QColor kWhite(255, 255, 255);

// The position bar of the play page.
struct PosBarFixture : ::testing::Test {
  TGradProgress bar;
  void SetUp() override {
    bar.resize(146, 10);
    bar.SetShowPercent(false);
    bar.SetMaxValue(400);
    bar.SetStartColor(RGBColor(0, 0, 160));
    bar.SetEndColor(RGBColor(192, 192, 192));
    bar.SetBackColor(RGBColor(0, 78, 195));
  }
  QImage Shot() { return bar.grab().toImage(); }
};

QColor At(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

void ExpectNear(const QColor& actual, int r, int g, int b, int tolerance) {
  EXPECT_NEAR(actual.red(), r, tolerance);
  EXPECT_NEAR(actual.green(), g, tolerance);
  EXPECT_NEAR(actual.blue(), b, tolerance);
}

class PaintCounter : public TGradProgress {
 public:
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent* e) override {
    ++paints;
    TGradProgress::paintEvent(e);
  }
};

}  // namespace

TEST(MulDivTest, RoundsHalvesAwayFromZeroAndFlagsBadDivisors) {
  EXPECT_EQ(MulDiv(200, 146, 400), 73);
  EXPECT_EQ(MulDiv(1, 3, 2), 2);    // 1.5
  EXPECT_EQ(MulDiv(-1, 3, 2), -2);  // -1.5
  EXPECT_EQ(MulDiv(1, 3, -2), -2);
  EXPECT_EQ(MulDiv(5, 1, 3), 2);  // 1.67
  EXPECT_EQ(MulDiv(4, 1, 3), 1);  // 1.33
  EXPECT_EQ(MulDiv(7, 9, 0), -1);
  EXPECT_EQ(MulDiv(0x7fffffff, 4, 1), -1);
  EXPECT_EQ(MulDiv(0x7fffffff, 0x7fffffff, 0x7fffffff), 0x7fffffff);
}

TEST(ColorValueTest, PlainAndSystemColours) {
  EXPECT_EQ(ColorToQColor(0x00A00000), QColor(0, 0, 160));
  EXPECT_EQ(ColorToQColor(0x00C34E00), QColor(0, 78, 195));
  EXPECT_EQ(QColorToColor(QColor(0, 64, 128)), 0x00804000);
  EXPECT_LT(clBtnFace, 0);
  EXPECT_EQ(ColorToQColor(clBtnFace).rgb(),
            QGuiApplication::palette().color(QPalette::Button).rgb());
  EXPECT_EQ(ColorToQColor(clBtnShadow).rgb(),
            QGuiApplication::palette().color(QPalette::Dark).rgb());
}

TEST_F(PosBarFixture, LoweredFrameHasTwoGreyLinesTopLeftAndOneWhiteBottomRight) {
  const QImage img = Shot();
  for (int x : {0, 1, 70, 144}) EXPECT_EQ(At(img, x, 0), kGrey) << x;
  for (int x : {1, 70, 144}) EXPECT_EQ(At(img, x, 1), kGrey) << x;
  for (int y : {0, 5, 9}) EXPECT_EQ(At(img, 0, y), kGrey) << y;
  for (int y : {1, 5, 8}) EXPECT_EQ(At(img, 1, y), kGrey) << y;
  for (int x : {1, 2, 70, 145}) EXPECT_EQ(At(img, x, 9), kWhite) << x;
  for (int y : {1, 5, 9}) EXPECT_EQ(At(img, 145, y), kWhite) << y;
  EXPECT_EQ(At(img, 145, 0), kGrey);

  bar.SetBevelStyle(bsRaised);
  const QImage raised = Shot();
  EXPECT_EQ(At(raised, 70, 0), kWhite);
  EXPECT_EQ(At(raised, 1, 5), kWhite);
  EXPECT_EQ(At(raised, 70, 9), kGrey);
  EXPECT_EQ(At(raised, 145, 5), kGrey);
}

TEST_F(PosBarFixture, WiderBevelAddsLinesAndIsRefusedWhenTooWide) {
  bar.SetBevelWidth(2);
  const QImage img = Shot();
  EXPECT_EQ(At(img, 70, 2), kGrey);
  EXPECT_EQ(At(img, 2, 5), kGrey);
  EXPECT_EQ(At(img, 70, 8), kWhite);
  EXPECT_EQ(At(img, 144, 5), kWhite);
  EXPECT_EQ(At(img, 70, 3), QColor(0, 78, 195));  // interior starts below the frame

  TGradProgress narrow;
  narrow.resize(20, 16);
  narrow.SetBevelWidth(8);
  EXPECT_EQ(narrow.BevelWidth(), 8);
  narrow.SetBevelWidth(9);
  EXPECT_EQ(narrow.BevelWidth(), 8);
}

TEST_F(PosBarFixture, HalfPositionFillsColumnsUpToTheRoundedWidth) {
  bar.SetPosition(200);  // filled width 146 x 200 / 400 = 73
  const QImage img = Shot();
  ExpectNear(At(img, 2, 5), 0, 0, 160, 8);
  EXPECT_EQ(At(img, 73, 5), QColor(192, 192, 192));
  EXPECT_EQ(At(img, 74, 5), QColor(0, 78, 195));
  EXPECT_EQ(At(img, 140, 2), QColor(0, 78, 195));
  ExpectNear(At(img, 36, 5), 96, 96, 176, 2);
  // Each column carries one colour from the top of the interior to its bottom.
  for (int y = 2; y <= 8; ++y) EXPECT_EQ(At(img, 50, y), At(img, 50, 2)) << y;
  // Channels never fall back along the gradient.
  for (int x = 3; x <= 73; ++x) EXPECT_GE(At(img, x, 4).red(), At(img, x - 1, 4).red()) << x;
}

TEST_F(PosBarFixture, EmptyAndFullBars) {
  bar.SetPosition(0);
  QImage img = Shot();
  for (int x = 2; x <= 144; ++x) ASSERT_EQ(At(img, x, 5), QColor(0, 78, 195)) << x;

  bar.SetPosition(400);
  img = Shot();
  ExpectNear(At(img, 2, 5), 0, 0, 160, 8);
  // The end colour lands on column 146, just outside: the last visible column falls short.
  const QColor last = At(img, 144, 5);
  EXPECT_NE(last, QColor(192, 192, 192));
  ExpectNear(last, 190, 190, 191, 2);
  EXPECT_EQ(At(img, 145, 5), kWhite);

  TGradProgress zero;
  zero.resize(146, 10);
  zero.SetShowPercent(false);
  zero.SetMaxValue(0);
  zero.SetBackColor(RGBColor(10, 20, 30));
  img = zero.grab().toImage();
  for (int x = 2; x <= 144; ++x) ASSERT_EQ(At(img, x, 5), QColor(10, 20, 30)) << x;
}

TEST_F(PosBarFixture, PositionsOutsideTheRangeAreIgnored) {
  bar.SetPosition(120);
  bar.SetPosition(401);
  EXPECT_EQ(bar.Position(), 120);
  bar.SetPosition(-1);
  EXPECT_EQ(bar.Position(), 120);
  bar.SetPosition(400);
  EXPECT_EQ(bar.Position(), 400);
  bar.SetStep(5);
  bar.Stepit();
  EXPECT_EQ(bar.Position(), 400);
  bar.SetMaxValue(100);
  EXPECT_EQ(bar.Position(), 100);
  bar.SetStep(-30);
  bar.Stepit();
  EXPECT_EQ(bar.Position(), 70);
}

TEST(GradProgressTest, PositionChangeRepaintsBeforeReturning) {
  QWidget window;
  window.resize(200, 50);
  auto* bar = new PaintCounter;
  bar->setParent(&window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QCoreApplication::processEvents();
  const int before = bar->paints;
  bar->SetPosition(40);
  EXPECT_EQ(bar->paints, before + 1);
  bar->SetPosition(40);  // unchanged: nothing to draw
  bar->SetPosition(101);
  EXPECT_EQ(bar->paints, before + 1);
  // The position bar: 400 steps over 146 columns. A step that moves no column draws
  // nothing, yet is kept, so the next column comes at the right step.
  bar->resize(146, 10);
  bar->SetMaxValue(400);
  bar->SetPosition(200);  // F = 73
  QCoreApplication::processEvents();
  const int atColumn73 = bar->paints;
  bar->SetPosition(201);  // F = 73.4, rounded to 73
  EXPECT_EQ(bar->paints, atColumn73);
  EXPECT_EQ(bar->Position(), 201);
  bar->SetPosition(202);  // F = 73.7, rounded to 74
  EXPECT_EQ(bar->paints, atColumn73 + 1);
  bar->SetPosition(203);  // F = 74.1
  EXPECT_EQ(bar->paints, atColumn73 + 1);
  const QImage shown = bar->grab().toImage();
  bar->SetPosition(202);
  EXPECT_EQ(bar->grab().toImage(), shown);
}

TEST(GradProgressTest, PercentTextIsCentredInTheFontColour) {
  TGradProgress bar;
  bar.resize(150, 16);
  bar.SetStartColor(RGBColor(0, 0, 0));
  bar.SetEndColor(RGBColor(0, 0, 0));
  bar.SetBackColor(RGBColor(0, 0, 0));
  bar.SetFontColor(RGBColor(255, 255, 0));
  bar.SetPosition(50);
  QImage img = bar.grab().toImage();
  int left = 150, right = -1;
  for (int y = 2; y < 15; ++y) {
    for (int x = 2; x < 149; ++x) {
      if (img.pixelColor(x, y).red() > 128) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  ASSERT_GE(right, left) << "no percentage drawn";
  EXPECT_NEAR((left + right) / 2.0, 75, 3);

  bar.SetShowPercent(false);
  img = bar.grab().toImage();
  for (int x = 2; x < 149; ++x) ASSERT_EQ(img.pixelColor(x, 8), QColor(0, 0, 0)) << x;
}

TEST(GradProgressTest, MousePressReachesTheOwnerWithButtonsAndKeys) {
  TGradProgress bar;
  int seenX = -1;
  TShiftState seenShift = 0;
  bar.OnMouseDown = [&](QObject* sender, TMouseButton button, TShiftState shift, int x, int) {
    EXPECT_EQ(sender, &bar);
    EXPECT_EQ(button, mbLeft);
    seenShift = shift;
    seenX = x;
  };
  QTest::mousePress(&bar, Qt::LeftButton, Qt::ShiftModifier, QPoint(73, 5));
  EXPECT_EQ(seenX, 73);
  EXPECT_EQ(seenShift, ssLeft | ssShift);
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(73, 5));
}
