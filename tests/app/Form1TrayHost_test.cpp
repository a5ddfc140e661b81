// The window and a real notification area: an X server of its own (Xvfb) with a tray
// host (trayer) in it. Run from the ordinary test run, the test starts itself again there;
// it is skipped with a message when either program is missing.
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "CoolButton.h"
#include "TrayComp.h"
#include "WPopupMenu.h"
#include "WindowTest.h"

namespace {

constexpr const char* kInsideHost = "SONAVERA_TRAY_HOST";

bool OnPath(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs this test again on an X server of its own with trayer; returns its output and sets status.
std::string RunUnderTrayHost(const std::string& test, int& status) {
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "no /proc/self/exe";
  // No session bus: Qt then looks for the X notification area that trayer provides.
  const std::string command =
      "env -u DBUS_SESSION_BUS_ADDRESS " SONAVERA_SOURCE_DIR
      "/tests/support/own-xserver.sh sh -c 'trayer --expand false --width 10 "
      "--height 24 & t=$!; SONAVERA_TRAYER_PID=$t " +
      std::string(kInsideHost) + "=1 QT_QPA_PLATFORM=xcb timeout 60 \"" + self +
      "\" --gtest_filter=" + test + "; r=$?; kill $t; exit $r' 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) output += buffer;
  status = pipe ? pclose(pipe) : -1;
  return output;
}

class TrayHostTest : public WindowTest {
 protected:
  // Outside the host: runs this test again inside it and reports how that went.
  void RunInsideHost() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    int status = 0;
    const std::string output =
        RunUnderTrayHost(std::string(info->test_suite_name()) + "." + info->name(), status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
  }
  // The tray host needs a moment to claim the notification area; the window is made again
  // once it has.
  void WaitForTray() {
    ASSERT_TRUE(QTest::qWaitFor([] { return TTrayComp::Available(); }, 10000))
        << "the tray host did not come up";
    form = std::make_unique<TForm1>(form->ProgramFolder);
    form->Form4 = &form4;
  }
  // The icon's own window in the notification area.
  static QWidget* TrayIconWidget() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->inherits("QSystemTrayIconSys")) return w;
    return nullptr;
  }
  static void Click(QWidget* w, Qt::MouseButton button) {
    const QPoint at = w->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), button, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
  }
};

TEST_F(TrayHostTest, MinimizeHidesToTheTrayAndAClickBringsTheWindowBack) {
  if (!getenv(kInsideHost)) {
    if (!OnPath("Xvfb") || !OnPath("trayer"))
      GTEST_SKIP() << "Xvfb or trayer missing: no notification area to test with";
    return RunInsideHost();
  }
  WaitForTray();
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  EXPECT_FALSE(form->TrayComp->ShowInTaskBar());
  EXPECT_TRUE(form->windowType() == Qt::Tool) << "no taskbar entry while a tray exists";

  QWidget* icon = nullptr;
  ASSERT_TRUE(QTest::qWaitFor([&] { return (icon = TrayIconWidget()) && icon->isVisible(); }))
      << "the icon did not appear";

  QTest::mouseClick(form->minimizebtn, Qt::LeftButton, {}, QPoint(7, 6));
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->isMinimized());
  EXPECT_TRUE(icon->isVisible()) << "the icon stays while the window is hidden";

  Click(icon, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }));

  // A right click opens the tray menu whether the window is shown or hidden.
  form->minimizebtnClick();
  Click(icon, Qt::RightButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->MainMenu->isVisible(); }));
  EXPECT_FALSE(form->isVisible());
  form->MainMenu->close();

  // The tray goes away while the window is hidden in it: the window comes back.
  const char* trayer = getenv("SONAVERA_TRAYER_PID");
  ASSERT_TRUE(trayer);
  ASSERT_EQ(kill(pid_t(std::atoi(trayer)), SIGTERM), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }, 1500))
      << "the window stayed hidden without a tray";
  EXPECT_TRUE(form->TrayComp->ShowInTaskBar());
}

}  // namespace
