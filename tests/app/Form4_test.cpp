// The Select Skin dialog on its own: its list and the ways it ends.
#include "Form4.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class Form4Test : public testing::Test {
 protected:
  Form4Test() {
    for (const char* name : {"zinc", "Amber", "DEFAULT", "amber", "blue"}) dialog.AddSkin(name);
    dialog.OnPreview = [this](const std::string& name) { previews.push_back(name); };
  }

  // Runs the dialog; while it is open, during() drives it.
  int Run(const std::function<void()>& during) {
    QTimer::singleShot(0, [during] { during(); });
    // A dialog that did not end in time ends with 0, which fails the test.
    QTimer::singleShot(5000, &dialog, [this] { dialog.done(0); });
    return dialog.exec();
  }

  void ClickRow(int row, bool twice = false) {
    const QPoint at = dialog.Skinbox->visualItemRect(dialog.Skinbox->item(row)).center();
    QTest::mouseClick(dialog.Skinbox->viewport(), Qt::LeftButton, {}, at);
    if (!twice) return;
    // The second click of a double click, as the window system delivers it.
    for (const QEvent::Type type : {QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, dialog.Skinbox->viewport()->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonDblClick ? Qt::LeftButton : Qt::NoButton,
                        Qt::NoModifier);
      QApplication::sendEvent(dialog.Skinbox->viewport(), &event);
    }
  }

  TForm4 dialog;
  std::vector<std::string> previews;
};

TEST_F(Form4Test, ListIsSortedWithoutRegardToCaseAndKeepsDuplicates) {
  std::vector<std::string> names;
  for (int i = 0; i < dialog.Skinbox->count(); ++i)
    names.push_back(dialog.Skinbox->item(i)->text().toStdString());
  ASSERT_EQ(names.size(), 5u);
  EXPECT_TRUE(QString::fromStdString(names[0]).compare("amber", Qt::CaseInsensitive) == 0);
  EXPECT_TRUE(QString::fromStdString(names[1]).compare("amber", Qt::CaseInsensitive) == 0);
  EXPECT_EQ(names[2], "blue");
  EXPECT_EQ(names[3], "DEFAULT");
  EXPECT_EQ(names[4], "zinc");
}

TEST_F(Form4Test, OkAndDoubleClickEndWithOne) {
  EXPECT_EQ(Run([&] {
              ClickRow(2);
              QTest::mouseClick(dialog.OKbtn, Qt::LeftButton);
            }),
            1);
  EXPECT_EQ(previews, std::vector<std::string>{"blue"});
  EXPECT_EQ(Run([&] { ClickRow(4, true); }), 1);
  EXPECT_EQ(previews.back(), "zinc");
}

TEST_F(Form4Test, CancelEscapeAndClosingEndWithTwo) {
  EXPECT_EQ(Run([&] { QTest::mouseClick(dialog.Cancelbtn, Qt::LeftButton); }), 2);
  EXPECT_EQ(Run([&] {
              QTest::keyPress(&dialog, Qt::Key_Escape);
              // Pressing alone does not end it; releasing does.
              EXPECT_TRUE(dialog.isVisible());
              QTest::keyRelease(&dialog, Qt::Key_Escape);
            }),
            2);
  EXPECT_EQ(Run([&] {
              dialog.SkinboxClick();  // a click beside the entries selects nothing
              dialog.close();
            }),
            2);
  EXPECT_TRUE(previews.empty());
}

}  // namespace
