// The keyboard over the fake engine, driven by real key events handed to the window as the
// platform hands them: the single-key table and its guards, the seek and volume steps, and
// the Ctrl shortcuts whatever control has the focus.
#include <QCheckBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>
#include <QWindow>

#include "AlbumTest.h"
#include "DialogProbe.h"
#include "GradProgress.h"

namespace {

using Lines = std::vector<std::string>;

// Two discs: A with a1 and a2, B with b1.
class KeysTest : public AlbumTest {
 protected:
  KeysTest() {
    for (const char* song : {"A/a1.mp3", "A/a2.mp3", "B/b1.mp3"})
      WriteFiles(disk + "/Music", {{song, Tagged(song)}});
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    Load(disk + "/Music");
    engine.ClearCommands();
  }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form->windowHandle(), key, modifiers);
  }
  void Report(int32_t state) {
    engine.PostPlayerState(state);
    ASSERT_TRUE(engine.WaitDrained());
  }
  std::vector<int> Sent() {
    std::vector<int> codes = engine.CommandCodes();
    engine.ClearCommands();
    return codes;
  }
  // The last command: its code, then its integers.
  std::vector<int> Last() {
    FakeXaudioCommand c = engine.LastCommand();
    c.Ints.insert(c.Ints.begin(), c.Code);
    return c.Ints;
  }
  std::string Song() const { return form->Session.TAB.Cells(2, form->Session.CurrentRow); }
};

TEST_F(KeysTest, PageModeAndNavigationKeysRunTheirButtons) {
  Key(Qt::Key_3);
  EXPECT_EQ(form->CurrentPage(), "page2");
  Key(Qt::Key_2);
  EXPECT_EQ(form->CurrentPage(), "page1");
  Key(Qt::Key_1);
  EXPECT_EQ(form->CurrentPage(), "Page0");

  Key(Qt::Key_R);
  Key(Qt::Key_A);
  EXPECT_TRUE(form->Session.Repeat);
  EXPECT_TRUE(form->Session.Album);
  Key(Qt::Key_A);
  Key(Qt::Key_S);
  EXPECT_FALSE(form->Session.Album);
  EXPECT_TRUE(form->Session.Shuffle);
  Key(Qt::Key_S);
  EXPECT_FALSE(form->Session.Shuffle);
  // Shift, Ctrl and lower case make no difference.
  Key(Qt::Key_R, Qt::ControlModifier);
  EXPECT_FALSE(form->Session.Repeat);
  Key(Qt::Key_R, Qt::ShiftModifier);
  EXPECT_TRUE(form->Session.Repeat);
  QTest::keyClick(form->windowHandle(), 'r');
  EXPECT_FALSE(form->Session.Repeat);
  // Keypad digits are other keys.
  Key(Qt::Key_3, Qt::KeypadModifier);
  EXPECT_EQ(form->CurrentPage(), "Page0");

  EXPECT_EQ(Song(), "/A/a1.mp3");
  Key(Qt::Key_PageDown);
  EXPECT_EQ(Song(), "/A/a2.mp3");
  Key(Qt::Key_PageUp);
  EXPECT_EQ(Song(), "/A/a1.mp3");
  Key(Qt::Key_End);
  EXPECT_EQ(Song(), "/B/b1.mp3");
  Key(Qt::Key_End);  // no disc after the last
  EXPECT_EQ(Song(), "/B/b1.mp3");
  Key(Qt::Key_Home);
  EXPECT_EQ(Song(), "/A/a1.mp3");
}

TEST_F(KeysTest, SpacePlaysWhenStoppedAndPausesWhilePlaying) {
  Key(Qt::Key_Space);
  EXPECT_EQ(Sent(), std::vector<int>{XA_MSG_COMMAND_PLAY});
  Report(XA_PLAYER_STATE_PLAYING);
  Key(Qt::Key_Space);
  EXPECT_EQ(Sent(), std::vector<int>{XA_MSG_COMMAND_PAUSE});
}

