// The link label: hover look and cursor, and what a click hands to the desktop.
#include "Legacy.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "AppLauncher.h"
#include "Pixels.h"

namespace {

// Records starts instead of opening a browser.
class FakeLauncher : public platform::AppLauncher {
 public:
  int Start(const std::string& program, const std::vector<std::string>& args) override {
    calls.push_back(program);
    for (const std::string& a : args) calls.back() += " " + a;
    busy =
        QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
    return 2;
  }
  std::vector<std::string> calls;
  bool busy = false;
};

class LegacyTest : public testing::Test {
 protected:
  void SetUp() override { platform::SetLauncher(&fake_); }
  void TearDown() override { platform::SetLauncher(nullptr); }
  FakeLauncher fake_;
};

TEST_F(LegacyTest, HoverUnderlinesInTheActiveColour) {
  QWidget window;
  window.resize(200, 60);
  TLegacy link(&window);
  link.setGeometry(10, 10, 150, 24);
  link.SetCaption("www.example.org");
  link.SetActiveColor(Qt::darkBlue);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_FALSE(CountColour(link.grab().toImage(), Qt::darkBlue) > 0);

  QTest::mouseMove(&window, QPoint(5, 5));
  QTest::mouseMove(&link, QPoint(20, 12));
  ASSERT_TRUE(link.Hot());
  EXPECT_TRUE(link.font().underline());
  EXPECT_TRUE(CountColour(link.grab().toImage(), Qt::darkBlue) > 0);

  QTest::mouseMove(&window, QPoint(190, 55));
  ASSERT_FALSE(link.Hot());
  EXPECT_FALSE(link.font().underline());
  EXPECT_FALSE(CountColour(link.grab().toImage(), Qt::darkBlue) > 0);
}

TEST_F(LegacyTest, ClickOpensTheAddress) {
  TLegacy link;
  link.resize(150, 24);
  link.SetAddress("http://www.example.org/");
  link.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&link));
  QTest::mouseClick(&link, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_TRUE(fake_.calls.empty());
  std::vector<std::string> failures;
  link.OnOpenFailed = [&](TLegacy* sender, const std::string& reason) {
    EXPECT_EQ(sender, &link);
    failures.push_back(reason);
  };
  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
  // The fake's start fails as a missing opener does, and the link says so.
  EXPECT_EQ(failures, std::vector<std::string>{
                          "xdg-open was not found; it comes with the package xdg-utils"});
  link.SetAddress("someone@example.org");
  link.SetAddressType(atMail);
  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseDClick(&link, Qt::LeftButton, {}, QPoint(5, 5));  // ends the same double click
  QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(5, 5));
  const std::vector<std::string> want = {"xdg-open http://www.example.org/",
                                         "xdg-open mailto:someone@example.org"};
  EXPECT_EQ(fake_.calls, want);
  EXPECT_TRUE(fake_.busy);
  // The busy cursor does not outlive the click, even when the start failed.
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
