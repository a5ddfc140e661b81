#include "RunLabel.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "ColorValue.h"
#include "FontMap.h"
#include "PlainWindow.h"

namespace {

const QColor kBackground(10, 20, 30);
const QColor kInk(255, 255, 0);

// Runs the event loop until pred holds, for at most five seconds; unlike QTest::qWaitFor it
// does not sleep between checks, so millisecond steps run at full speed.
bool WaitFor(const std::function<bool()>& pred) {
  QElapsedTimer clock;
  clock.start();
  QTimer wake;
  wake.start(20);
  while (!pred()) {
    if (clock.elapsed() > 5000) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// The play page's disc title: 140 x 22 at (22, 3) over a plain background, stepping every
// millisecond so runs finish quickly.
struct LabelFixture : ::testing::Test {
  PlainWindow window{200, 60, kBackground};
  TRunLabel* label = nullptr;
  std::vector<int> steps;
  int begins = 0;
  int ends = 0;

  void SetUp() override {
    label = new TRunLabel(&window);
    label->setGeometry(22, 3, 140, 22);
    label->setFont(FontFromPixels("Small Fonts", 9));
    label->SetFontColor(QColorToColor(kInk));
    label->SetShowAccelChar(false);
    label->SetRunMode(rmLabel);
    label->SetPixelsPerStep(2);
    label->SetSpeed(1);
    label->SetCaption("NO CD LOADED");
    label->OnBegin = [this](QObject*) { ++begins; };
    label->OnStep = [this](QObject*) { steps.push_back(label->Position()); };
    label->OnEnd = [this](QObject*) { ++ends; };
    ASSERT_TRUE(window.ShowAndWait());
  }

  bool WaitForEnds(int count) {
    return WaitFor([&] { return ends >= count; });
  }

  // What the window really shows (its back buffer), in label coordinates.
  QImage Screen() {
    const QImage img = window.screen()->grabWindow(window.winId()).toImage();
    return img.copy(label->geometry());
  }

  // Left-most and right-most columns holding text colour, or (-1, -1).
  static std::pair<int, int> InkColumns(const QImage& img) {
    int left = -1, right = -1;
    for (int x = 0; x < img.width(); ++x) {
      for (int y = 0; y < img.height(); ++y) {
        if (img.pixelColor(x, y) == kInk) {
          if (left < 0) left = x;
          right = x;
          break;
        }
      }
    }
    return {left, right};
  }
};

}  // namespace

TEST(RunLabelTest, SpeedIsKeptWithinOneToAThousandMilliseconds) {
  TRunLabel label;
  label.SetSpeed(0);
  EXPECT_EQ(label.Speed(), 1);
  label.SetSpeed(5000);
  EXPECT_EQ(label.Speed(), 1000);
}

TEST_F(LabelFixture, DiscTitleSlidesInFromTheRightAndRestsAtTheLeft) {
  QImage midway;
  label->OnStep = [&](QObject*) {
    steps.push_back(label->Position());
    if (label->Position() == 60) midway = Screen();  // shows the frame of P = 58
  };
  label->StartRun(0, 0);
  ASSERT_TRUE(WaitForEnds(1));
  EXPECT_EQ(begins, 1);
  EXPECT_FALSE(label->Running());
  ASSERT_EQ(steps.size(), 71u);  // 70 moves of 2 pixels, then the frame at rest
  EXPECT_EQ(steps.front(), 0);
  EXPECT_EQ(label->ImageOrigin(0).x(), 140);
  EXPECT_EQ(steps.back(), 140);
  EXPECT_EQ(label->ImageOrigin(140).x(), 0);

  // Text drawn step by step leaves no trail behind it.
  const int textWidth = label->TextImage().width();
  const auto [left, right] = InkColumns(midway);
  EXPECT_GE(left, 140 - 58);
  EXPECT_LE(right, 140 - 58 + textWidth);
  const auto [restLeft, restRight] = InkColumns(Screen());
  EXPECT_LE(restLeft, 2);
  EXPECT_LE(restRight, textWidth);
  EXPECT_GT(restRight, textWidth / 2);
  const QImage rest = Screen();
  for (int x = textWidth; x < 140; ++x) {
    for (int y = 0; y < 22; ++y) ASSERT_EQ(rest.pixelColor(x, y), kBackground) << x << "," << y;
  }
}

TEST_F(LabelFixture, SongTitleDropsFromAboveAndRestsNearTheMiddle) {
  label->SetDirection(rdTopToBottom);
  label->SetCaption("Song title");
  const int ht = label->TextImage().height();
  label->StartRun(0, 0);
  ASSERT_TRUE(WaitForEnds(1));
  EXPECT_EQ(label->ImageOrigin(0).y(), -ht);
  EXPECT_EQ(label->ImageOrigin(0).x(), 0);
  // Rests at the first even position reaching Ht div 2 + 22 div 2 - 1.
  const int target = ht / 2 + 10;
  EXPECT_EQ(steps.back(), target % 2 == 0 ? target : target + 1);
  EXPECT_EQ(label->ImageOrigin(steps.back()).y(), steps.back() - ht);
}

TEST_F(LabelFixture, AutoScrollTitleCrossesTheLabelAgainAndAgain) {
  label->SetCaption("A DISC TITLE THAT IS FAR TOO LONG FOR THE LITTLE LABEL");
  label->SetRunMode(rmNormal);
  const int wt = label->TextImage().width();
  ASSERT_GT(wt, 140);
  std::vector<int> lastOfRun;
  label->OnEnd = [&](QObject*) {
    ++ends;
    lastOfRun.push_back(label->Position());
    if (label->RunMode() == rmNormal) {
      label->StopRun(true);
      label->StartRun(0, 0);
    }
  };
  label->StartRun(0, 0);
  ASSERT_TRUE(WaitForEnds(2));
  label->StopRun(true);
  const int length = wt + 140;
  EXPECT_EQ(label->RunLength(), length);
  const size_t perCrossing = (length + 1) / 2 + 1;
  EXPECT_GE(steps.size(), 2 * perCrossing);
  EXPECT_EQ(steps[perCrossing - 1], lastOfRun[0]);
  EXPECT_EQ(steps[perCrossing], 0) << "the next crossing starts at once from the right";
  EXPECT_EQ(begins, 2 + (steps.size() > 2 * perCrossing ? 1 : 0));
  // The last frame has the text just past the left edge.
  const int x = label->ImageOrigin(lastOfRun[0]).x();
  EXPECT_LE(x, -wt);
  EXPECT_GT(x, -wt - 2);
}

TEST_F(LabelFixture, StoppingACrossingAndSwitchingToRestingMode) {
  label->SetRunMode(rmNormal);
  label->StartRun(0, 0);
  ASSERT_TRUE(WaitFor([&] { return label->Position() >= 20; }));
  label->SetRunMode(rmLabel);  // ignored while running
  label->SetDirection(rdLeftToRight);
  EXPECT_EQ(label->RunMode(), rmNormal);
  EXPECT_EQ(label->Direction(), rdRightToLeft);

  label->StopRun(true);
  EXPECT_FALSE(label->Running());
  EXPECT_EQ(label->Position(), 0);
  label->SetRunMode(rmLabel);
  EXPECT_EQ(label->RunMode(), rmLabel);
  label->StartRun(0, 0);
  ASSERT_TRUE(WaitForEnds(1));
  EXPECT_EQ(label->Position(), 140);
  EXPECT_EQ(label->ImageOrigin(label->Position()).x(), 0);

  label->StartRun(0, 0);  // a finished run can start again
  EXPECT_TRUE(label->Running());
  label->StopRun(false);
  EXPECT_FALSE(label->Running());
}

TEST_F(LabelFixture, RestingPlacesFollowAlignmentAndDirection) {
  struct Case {
    TRunDirection direction;
    TAlignment alignment;
  };
  const int wt = label->TextImage().width();
  const std::function<int()> expected[] = {[] { return 0; }, [wt] { return 140 - wt; },
                                           [wt] { return (140 - wt) / 2; }};
  for (TRunDirection direction : {rdRightToLeft, rdLeftToRight}) {
    for (TAlignment alignment : {taLeftJustify, taRightJustify, taCenter}) {
      label->SetDirection(direction);
      label->SetAlignment(alignment);
      const int before = ends;
      label->StartRun(0, 0);
      ASSERT_TRUE(WaitForEnds(before + 1));
      const int x = label->ImageOrigin(label->Position()).x();
      EXPECT_NEAR(x, expected[alignment](), 2) << direction << "/" << alignment;
      label->StopRun(true);
    }
  }
}

TEST_F(LabelFixture, BounceRunsBackAndForthWithoutEnding) {
  label->SetRunMode(rmBounce);
  label->SetPixelsPerStep(4);
  const int wt = label->TextImage().width();
  int minX = 1000, maxX = -1000, turns = 0;
  TRunDirection last = label->Direction();
  label->OnStep = [&](QObject*) {
    if (label->Direction() != last) ++turns;
    last = label->Direction();
    if (label->Position() > 0 && label->Position() < label->EndPosition()) {
      const int x = label->ImageOrigin(label->Position()).x();
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
    }
  };
  label->StartRun(0, 0);
  ASSERT_TRUE(WaitFor([&] { return turns >= 3; }));
  label->StopRun(false);
  EXPECT_EQ(ends, 0);
  EXPECT_GE(minX, 0);
  EXPECT_LE(maxX, 140);
  EXPECT_LE(minX, 4);
  EXPECT_GE(maxX, 140 - wt - 4);
}

TEST_F(LabelFixture, CaptionChangesKeepTheRunAndItsProgress) {
  label->SetRunMode(rmNormal);
  label->SetSpeed(1000);
  label->StartRun(50, 0);
  const int oldLength = label->RunLength();
  label->SetCaption("A MUCH LONGER DISC TITLE THAN BEFORE");
  const int newLength = label->RunLength();
  ASSERT_GT(newLength, oldLength);
  EXPECT_TRUE(label->Running());
  EXPECT_EQ(label->Position(), qRound(50.0 * newLength / oldLength));
  EXPECT_EQ(label->EndPosition(), newLength);

  label->StopRun(true);
  label->SetCaption("");
  EXPECT_GT(label->TextImage().width(), 0);  // one blank
  label->SetSpeed(1);
  label->StartRun(0, 0);
  ASSERT_TRUE(WaitForEnds(1));
}

TEST_F(LabelFixture, AmpersandsShowWhenAcceleratorsAreOff) {
  label->SetCaption("AB");
  const int plain = label->TextImage().width();
  label->SetCaption("A&B");
  EXPECT_GT(label->TextImage().width(), plain);
  label->SetShowAccelChar(true);
  EXPECT_EQ(label->TextImage().width(), plain);
}

TEST_F(LabelFixture, OpaqueLabelPaintsItsColour) {
  label->StopRun(true);
  label->SetColor(RGBColor(200, 0, 0));
  QCoreApplication::processEvents();
  EXPECT_EQ(Screen().pixelColor(70, 11), kBackground);
  label->SetTransparent(false);
  QCoreApplication::processEvents();
  EXPECT_EQ(Screen().pixelColor(70, 11), QColor(200, 0, 0));
}

TEST_F(LabelFixture, BlinkingHidesAndShowsTheCaptionInTurn) {
  label->StopRun(true);
  const QSize size = label->TextImage().size();
  auto inked = [&] {
    const QImage& img = label->TextImage();
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (qAlpha(img.pixel(x, y)) != 0) return true;
    return false;
  };
  ASSERT_TRUE(inked());
  TEffects effects;
  effects.Blinking = true;
  effects.BlinkRate = 1;
  label->SetEffects(effects);
  ASSERT_TRUE(WaitFor([&] { return !inked(); }));
  EXPECT_EQ(label->TextImage().size(), size);
  ASSERT_TRUE(WaitFor(inked));
  EXPECT_EQ(label->TextImage().size(), size);
  effects.Blinking = false;
  label->SetEffects(effects);
  EXPECT_TRUE(inked());
}

TEST(EffectsTest, RaisedStyleAddsBothPassesAndDepthsWidenTheImage) {
  // Unsmoothed, so that the passes' colours show unmixed.
  QFont font = FontFromPixels("Small Fonts", 9);
  font.setStyleStrategy(QFont::NoAntialias);
  TEffects effects;
  effects.ColorHighlight = clWhite;
  effects.ColorShadow = clBlack;
  const QImage plain = effects.Render("Sound", font, kInk, false);
  effects.LabelStyle = lsRaised;
  const QImage raised = effects.Render("Sound", font, kInk, false);
  bool white = false, black = false;
  for (int y = 0; y < raised.height(); ++y) {
    for (int x = 0; x < raised.width(); ++x) {
      white |= raised.pixelColor(x, y) == Qt::white;
      black |= raised.pixelColor(x, y) == Qt::black;
    }
  }
  EXPECT_TRUE(white && black);
  effects.LabelStyle = lsCustom;
  effects.ShadowDepth = 3;
  const QImage deep = effects.Render("Sound", font, kInk, false);
  EXPECT_EQ(deep.size(), plain.size() + QSize(3, 3));
  EXPECT_EQ(qAlpha(deep.pixel(0, deep.height() - 1)), 0);
}

// Pixels of image that carry ink.
static int InkPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) != 0;
  return count;
}

