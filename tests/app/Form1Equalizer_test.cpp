// The equalizer page: band sliders dragged with real mouse events, the switch and its label,
// "Zero", and the record the engine receives.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "ExtProgressBar.h"
#include "WindowTest.h"

namespace {

class EqualizerTest : public WindowTest {
 protected:
  // A mouse event as the window system delivers it, at y in the slider's coordinates.
  static void Send(QWidget* widget, QEvent::Type type, int y, Qt::MouseButton button,
                   Qt::MouseButtons held) {
    const QPoint pos(4, y);
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }

  TExtProgressBar* Slider(int band) { return form->TrackBar[band - 1]; }

  void Click(int band, int y, Qt::MouseButton button = Qt::LeftButton) {
    Send(Slider(band), QEvent::MouseButtonPress, y, button, button);
    Send(Slider(band), QEvent::MouseButtonRelease, y, button, Qt::NoButton);
  }

  // Presses at fromY, drags through the given rows with the left button held, releases at
  // the last row.
  void Drag(int band, int fromY, std::initializer_list<int> rows) {
    Send(Slider(band), QEvent::MouseButtonPress, fromY, Qt::LeftButton, Qt::LeftButton);
    int last = fromY;
    for (int y : rows) {
      Send(Slider(band), QEvent::MouseMove, y, Qt::NoButton, Qt::LeftButton);
      last = y;
    }
    Send(Slider(band), QEvent::MouseButtonRelease, last, Qt::LeftButton, Qt::NoButton);
  }

  void SwitchOn() {
    form->AbilitaEQU->setChecked(true);
    form->UpdateEqualizer();
  }

  std::vector<FakeXaudioCommand> EqualizerCommands() const {
    std::vector<FakeXaudioCommand> sent;
    for (const FakeXaudioCommand& c : engine.Commands())
      if (c.Code == XA_MSG_SET_CODEC_EQUALIZER) sent.push_back(c);
    return sent;
  }

  // The last record sent; fails the test when the last command switched the equalizer off.
  XA_EqualizerInfo LastRecord() const {
    const std::vector<FakeXaudioCommand> sent = EqualizerCommands();
    if (sent.empty() || !sent.back().Equalizer) {
      ADD_FAILURE() << "no equalizer record was sent last";
      return {};
    }
    return *sent.back().Equalizer;
  }

  bool LastSwitchedOff() const {
    const std::vector<FakeXaudioCommand> sent = EqualizerCommands();
    return !sent.empty() && sent.back().Pointer == nullptr && !sent.back().Equalizer;
  }

