// Transport and time display over the fake engine: the buttons, the two bars under real
// mouse events, and how each engine notification shows.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include "CoolButton.h"
#include "GradProgress.h"
#include "RunLabel.h"
#include "WindowTest.h"

namespace {

class TransportTest : public WindowTest {
 protected:
  // Posts through the engine and lets the window handle it.
  template <typename Post>
  void Notify(Post post) {
    post();
    ASSERT_TRUE(engine.WaitDrained());
  }

  void LoadOneSong() {
    form->Scanner.SourceRoot = "/music";
    form->TAB.SetCells(0, 1, "1");
    form->TAB.SetCells(1, 1, "1");
    form->TAB.SetCells(2, 1, "/Disc/01 Intro.mp3");
  }

  std::vector<int> Sent() {
    std::vector<int> codes = engine.CommandCodes();
    engine.ClearCommands();
    return codes;
  }

  static void Mouse(QWidget* widget, QEvent::Type type, int x, Qt::MouseButton button,
                    Qt::MouseButtons held) {
    const QPoint pos(x, 5);
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }
  static void Press(QWidget* bar, int x, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(bar, QEvent::MouseButtonPress, x, button, button);
  }
  static void Drag(QWidget* bar, int x) {
    Mouse(bar, QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton);
  }

  // The last command, when it is a seek: its offset; -1 otherwise.
  int LastSeek() {
    const FakeXaudioCommand c = engine.LastCommand();
    EXPECT_EQ(c.Code, XA_MSG_COMMAND_INPUT_SEEK);
    EXPECT_EQ(c.Ints.size(), 2u);
    if (c.Code != XA_MSG_COMMAND_INPUT_SEEK || c.Ints.size() != 2) return -1;
    EXPECT_EQ(c.Ints[1], 400);
    return c.Ints[0];
  }
  // The PCM level of the last command, when it is a volume command with the other two
  // levels left alone; -1 otherwise.
  int LastVolume() {
    const FakeXaudioCommand c = engine.LastCommand();
    if (c.Code != XA_MSG_SET_OUTPUT_VOLUME) return -1;
    EXPECT_EQ(c.Ints, (std::vector<int>{255, c.Ints.at(1), 255}));
    return c.Ints.at(1);
  }

