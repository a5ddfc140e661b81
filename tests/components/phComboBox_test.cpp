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

TEST(phComboBoxTest, PicturesTextsAndChanges) {
  TphComboBox combo;
  combo.resize(160, 24);
  combo.SetImages({Flat(Qt::red), Flat(Qt::blue)});
  combo.AddItem("/media/cdrom");
  combo.SetImageIndex(1);
  combo.AddItem("/media/cd\xC3\xA9\xFF");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(combo.itemIcon(i).pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::blue)) << i;
  }
  EXPECT_EQ(combo.Item(1), "/media/cd\xC3\xA9\xFF");
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.Text(), "/media/cd\xC3\xA9\xFF");
  EXPECT_GT(CountColour(combo.grab().toImage(), Qt::blue), 0);

  combo.SetImageIndex(-1);
  EXPECT_TRUE(combo.itemIcon(0).isNull());
  EXPECT_EQ(CountColour(combo.grab().toImage(), Qt::blue), 0);

  // OnChange only for the user's picks.
  int changes = 0;
  combo.OnChange = [&] { ++changes; };
  combo.SetItemIndex(1);
  combo.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
  QTest::keyClick(&combo, Qt::Key_Up);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(combo.Text(), "/media/cdrom");
}

}  // namespace
