// Menus built at run time: indices and captions reported by a click, rebuilding, breaks.
#include "WPopupMenu.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

TEST(WPopupMenuTest, ClickReportsIndexAndCaption) {
  TWPopupMenu menu;
  const std::vector<std::string> names = {"Default", "Rock &Roll", "Caf\xC3\xA9"};
  for (const std::string& n : names) menu.AddMenuItem(n);
  TWPopupMenu* sender = nullptr;
  int index = -1;
  std::string caption;
  menu.OnClick = [&](TWPopupMenu* s, int i, const std::string& c) {
    sender = s;
    index = i;
    caption = c;
  };
  for (int pick : {1, 2}) {
    menu.popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    QAction* item = menu.actions().at(pick);
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(item).center());
    EXPECT_EQ(sender, &menu);
    EXPECT_EQ(index, pick);
    EXPECT_EQ(caption, names[pick]);
    EXPECT_FALSE(menu.isVisible());
  }
  EXPECT_EQ(menu.actions().at(2)->text(), QString::fromUtf8("Caf\xC3\xA9"));
  // A rebuilt menu counts from 0 again.
  menu.Clear();
  menu.AddMenuItem("Jazz")->trigger();
  EXPECT_EQ(menu.actions().size(), 1);
  EXPECT_EQ(index, 0);
}

TEST(WPopupMenuTest, EveryBreakAtItemGetsTheBreakType) {
  TWPopupMenu menu;
  menu.SetBreakAt(3);
  menu.SetBreakType(mbBarBreak);
  for (int i = 0; i < 7; ++i) menu.AddMenuItem("item");
  std::vector<TMenuBreak> breaks;
  for (int i = 0; i < 7; ++i) breaks.push_back(menu.ItemBreak(i));
  const std::vector<TMenuBreak> want = {mbNone, mbNone,     mbBarBreak, mbNone,
                                        mbNone, mbBarBreak, mbNone};
  EXPECT_EQ(breaks, want);
}

}  // namespace