  std::string Hint(int band) { return Slider(band)->toolTip().toStdString(); }
};

TEST_F(EqualizerTest, EightSlidersFillThe32BandsOfBothChannels) {
  SwitchOn();
  // Slider n at 4 * n: one click on the row 40 - 4 * n.
  for (int band = 1; band <= 8; ++band) Click(band, 40 - 4 * band);
  const XA_EqualizerInfo record = LastRecord();
  const int bandsPerSlider[8] = {1, 1, 2, 2, 2, 6, 6, 12};
  int band = 0;
  for (int slider = 1; slider <= 8; ++slider) {
    for (int i = 0; i < bandsPerSlider[slider - 1]; ++i, ++band) {
      EXPECT_EQ(record.left[band], 4 * slider) << "band " << band;
      EXPECT_EQ(record.right[band], 4 * slider) << "band " << band;
    }
  }
  EXPECT_EQ(band, 32);
  EXPECT_EQ(engine.LastCommand().Code, XA_MSG_GET_CODEC_EQUALIZER);

  // Only the top slider raised: the upper twelve bands of each channel, nothing below.
  form->ZerobtnClick();
  Click(8, 0);
  const XA_EqualizerInfo treble = LastRecord();
  for (int b = 0; b < 32; ++b) {
    EXPECT_EQ(treble.left[b], b >= 20 ? 40 : 0) << "band " << b;
    EXPECT_EQ(treble.right[b], b >= 20 ? 40 : 0) << "band " << b;
  }
}

TEST_F(EqualizerTest, MouseRowsGiveValuesClampedToTheSliderRange) {
  SwitchOn();
  Click(3, 83);  // the bottom rows lie below -40
  EXPECT_EQ(Slider(3)->Position(), -40);
  Click(3, 81);
  EXPECT_EQ(Slider(3)->Position(), -40);
  Click(3, 52);
  EXPECT_EQ(Slider(3)->Position(), -12);
  EXPECT_EQ(Hint(3), "-12%");

  // Dragging above the slider ends at +40; the move without a button changes nothing.
  Drag(5, 40, {30, 0, -25});
  EXPECT_EQ(Slider(5)->Position(), 40);
  Send(Slider(5), QEvent::MouseMove, 70, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(Slider(5)->Position(), 40);
  EXPECT_EQ(LastRecord().left[6], 40);
}

TEST_F(EqualizerTest, RightOrMiddleReleaseResetsOnlyThatBand) {
  SwitchOn();
  Click(1, 20);
  Click(2, 60);
  engine.ClearCommands();
  Click(2, 75, Qt::RightButton);
  EXPECT_EQ(Slider(2)->Position(), 0);
  EXPECT_EQ(Slider(1)->Position(), 20);
  EXPECT_EQ(LastRecord().left[1], 0);
  EXPECT_EQ(LastRecord().left[0], 20);

  Click(1, 5, Qt::MiddleButton);
  EXPECT_EQ(Slider(1)->Position(), 0);
  EXPECT_EQ(Hint(1), "0%");
}

TEST_F(EqualizerTest, SwitchOffSendsNoRecordButHintsFollowTheSliders) {
  SwitchOn();
  Click(4, 10);
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  form->ShowPage("page2");

  // A left click on the box turns it off: no equalizer, whatever the sliders show.
  QTest::mouseClick(form->AbilitaEQU, Qt::LeftButton, {}, QPoint(6, 7));
  EXPECT_FALSE(form->AbilitaEQU->isChecked());
  EXPECT_TRUE(LastSwitchedOff());
  EXPECT_TRUE(form->Display->hasFocus());

  Click(4, 52);
  EXPECT_TRUE(LastSwitchedOff());
  EXPECT_EQ(Hint(4), "-12%");

  // The label toggles the box for any button; switching on sends the full record.
  QTest::mouseClick(form->EQUlbl, Qt::RightButton, {}, QPoint(10, 7));
  EXPECT_TRUE(form->AbilitaEQU->isChecked());
  EXPECT_EQ(LastRecord().left[4], -12);
  EXPECT_EQ(LastRecord().right[5], -12);
  // A right click on the box itself does not toggle it but sends its state again.
  engine.ClearCommands();
  QTest::mouseClick(form->AbilitaEQU, Qt::RightButton, {}, QPoint(6, 7));
  EXPECT_TRUE(form->AbilitaEQU->isChecked());
  EXPECT_EQ(LastRecord().left[5], -12);
}

TEST_F(EqualizerTest, ZeroSendsAllZeroRecordAndKeepsTheEqualizerOn) {
  SwitchOn();
  for (int band = 1; band <= 8; ++band) Click(band, band * 9);
  QTest::mouseClick(form->Zerobtn, Qt::LeftButton);
  for (int band = 1; band <= 8; ++band) {
    EXPECT_EQ(Slider(band)->Position(), 0);
    EXPECT_EQ(Hint(band), "0%");
  }
  const XA_EqualizerInfo record = LastRecord();
  EXPECT_TRUE(std::all_of(std::begin(record.left), std::end(record.left),
                          [](signed char v) { return v == 0; }));
  EXPECT_TRUE(std::all_of(std::begin(record.right), std::end(record.right),
                          [](signed char v) { return v == 0; }));
}

}  // namespace
