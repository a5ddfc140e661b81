// The disc and song selectors, driven by real mouse and key events.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include "AlbumTest.h"
#include "RunLabel.h"

namespace {

class SelectorTest : public AlbumTest {
 protected:
  SelectorTest() {
    WriteFiles(disk, {{"Music/A/01.mp3", Tagged("One")},
                      {"Music/A/02.mp3", Tagged("Two")},
                      {"Music/A/03.mp3", Tagged("Three")},
                      {"Music/B/01.mp3", Tagged("Bee")}});
    Load(disk + "/Music");
    form->show();
    QApplication::setActiveWindow(form.get());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    engine.ClearCommands();
  }

  void ClickItem(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
  }

  static int Highlighted(const QListWidget* list) {
    return list->currentItem() && list->currentItem()->isSelected() ? list->currentRow() : -1;
  }
};

TEST_F(SelectorTest, DiscTitleOpensTheDiscSelectorAndAClickLoadsTheDisc) {
  QTest::mouseClick(form->CDlbl, Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(form->CurrentPage(), "pagedisc");
  EXPECT_EQ(Highlighted(form->CDList), 0);
  EXPECT_TRUE(form->TimerSelector->isActive());
  EXPECT_TRUE(form->CDList->hasFocus());

  ClickItem(form->CDList, 1);
  EXPECT_EQ(form->CurrentPage(), "Page0");
  EXPECT_FALSE(form->TimerSelector->isActive());
  EXPECT_EQ(form->Songlbl->Caption(), "1. Bee");
  EXPECT_EQ(form->Session.CurrentRow, 4);
  EXPECT_EQ(Codes(), (std::vector<int>{XA_MSG_COMMAND_STOP, XA_MSG_COMMAND_INPUT_OPEN,
                                       XA_MSG_COMMAND_PLAY}));
}

TEST_F(SelectorTest, SongPickPlaysOnlyWhenPlayingOrAutoStart) {
  form->Session.AutoStart = false;
  QTest::mouseClick(form->Songlbl, Qt::RightButton, {}, QPoint(20, 10));
  ASSERT_EQ(form->CurrentPage(), "pagesong");
  QTest::keyClick(form->SongList, Qt::Key_Down);
  QTest::keyClick(form->SongList, Qt::Key_Down);
  QTest::keyClick(form->SongList, Qt::Key_Return);
  EXPECT_EQ(form->CurrentPage(), "Page0");
  EXPECT_EQ(form->Session.CurrentRow, 3);
  EXPECT_EQ(form->Songlbl->Caption(), "3. Three");
  EXPECT_EQ(Codes(), (std::vector<int>{XA_MSG_COMMAND_STOP, XA_MSG_COMMAND_INPUT_OPEN}));

  form->Session.Playing = true;
  form->SonglblMouseUp();
  EXPECT_EQ(Highlighted(form->SongList), 2);
  ClickItem(form->SongList, 0);
  EXPECT_EQ(form->Session.CurrentRow, 1);
  EXPECT_EQ(Codes().back(), XA_MSG_COMMAND_PLAY);
}

TEST_F(SelectorTest, EscapeHeaderAndTimerClose) {
  form->CDlblMouseUp();
  QTest::keyClick(form->CDList, Qt::Key_Escape);
  EXPECT_EQ(form->CurrentPage(), "Page0");
  EXPECT_FALSE(form->TimerSelector->isActive());
  form->SonglblMouseUp();
  QTest::mouseClick(form->PanelSELsong, Qt::LeftButton, {}, QPoint(80, 7));
  EXPECT_EQ(form->CurrentPage(), "Page0");

  // Moving over the list and releasing keys restart the countdown (a precise timer, so
  // the time left tells a restart from a rounding).
  form->TimerSelector->setTimerType(Qt::PreciseTimer);
  form->TimerSelector->setInterval(10000);
  form->CDlblMouseUp();
  QTest::qWait(30);
  int left = form->TimerSelector->remainingTime();
  QMouseEvent move(QEvent::MouseMove, QPoint(30, 5), QPoint(30, 5), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(form->CDList->viewport(), &move);
  EXPECT_GT(form->TimerSelector->remainingTime(), left);
  QTest::qWait(30);
  left = form->TimerSelector->remainingTime();
  QTest::keyClick(form->CDList, Qt::Key_A);
  EXPECT_GT(form->TimerSelector->remainingTime(), left);

  form->TimerSelector->setInterval(20);
  form->TimerSelector->start();
  QTRY_COMPARE_WITH_TIMEOUT(form->CurrentPage(), std::string("Page0"), 5000);
  EXPECT_TRUE(Codes().empty());
}

TEST_F(SelectorTest, NoMatchHighlightsNothingAndThePickDoesNothing) {
  form->CDlbl->SetCaption("SOMETHING ELSE");
  form->CDlblMouseUp();
  EXPECT_EQ(Highlighted(form->CDList), -1);
  QTest::keyClick(form->CDList, Qt::Key_Return);
  form->CDListMouseUp();
  EXPECT_EQ(form->CurrentPage(), "pagedisc");
  EXPECT_TRUE(Codes().empty());
}

TEST_F(SelectorTest, ShuffledAlbumModeKeepsTheSelectorsClosed) {
  form->Session.Shuffle = form->Session.Album = true;
  QTest::mouseClick(form->CDlbl, Qt::LeftButton, {}, QPoint(20, 10));
  QTest::mouseClick(form->Songlbl, Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(form->CurrentPage(), "Page0");
  EXPECT_FALSE(form->TimerSelector->isActive());
}

}  // namespace