TEST_F(KeysTest, ArrowsStepTheVolumeAlwaysAndSeekOnlyWhilePlaying) {
  form->VolumeUpdate(97);
  Key(Qt::Key_Up);
  EXPECT_EQ(form->VolBar->Position(), 100);
  EXPECT_EQ(form->VolBar->toolTip(), "Volume: 100%");
  EXPECT_EQ(Last(), (std::vector<int>{XA_MSG_SET_OUTPUT_VOLUME, 255, 100, 255}));
  Key(Qt::Key_Down);
  EXPECT_EQ(form->VolBar->Position(), 95);
  form->VolumeUpdate(3);
  Key(Qt::Key_Down);
  EXPECT_EQ(form->VolBar->Position(), 0);
  EXPECT_EQ(form->VolBar->toolTip(), "Volume: 0%");
  EXPECT_EQ(Last(), (std::vector<int>{XA_MSG_SET_OUTPUT_VOLUME, 255, 0, 255}));

  form->Session.SetPosition(200);
  engine.ClearCommands();
  Key(Qt::Key_Left);
  Key(Qt::Key_Right);
  EXPECT_TRUE(Sent().empty()) << "stopped: no seeking";
  EXPECT_EQ(form->PosBar->Position(), 200);

  Report(XA_PLAYER_STATE_PLAYING);
  Key(Qt::Key_Right);
  EXPECT_EQ(form->PosBar->Position(), 210);
  EXPECT_EQ(Last(), (std::vector<int>{XA_MSG_COMMAND_INPUT_SEEK, 210, 400}));
  // At either end the bar stays and the seek goes where it stands.
  form->Session.SetPosition(5);
  Key(Qt::Key_Left);
  EXPECT_EQ(form->PosBar->Position(), 5);
  EXPECT_EQ(Last(), (std::vector<int>{XA_MSG_COMMAND_INPUT_SEEK, 5, 400}));
  form->Session.SetPosition(395);
  Key(Qt::Key_Right);
  EXPECT_EQ(Last(), (std::vector<int>{XA_MSG_COMMAND_INPUT_SEEK, 395, 400}));
}

TEST_F(KeysTest, EnterAndTheShortcutsOpenTheirDialogsOnExactKeysOnly) {
  EXPECT_TRUE(Opens(form2, [&] { Key(Qt::Key_Return); }));
  EXPECT_TRUE(Opens(form2, [&] { Key(Qt::Key_O, Qt::ControlModifier); }));
  EXPECT_FALSE(Opens(form2, [&] { Key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier); }));
  EXPECT_FALSE(Opens(form2, [&] { Key(Qt::Key_O, Qt::AltModifier); }));
  EXPECT_TRUE(Opens(form4, [&] { Key(Qt::Key_S, Qt::ControlModifier); }));
  EXPECT_FALSE(form->Session.Shuffle) << "the release of S went to the dialog";

  Key(Qt::Key_M, Qt::ControlModifier);
  EXPECT_TRUE(form->MicroMode());
  Key(Qt::Key_M, Qt::ControlModifier);
  EXPECT_FALSE(form->MicroMode());
}

TEST_F(KeysTest, TheGuardsKeepTheKeysFromThePresetFieldAndTheSelectors) {
  Key(Qt::Key_3);
  QTest::mouseClick(form->PresetEdit, Qt::LeftButton, {}, QPoint(20, 7));
  ASSERT_TRUE(form->PresetEditing);
  Key(Qt::Key_End);
  for (Qt::Key key : {Qt::Key_R, Qt::Key_S, Qt::Key_1, Qt::Key_Space, Qt::Key_Up})
    QTest::keyClick(form->windowHandle(), key);
  EXPECT_FALSE(form->Session.Repeat);
  EXPECT_FALSE(form->Session.Shuffle);
  EXPECT_EQ(form->CurrentPage(), "page2");
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(form->PresetEdit->text(), "Defaultrs1 ") << "the field still gets its typing";
  // Enter leaves the field without opening the source dialog; then keys work again.
  EXPECT_FALSE(Opens(form2, [&] { Key(Qt::Key_Return); }));
  EXPECT_FALSE(form->PresetEditing);
  Key(Qt::Key_R);
  EXPECT_TRUE(form->Session.Repeat);

  form->ShowPage("pagedisc");
  Key(Qt::Key_R);
  Key(Qt::Key_Space);
  Key(Qt::Key_Up);
  form->ShowPage("pagesong");
  Key(Qt::Key_S);
  Key(Qt::Key_Left);
  EXPECT_TRUE(form->Session.Repeat);
  EXPECT_FALSE(form->Session.Shuffle);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(KeysTest, CtrlXInThePresetFieldClosesTheProgram) {
  Key(Qt::Key_3);
  QTest::mouseClick(form->PresetEdit, Qt::LeftButton, {}, QPoint(20, 7));
  ASSERT_TRUE(form->PresetEdit->hasFocus());
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Sent(), (std::vector<int>{XA_MSG_COMMAND_STOP, XA_MSG_COMMAND_EXIT}));
}

// The equalizer controls hand the focus back, so Space is not taken by them.
TEST_F(KeysTest, SpaceReachesTheWindowAfterAnEqualizerControl) {
  Key(Qt::Key_3);
  QTest::mouseClick(form->AbilitaEQU, Qt::LeftButton);
  const bool enabled = form->AbilitaEQU->isChecked();
  engine.ClearCommands();
  Key(Qt::Key_Space);
  EXPECT_EQ(Sent(), std::vector<int>{XA_MSG_COMMAND_PLAY});
  EXPECT_EQ(form->AbilitaEQU->isChecked(), enabled);
}

}  // namespace
