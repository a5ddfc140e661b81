// Transport and time display over the fake engine: the buttons, the two bars under real
// mouse events, and how the engine's notifications show.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include "CoolButton.h"
#include "GradProgress.h"
#include "RunLabel.h"
#include "WindowTest.h"

namespace {

using Codes = std::vector<int>;

class TransportTest : public WindowTest {
 protected:
  void SetUp() override { engine.ClearCommands(); }
  void Handled() { ASSERT_TRUE(engine.WaitDrained()); }
  Codes Sent() {
    const Codes codes = engine.CommandCodes();
    engine.ClearCommands();
    return codes;
  }
  // The last command: its code, then its integers.
  Codes Last() {
    FakeXaudioCommand c = engine.LastCommand();
    c.Ints.insert(c.Ints.begin(), c.Code);
    return c.Ints;
  }
  static void Mouse(QWidget* bar, int x, Qt::MouseButtons held, bool press = false) {
    const QPoint at(x, 5);
    QMouseEvent event(press ? QEvent::MouseButtonPress : QEvent::MouseMove, at,
                      bar->mapToGlobal(at), press ? Qt::MouseButton(int(held)) : Qt::NoButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &event);
  }
};

TEST_F(TransportTest, PlayAndPauseFollowTheEnginesReports) {
  QTest::mouseClick(form->Playbtn, Qt::LeftButton);
  EXPECT_TRUE(Sent().empty()) << "no album loaded";
  form->Session.TAB.SetCells(0, 1, "1");
  QTest::mouseClick(form->Playbtn, Qt::LeftButton);
  EXPECT_EQ(Sent(), Codes{XA_MSG_COMMAND_PLAY});

  engine.PostPlayerState(XA_PLAYER_STATE_PLAYING);
  engine.PostTimecode(0, 1, 23);
  Handled();
  QTest::mouseClick(form->btnPlay2, Qt::LeftButton);  // restarts
  QTest::mouseClick(form->Stopbtn, Qt::LeftButton);
  QTest::mouseClick(form->btnStop2, Qt::LeftButton);  // the pause is not reported yet
  EXPECT_EQ(Sent(), (Codes{XA_MSG_COMMAND_STOP, XA_MSG_COMMAND_PLAY, XA_MSG_COMMAND_PAUSE,
                           XA_MSG_COMMAND_PAUSE}));
  EXPECT_EQ(form->CurrTime->text(), "01:23");

  engine.PostPlayerState(XA_PLAYER_STATE_PAUSED);
  Handled();
  form->PlaybtnClick();  // resumes
  form->StopbtnClick();  // the flag still says paused: stops
  EXPECT_EQ(Sent(), (Codes{XA_MSG_COMMAND_PLAY, XA_MSG_COMMAND_STOP}));
  EXPECT_EQ(form->CurrTime->text(), "00:00");
  EXPECT_EQ(form->lblDisplay2->text(), "00:00");
  EXPECT_EQ(form->PosBar->Position(), 0);
}

TEST_F(TransportTest, BarsMapPixelsOntoTheirRange) {
  // Beyond either end the bar keeps its place and the seek goes there again.
  for (auto [x, offset] : {std::pair{0, 0}, {145, 395}, {147, 400}, {148, 400}, {-1, 400}}) {
    Mouse(form->PosBar, x, Qt::LeftButton, x < 146);
    EXPECT_EQ(Last(), (Codes{XA_MSG_COMMAND_INPUT_SEEK, offset, 400})) << x;
  }
  Mouse(form->PosBar, 10, Qt::RightButton, true);
  EXPECT_EQ(form->PosBar->Position(), 27);

  for (auto [x, level] : {std::pair{74, 50}, {145, 99}, {147, 100}, {148, 100}}) {
    Mouse(form->VolBar, x, Qt::LeftButton, x == 74);
    EXPECT_EQ(Last(), (Codes{XA_MSG_SET_OUTPUT_VOLUME, 255, level, 255})) << x;
    EXPECT_EQ(form->VolBar->toolTip().toStdString(), "Volume: " + std::to_string(level) + "%");
  }
  engine.ClearCommands();
  Mouse(form->VolBar, 20, Qt::NoButton);
  Mouse(form->PosBar, 20, Qt::NoButton);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(TransportTest, TimesShowElapsedOrRemaining) {
  form->Songlbl->SetCaption("Intro");
  engine.PostDuration(125);
  Handled();
  EXPECT_EQ(form->Totlbl->text(), "02:05");
  engine.PostDuration(59);
  engine.PostTimecode(0, 0, 7);
  Handled();
  EXPECT_EQ(form->Totlbl->text(), "00:59");
  EXPECT_EQ(form->TrayHint, "Intro / 00:07");

  // A press let go outside the label is no click.
  QTest::mousePress(form->CurrTime, Qt::LeftButton);
  QTest::mouseRelease(form->CurrTime, Qt::LeftButton, {}, QPoint(-5, 5));
  EXPECT_FALSE(form->ReverseTime);
  QTest::mouseClick(form->CurrTime, Qt::LeftButton);
  engine.PostDuration(250);
  engine.PostTimecode(0, 2, 3);
  Handled();
  EXPECT_EQ(form->lblDisplay2->text(), "-02:07");
  EXPECT_EQ(form->TrayHint, "Intro / -02:07");
  engine.PostTimecode(0, 4, 12);  // past the duration
  Handled();
  EXPECT_EQ(form->CurrTime->text(), "-00:00");

  QTest::mouseClick(form->lblDisplay2, Qt::LeftButton);
  QTest::mouseDClick(form->lblDisplay2, Qt::LeftButton);  // two clicks
  engine.PostDuration(75 * 60 + 12);
  engine.PostTimecode(1, 2, 3);
  Handled();
  EXPECT_EQ(form->Totlbl->text(), "75:12");
  EXPECT_EQ(form->CurrTime->text(), "62:03");

  // From 100 minutes on, hours and minutes fit where "MM:SS" would not.
  engine.PostDuration(99 * 60 + 59);
  engine.PostTimecode(1, 40, 5);
  Handled();
  EXPECT_EQ(form->Totlbl->text(), "99:59");
  EXPECT_EQ(form->CurrTime->text(), "1h40");
  engine.PostDuration(10 * 3600 + 5 * 60);
  engine.PostTimecode(9, 5, 59);
  Handled();
  EXPECT_EQ(form->Totlbl->text(), "10h");
  EXPECT_EQ(form->CurrTime->text(), "9h05");
  QTest::mouseClick(form->CurrTime, Qt::LeftButton);
  engine.PostTimecode(0, 1, 0);
  Handled();
  EXPECT_EQ(form->CurrTime->text(), "-10h");
  EXPECT_EQ(form->lblDisplay2->text(), "-10h");

  // Repeated timecodes of one second are drawn once, but a label that shows something else
  // meanwhile ("Scan" during a load) gets the time back, and a new song its own hint.
  QTest::mouseClick(form->CurrTime, Qt::LeftButton);
  engine.PostTimecode(0, 0, 0);
  Handled();
  form->CurrTime->setText("Scan");
  form->Songlbl->SetCaption("Outro");
  engine.PostTimecode(0, 0, 0, 50);
  Handled();
  EXPECT_EQ(form->CurrTime->text(), "00:00");
  EXPECT_EQ(form->TrayHint, "Outro / 00:00");
}

TEST_F(TransportTest, NotificationsShowAndAnswer) {
  engine.PostPosition(200);
  Handled();
  EXPECT_EQ(form->PosBar->toolTip(), "Position: 50%");
  engine.PostPosition(399);
  engine.PostPosition(1000, 1000);
  Handled();
  EXPECT_EQ(form->PosBar->Position(), 399);

  form->VolumeUpdate(30);
  for (int mode : {3, 0, 1, 2}) {
    engine.ClearCommands();
    engine.PostStreamInfo(uint16_t(64 + mode), uint8_t(mode));
    Handled();
    EXPECT_EQ(form->Stereolbl->text(), mode == 3 ? "MONO" : "STEREO") << mode;
    EXPECT_EQ(Last(), (Codes{XA_MSG_SET_OUTPUT_VOLUME, 255, 30, 255}));
  }
  EXPECT_EQ(form->Bitratelbl->text(), "66 KBs");
  engine.ClearCommands();
  engine.PostPcmLevel(80);
  Handled();
  EXPECT_EQ(Sent(), Codes{XA_MSG_SET_OUTPUT_VOLUME});

  form->Session.Scanner.SourceRoot = "/music";
  form->Session.TAB.SetCells(2, 1, "/Disc/01 Intro.mp3");
  engine.PostCodecQuality(3);
  engine.PostError("cannot read the file");
  Handled();
  EXPECT_EQ(messages,
            (std::vector<std::string>{"3", "Error cannot read the file /Disc/01 Intro.mp3"}));
  EXPECT_EQ(Sent(), Codes{XA_MSG_COMMAND_STOP});

  // A song that broke off after some sound: told in a note, nothing stopped.
  engine.ClearCommands();
  messages.clear();
  XA_Message damaged{XA_MSG_NOTIFY_DEBUG, {}};
  damaged.data.debug.source = XA_SOURCE_CODEC;
  damaged.data.debug.level = XA_DEBUG_LEVEL_INPUT_DAMAGED;
  damaged.data.debug.message = engine.Text("decoding failed: junk");
  engine.Post(damaged);
  Handled();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(notes, std::vector<std::string>{"Error decoding failed: junk /Disc/01 Intro.mp3"});
  EXPECT_TRUE(Sent().empty());
}

}  // namespace