  void SetUp() override { engine.ClearCommands(); }
};

TEST_F(TransportTest, PlayRestartsOnlyWhatTheEngineReportedPlaying) {
  QTest::mouseClick(form->Playbtn, Qt::LeftButton);
  EXPECT_TRUE(Sent().empty()) << "no song loaded";

  LoadOneSong();
  QTest::mouseClick(form->Playbtn, Qt::LeftButton);
  EXPECT_EQ(Sent(), std::vector<int>{XA_MSG_COMMAND_PLAY});
  Notify([&] { engine.PostPlayerState(XA_PLAYER_STATE_PLAYING); });
  EXPECT_TRUE(form->Playing);
  QTest::mouseClick(form->btnPlay2, Qt::LeftButton);
  EXPECT_EQ(Sent(), (std::vector<int>{XA_MSG_COMMAND_STOP, XA_MSG_COMMAND_PLAY}));
  // Paused: a press resumes.
  Notify([&] { engine.PostPlayerState(XA_PLAYER_STATE_PAUSED); });
  form->PlaybtnClick();
  EXPECT_EQ(Sent(), std::vector<int>{XA_MSG_COMMAND_PLAY});
}

TEST_F(TransportTest, PauseThenStopOnceThePauseIsReported) {
  Notify([&] {
    engine.PostPlayerState(XA_PLAYER_STATE_PLAYING);
    engine.PostTimecode(0, 1, 23);
    engine.PostPosition(100);
  });
  QTest::mouseClick(form->Stopbtn, Qt::LeftButton);
  QTest::mouseClick(form->btnStop2, Qt::LeftButton);  // before the report: pauses again
  EXPECT_EQ(Sent(), (std::vector<int>{XA_MSG_COMMAND_PAUSE, XA_MSG_COMMAND_PAUSE}));
  EXPECT_EQ(form->CurrTime->text(), "01:23");
  EXPECT_EQ(form->PosBar->Position(), 100);

  Notify([&] { engine.PostPlayerState(XA_PLAYER_STATE_PAUSED); });
  form->StopbtnClick();
  EXPECT_EQ(Sent(), std::vector<int>{XA_MSG_COMMAND_STOP});
  EXPECT_EQ(form->CurrTime->text(), "00:00");
  EXPECT_EQ(form->lblDisplay2->text(), "00:00");
  EXPECT_EQ(form->PosBar->Position(), 0);
  // The end of a song also clears the flag.
  Notify([&] {
    engine.PostPlayerState(XA_PLAYER_STATE_PLAYING);
    engine.PostPlayerState(XA_PLAYER_STATE_EOF);
  });
  EXPECT_FALSE(form->Playing);
}

TEST_F(TransportTest, PositionBarSeeksByPixel) {
  for (auto [x, offset] : {std::pair{0, 0}, {145, 395}, {74, 201}}) {
    Press(form->PosBar, x);
    EXPECT_EQ(form->PosBar->Position(), offset) << x;
    EXPECT_EQ(LastSeek(), offset) << x;
  }
  Press(form->PosBar, 10, Qt::RightButton);  // any button seeks
  EXPECT_EQ(LastSeek(), 27);
  Drag(form->PosBar, 147);
  EXPECT_EQ(LastSeek(), 400);
  // Beyond either end the bar stays and the seek is sent again to where it stands.
  for (int x : {148, 300, -1, -40}) {
    engine.ClearCommands();
    Drag(form->PosBar, x);
    EXPECT_EQ(LastSeek(), 400) << x;
  }
  engine.ClearCommands();
  Mouse(form->PosBar, QEvent::MouseMove, 50, Qt::NoButton, Qt::NoButton);
  EXPECT_TRUE(Sent().empty()) << "a move without the left button";
}

TEST_F(TransportTest, VolumeBarSetsLevelAndHint) {
  for (auto [x, level] : {std::pair{74, 50}, {145, 99}, {0, 0}}) {
    Press(form->VolBar, x);
    EXPECT_EQ(form->VolBar->Position(), level) << x;
    EXPECT_EQ(LastVolume(), level) << x;
  }
  Drag(form->VolBar, 147);
  EXPECT_EQ(form->VolBar->toolTip(), "Volume: 100%");
  Drag(form->VolBar, 148);
  Drag(form->VolBar, -3);
  EXPECT_EQ(form->VolBar->Position(), 100);
  EXPECT_EQ(LastVolume(), 100);

  // New songs and changed engine levels are pulled back to the bar.
  form->VolumeUpdate(30);
  for (auto post : {+[](FakeXaudioEngine& e) { e.PostStreamInfo(128); },
                    +[](FakeXaudioEngine& e) { e.PostPcmLevel(80); }}) {
    engine.ClearCommands();
    Notify([&] { post(engine); });
    EXPECT_EQ(LastVolume(), 30);
  }
}

TEST_F(TransportTest, TimesShowElapsedOrRemaining) {
  form->Songlbl->SetCaption("Intro");
  Notify([&] { engine.PostDuration(125); });
  EXPECT_EQ(form->Totlbl->text(), "02:05");
  Notify([&] {
    engine.PostDuration(59);
    engine.PostTimecode(0, 0, 7);
  });
  EXPECT_EQ(form->Totlbl->text(), "00:59");
  EXPECT_EQ(form->CurrTime->text(), "00:07");
  EXPECT_EQ(form->TrayHint, "Intro / 00:07");

  QTest::mouseClick(form->CurrTime, Qt::LeftButton);
  EXPECT_TRUE(form->ReverseTime);
  EXPECT_EQ(form->CurrTime->text(), "00:07") << "changes at the next timecode";
  Notify([&] {
    engine.PostDuration(250);
    engine.PostTimecode(0, 2, 3);
  });
  EXPECT_EQ(form->CurrTime->text(), "-02:07");
  EXPECT_EQ(form->lblDisplay2->text(), "-02:07");
  EXPECT_EQ(form->TrayHint, "Intro / -02:07");
  // Past the duration the remaining time stays at zero.
  Notify([&] { engine.PostTimecode(0, 4, 12); });
  EXPECT_EQ(form->CurrTime->text(), "-00:00");

  // An hour and more: whole minutes.
  QTest::mouseClick(form->lblDisplay2, Qt::LeftButton);
  EXPECT_FALSE(form->ReverseTime);
  QTest::mouseDClick(form->lblDisplay2, Qt::LeftButton);
  EXPECT_FALSE(form->ReverseTime) << "a double click is two clicks";
  Notify([&] {
    engine.PostDuration(75 * 60 + 12);
    engine.PostTimecode(1, 2, 3);
  });
  EXPECT_EQ(form->Totlbl->text(), "75:12");
  EXPECT_EQ(form->CurrTime->text(), "62:03");
}

TEST_F(TransportTest, PositionAndStreamInformationShow) {
  Notify([&] { engine.PostPosition(200); });
  EXPECT_EQ(form->PosBar->Position(), 200);
  EXPECT_EQ(form->PosBar->toolTip(), "Position: 50%");
  Notify([&] { engine.PostPosition(399); });
  EXPECT_EQ(form->PosBar->toolTip(), "Position: 99%");
  Notify([&] { engine.PostPosition(1000, 1000); });
  EXPECT_EQ(form->PosBar->Position(), 399);

  Notify([&] { engine.PostStreamInfo(64, XA_STREAM_MODE_SINGLE_CHANNEL); });
  EXPECT_EQ(form->Bitratelbl->text(), "64 KBs");
  EXPECT_EQ(form->Stereolbl->text(), "MONO");
  for (int mode : {0, 1, 2}) {
    Notify([&] { engine.PostStreamInfo(320, uint8_t(mode)); });
    EXPECT_EQ(form->Stereolbl->text(), "STEREO") << mode;
  }
  EXPECT_EQ(form->Bitratelbl->text(), "320 KBs");
}

TEST_F(TransportTest, EngineMessagesReachTheUser) {
  LoadOneSong();
  form->Repeat = true;
  Notify([&] { engine.PostCodecQuality(3); });
  Notify([&] { engine.PostError("cannot read the file"); });
  EXPECT_EQ(messages,
            (std::vector<std::string>{"3", "Error cannot read the file /music/Disc/01 Intro.mp3"}));
  EXPECT_EQ(Sent(), std::vector<int>{XA_MSG_COMMAND_STOP});
  EXPECT_EQ(form->CurrentRow, 1);
  EXPECT_TRUE(form->Repeat);
}

}  // namespace
