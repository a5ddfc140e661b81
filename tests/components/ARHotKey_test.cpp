// Window-wide shortcuts: the chain of components on one window, exact matching of the
// shortcut code, and keys reaching them whatever control has the focus.
#include "ARHotKey.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include "PlainWindow.h"

namespace {

class HotKeyTest : public testing::Test {
 protected:
  void SetUp() override {
    field = new QLineEdit(&window);
    field->setGeometry(5, 5, 80, 20);
    for (int i = 0; i < 3; ++i) {
      keys[i] = new TARHotKey(&window);
      keys[i]->OnPressed = [this, i](QObject* sender) {
        EXPECT_EQ(sender, keys[i]);
        pressed.push_back(i);
      };
    }
    keys[0]->HotKey = TARHotKey::scCtrl + 'O';
    keys[1]->HotKey = TARHotKey::scCtrl + TARHotKey::scShift + 'O';
    keys[2]->HotKey = TARHotKey::scAlt + 'X';
    ASSERT_TRUE(window.ShowAndWait());
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(window.windowHandle(), key, modifiers);
  }

  PlainWindow window{100, 50, Qt::white};
  QLineEdit* field = nullptr;
  TARHotKey* keys[3] = {};
  std::vector<int> pressed;
};

TEST_F(HotKeyTest, OnlyTheExactCodeRaisesItsComponent) {
  EXPECT_EQ(keys[0]->HotKey, 16463);
  Key(Qt::Key_O, Qt::ControlModifier);
  Key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
  Key(Qt::Key_X, Qt::AltModifier);
  Key(Qt::Key_O, Qt::NoModifier);
  Key(Qt::Key_O, Qt::ControlModifier | Qt::AltModifier);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(pressed, (std::vector<int>{0, 1, 2}));
}

TEST_F(HotKeyTest, AModifierAloneIsNoShortcutAndTheFocusDoesNotMatter) {
  keys[0]->HotKey = TARHotKey::scCtrl + 17;  // what Ctrl alone would make
  Key(Qt::Key_Control, Qt::ControlModifier);
  EXPECT_TRUE(pressed.empty());

  field->setFocus();
  keys[0]->HotKey = TARHotKey::scCtrl + 'O';
  Key(Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(pressed, std::vector<int>{0});
}

// A component without a handler still passes the key on along the chain.
TEST_F(HotKeyTest, EveryComponentOfTheChainSeesTheKey) {
  keys[2]->OnPressed = nullptr;
  keys[2]->HotKey = keys[0]->HotKey;
  keys[1]->HotKey = keys[0]->HotKey;
  Key(Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(pressed, (std::vector<int>{0, 1}));
}

TEST(KeyPreviewTest, KeypadDigitsAreNotTheMainRow) {
  EXPECT_EQ(TKeyPreview::VirtualKey(Qt::Key_1, Qt::NoModifier), 49);
  EXPECT_EQ(TKeyPreview::VirtualKey(Qt::Key_1, Qt::KeypadModifier), 97);
  EXPECT_EQ(TKeyPreview::VirtualKey(Qt::Key_Enter, Qt::KeypadModifier), 13);
  EXPECT_EQ(TKeyPreview::VirtualKey(Qt::Key_Exclam, Qt::ShiftModifier), 0);
}

}  // namespace
