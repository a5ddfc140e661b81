// The drive list: a picture before every item, 8-bit item texts, OnChange on user picks.
#include "phComboBox.h"

#include <gtest/gtest.h>

#include <QTest>

#include "Pixels.h"

namespace {

QPixmap Flat(QColor c) {
  QPixmap p(16, 16);
  p.fill(c);
  return p;
}

TEST(phComboBoxTest, EveryItemShowsThePicture) {
  TphComboBox combo;
  combo.resize(160, 24);
  combo.SetImages({Flat(Qt::red), Flat(Qt::blue)});
  combo.AddItem("/media/cdrom");
  combo.SetImageIndex(1);
  combo.AddItem("/media/cd\xC3\xA9");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(combo.itemIcon(i).pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::blue)) << i;
  }
  EXPECT_EQ(combo.Item(1), "/media/cd\xC3\xA9");
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.Text(), "/media/cd\xC3\xA9");
  EXPECT_TRUE(CountColour(combo.grab().toImage(), Qt::blue) > 0);

  combo.SetImageIndex(-1);
  EXPECT_TRUE(combo.itemIcon(0).isNull());
  EXPECT_FALSE(CountColour(combo.grab().toImage(), Qt::blue) > 0);
  EXPECT_EQ(combo.Item(5), "");
}

TEST(phComboBoxTest, OnChangeOnlyForUserPicks) {
  TphComboBox combo;
  combo.AddItem("/");
  combo.AddItem("/home");
  int changes = 0;
  combo.OnChange = [&] { ++changes; };
  combo.SetItemIndex(1);
  EXPECT_EQ(changes, 0);
  combo.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
  QTest::keyClick(&combo, Qt::Key_Up);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(combo.Text(), "/");
}

}  // namespace
