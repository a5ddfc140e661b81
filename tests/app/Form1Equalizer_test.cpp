// The equalizer page driven by real mouse events: the band sliders, the switch and its label,
// "Zero", and the record the engine receives.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "ExtProgressBar.h"
#include "SkinWriter.h"
#include "WindowTest.h"

namespace {

class EqualizerTest : public WindowTest {
 protected:
  EqualizerTest() {
    form->AbilitaEQU->setChecked(true);
    form->UpdateEqualizer();
  }

  void Send(int band, QEvent::Type type, int y, Qt::MouseButton button, Qt::MouseButtons held) {
    QWidget* slider = form->TrackBar[band - 1];
    QMouseEvent event(type, QPoint(4, y), slider->mapToGlobal(QPoint(4, y)), button, held, {});
    QApplication::sendEvent(slider, &event);
  }

  void Click(int band, int y, Qt::MouseButton button = Qt::LeftButton) {
    Send(band, QEvent::MouseButtonPress, y, button, button);
    Send(band, QEvent::MouseButtonRelease, y, button, Qt::NoButton);
  }

  int Band(int band) const { return form->TrackBar[band - 1]->Position(); }
  std::string Hint(int band) const { return form->TrackBar[band - 1]->toolTip().toStdString(); }

  // The last equalizer command: the record, or nothing when it switched the equalizer off.
  std::optional<XA_EqualizerInfo> LastSent() const {
    std::optional<XA_EqualizerInfo> last;
    bool any = false;
    for (const FakeXaudioCommand& c : engine.Commands())
      if (c.Code == XA_MSG_SET_CODEC_EQUALIZER) last = c.Equalizer, any = true;
    EXPECT_TRUE(any);
    return last;
  }
};

TEST_F(EqualizerTest, SlidersFillThe32BandsOfBothChannels) {
  for (int band = 1; band <= 8; ++band) Click(band, 40 - 4 * band);  // slider n at 4 n
  std::optional<XA_EqualizerInfo> record = LastSent();
  ASSERT_TRUE(record);
  const int bandsPerSlider[8] = {1, 1, 2, 2, 2, 6, 6, 12};
  for (int slider = 1, band = 0; slider <= 8; ++slider) {
    for (int i = 0; i < bandsPerSlider[slider - 1]; ++i, ++band) {
      EXPECT_EQ(record->left[band], 4 * slider) << "band " << band;
      EXPECT_EQ(record->right[band], 4 * slider) << "band " << band;
    }
  }
  EXPECT_EQ(engine.LastCommand().Code, XA_MSG_GET_CODEC_EQUALIZER);

  // All bands at 0 is a record of zeros, not the equalizer switched off.
  QTest::mouseClick(form->Zerobtn, Qt::LeftButton);
  record = LastSent();
  ASSERT_TRUE(record);
  for (int b = 0; b < 32; ++b) EXPECT_EQ(record->left[b] | record->right[b], 0) << "band " << b;
  EXPECT_EQ(Hint(8), "0%");
}

TEST_F(EqualizerTest, MouseRowsAreClampedAndOtherButtonsResetTheBand) {
  Click(3, 83);  // the bottom rows lie below -40
  EXPECT_EQ(Band(3), -40);
  Click(3, 52);
  EXPECT_EQ(Hint(3), "-12%");

  // Dragging above the slider ends at +40; moving without a button changes nothing.
  Send(5, QEvent::MouseButtonPress, 40, Qt::LeftButton, Qt::LeftButton);
  Send(5, QEvent::MouseMove, -25, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(Band(5), 40);
  Send(5, QEvent::MouseButtonRelease, -25, Qt::LeftButton, Qt::NoButton);
  Send(5, QEvent::MouseMove, 70, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(Band(5), 40);
  EXPECT_EQ(LastSent()->left[7], 40);

  Click(5, 75, Qt::RightButton);
  EXPECT_EQ(Band(5), 0);
  EXPECT_EQ(Band(3), -12);
  EXPECT_EQ(LastSent()->left[7], 0);
  Click(3, 5, Qt::MiddleButton);
  EXPECT_EQ(Band(3), 0);
}

TEST_F(EqualizerTest, SwitchOffSendsNoRecordWhileHintsFollowTheSliders) {
  // The first show takes the switch from the settings.
  WriteText(SettingsPath(), "[EQU]\nEquON=1\n");
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  form->ShowPage("page2");
  QTest::mouseClick(form->AbilitaEQU, Qt::LeftButton, {}, QPoint(6, 7));
  EXPECT_FALSE(form->AbilitaEQU->isChecked());
  EXPECT_FALSE(LastSent());
  EXPECT_TRUE(form->Display->hasFocus());
  Click(4, 52);
  EXPECT_FALSE(LastSent());
  EXPECT_EQ(Hint(4), "-12%");

  // The label toggles the box for any button; switching on sends the full record.
  QTest::mouseClick(form->EQUlbl, Qt::RightButton, {}, QPoint(10, 7));
  EXPECT_TRUE(form->AbilitaEQU->isChecked());
  ASSERT_TRUE(LastSent());
  EXPECT_EQ(LastSent()->right[5], -12);
  // A right click on the box does not toggle it.
  QTest::mouseClick(form->AbilitaEQU, Qt::RightButton, {}, QPoint(6, 7));
  EXPECT_TRUE(form->AbilitaEQU->isChecked());
}

}  // namespace