// The titles' font at every zoom: a mark above a capital reaching past the font's ascent is
// drawn whole (as many ink pixels as the text drawn with room all round), and a title
// without such marks keeps the image it always had, one row taller than the font.
TEST(EffectsTest, AccentsAboveCapitalsAreWholeAtEveryZoom) {
  const QFont font = FontFromPixels("Small Fonts", 9);
  const TEffects effects;
  for (const qreal ratio : {1.0, 2.0, 3.0}) {
    const QFontMetrics metrics(font);
    const QString plainTitle = QStringLiteral("Uber den Wolken");
    const QImage plain = effects.Render(plainTitle, font, kInk, false, ratio);
    EXPECT_EQ(plain.deviceIndependentSize().toSize().height(),
              metrics.size(Qt::TextSingleLine, plainTitle).height() + 1)
        << ratio;
    for (const char* title : {"Über den Wolken", "Ñandú", "ÜNïCöDé", "Åland"}) {
      const QString text = QString::fromUtf8(title);
      const QImage shown = effects.Render(text, font, kInk, false, ratio);
      QImage roomy = TEffects::Blank(QSize(200, 60), ratio);
      QPainter painter(&roomy);
      painter.setFont(font);
      painter.setPen(kInk);
      painter.drawText(QRect(QPoint(0, 20), metrics.size(Qt::TextSingleLine, text)),
                       Qt::TextSingleLine, text);
      painter.end();
      EXPECT_EQ(InkPixels(shown), InkPixels(roomy)) << title << " at " << ratio;
      EXPECT_GE(shown.height(), plain.height()) << title;
    }
  }
}
