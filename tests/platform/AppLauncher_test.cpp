// Starting programs detached, and the codes of failed starts.
#include "AppLauncher.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

namespace {

TEST(AppLauncherTest, StartsWithArgumentsWithoutWaiting) {
  QTemporaryDir dir;
  const std::string out = QFile::encodeName(dir.filePath("out")).toStdString();
  QElapsedTimer t;
  t.start();
  EXPECT_GE(platform::Launcher().Start("sh", {"-c",
                                              "sleep 0.3; printf '%s|%s' \"$1\" \"$2\" >$3.t; "
                                              "mv $3.t $3",
                                              "sh", "a b", "c", out}),
            32);
  EXPECT_LT(t.elapsed(), 250);  // did not wait for the sleep
  QFile f(QString::fromStdString(out));
  while (!f.exists() && t.elapsed() < 10000) QThread::msleep(20);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "a b|c");
}

TEST(AppLauncherTest, FailedStartsGiveTheirCodes) {
  QTemporaryDir dir;
  QFile plain(dir.filePath("plain"));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  const std::string base = QFile::encodeName(dir.path()).toStdString();
  platform::AppLauncher& l = platform::Launcher();
  EXPECT_EQ(l.Start(base + "/missing", {}), 2);
  EXPECT_EQ(l.Start("no-such-program-anywhere", {}), 2);
  EXPECT_EQ(l.Start(base + "/plain/x", {}), 3);
  EXPECT_EQ(l.Start(base + "/plain", {}), 5);  // not executable
  EXPECT_EQ(platform::LaunchErrorText(l.Start(base + "/missing", {})), "File was not found");
}

}  // namespace
