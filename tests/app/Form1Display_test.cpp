// Display pages, the micro window and dragging the main window.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTest>

#include "CoolButton.h"
#include "FEJpeg.h"
#include "SkinWriter.h"
#include "WPopupMenu.h"
#include "WindowTest.h"

namespace {

class DisplayTest : public WindowTest {
 protected:
  DisplayTest() {
    WriteSkin(SkinFolder("DEFAULT"), QColor(40, 40, 90));
    form->LoadSkin(SkinFolder("DEFAULT"));
  }

  void ShowWindow() {
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  // A mouse event as the window system delivers it to widget, at pos in its coordinates.
  static void Send(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                   Qt::MouseButtons held) {
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }
};

TEST_F(DisplayTest, PagesAreChosenByNameAndByTheirButtons) {
  ShowWindow();
  EXPECT_EQ(form->CurrentPage(), "Page0");
  form->ShowPage("PAGESONG");
  EXPECT_EQ(form->CurrentPage(), "pagesong");
  form->ShowPage("no such page");
  EXPECT_EQ(form->CurrentPage(), "pagesong");
  EXPECT_TRUE(form->Display->hasFocus());

  QTest::mouseClick(form->modeequbtn, Qt::LeftButton, {}, QPoint(10, 9));
  EXPECT_EQ(form->CurrentPage(), "page2");
  QTest::mouseClick(form->modeimagebtn, Qt::LeftButton, {}, QPoint(10, 9));
  EXPECT_EQ(form->CurrentPage(), "page1");
  // A click on the album picture goes back to the play page.
  QTest::mouseClick(form->CDImage, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_EQ(form->CurrentPage(), "Page0");
}

TEST_F(DisplayTest, DoubleClicksSwitchToTheMicroWindowAndBack) {
  ShowWindow();
  form->ShowPage("page2");
  const QPoint corner = form->pos();
  QTest::mouseDClick(form->Sfondo, Qt::LeftButton, {}, QPoint(100, 5));
  EXPECT_EQ(form->size(), QSize(209, 38));
  EXPECT_TRUE(form->MicroMode());
  EXPECT_TRUE(form->MicroPanel->isVisible());
  EXPECT_EQ(form->pos(), corner);

  // The time label's double click is its own; it does not leave the micro window.
  QTest::mouseDClick(form->lblDisplay2, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(form->MicroMode());

  QTest::mouseDClick(form->MicroImage, Qt::LeftButton, {}, QPoint(100, 30));
  EXPECT_EQ(form->size(), QSize(196, 170));
  EXPECT_FALSE(form->MicroPanel->isVisible());
  EXPECT_EQ(form->CurrentPage(), "page2");
}

TEST_F(DisplayTest, DraggingMovesTheWindowAndReleaseKeepsItOnTheScreen) {
  ShowWindow();
  const QRect bounds = form->DragBounds();
  form->move(bounds.topLeft() + QPoint(100, 100));
  Send(form->Sfondo, QEvent::MouseButtonPress, {50, 60}, Qt::LeftButton, Qt::LeftButton);
  Send(form->Sfondo, QEvent::MouseMove, {60, 40}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(form->pos(), bounds.topLeft() + QPoint(110, 80));
  // Moves without the left button do nothing.
  Send(form->Sfondo, QEvent::MouseMove, {0, 0}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(form->pos(), bounds.topLeft() + QPoint(110, 80));

  // Partly above and left of the screen: pulled back to its edges.
  form->move(bounds.topLeft() + QPoint(-30, -20));
  form->SfondoMouseUp(false, 10, 10);
  EXPECT_EQ(form->pos(), bounds.topLeft());
  // Past the right and bottom edges.
  form->move(bounds.bottomRight());
  form->SfondoMouseUp(false, 10, 10);
  EXPECT_EQ(form->pos(),
            QPoint(bounds.x() + bounds.width() - 196, bounds.y() + bounds.height() - 170));
}

TEST_F(DisplayTest, RightButtonOpensTheMainMenuOnlyInTheMicroWindow) {
  ShowWindow();
  Send(form->Sfondo, QEvent::MouseButtonRelease, {40, 40}, Qt::RightButton, Qt::NoButton);
  EXPECT_FALSE(form->MAINmenu2->isVisible());

  form->Microview1Click();
  Send(form->MicroSong, QEvent::MouseButtonRelease, {20, 5}, Qt::RightButton, Qt::NoButton);
  EXPECT_TRUE(form->MAINmenu2->isVisible());
  form->MAINmenu2->close();
}

TEST_F(DisplayTest, CloseButtonsCloseTheWindowAndStopTheDecoder) {
  ShowWindow();
  QTest::mouseClick(form->closebtn, Qt::LeftButton, {}, QPoint(7, 6));
  EXPECT_FALSE(form->isVisible());
  const std::vector<int> codes = engine.CommandCodes();
  ASSERT_GE(codes.size(), 2u);
  EXPECT_EQ(codes[codes.size() - 2], XA_MSG_COMMAND_STOP);
  EXPECT_EQ(codes.back(), XA_MSG_COMMAND_EXIT);

  ShowWindow();
  form->Microview1Click();
  QTest::mouseClick(form->btnClose2, Qt::LeftButton, {}, QPoint(8, 9));
  EXPECT_FALSE(form->isVisible());
}

}  // namespace
