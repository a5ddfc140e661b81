// A kill or a logout ends the program as its close button does, once.
#include "EndSignals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSongs.h"

namespace {

// Handles events until done() holds or the time is up.
template <typename Done>
bool WaitFor(Done done, int ms) {
  QDeadlineTimer deadline(ms);
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return done();
}

TEST(EndSignals, EachSignalEndsOnceOnTheGuiThread) {
  int ends = 0;
  {
    TEndSignals ending([&] { ++ends; });
    for (int s : {SIGTERM, SIGINT, SIGHUP}) ASSERT_EQ(kill(getpid(), s), 0);
    EXPECT_EQ(ends, 0);  // nothing runs inside the signal handler
    EXPECT_TRUE(WaitFor([&] { return ends > 0; }, 5000));
    WaitFor([] { return false; }, 100);
    EXPECT_EQ(ends, 1);
    ending.End();  // the session's end after a signal
    EXPECT_EQ(ends, 1);
  }
  // Gone with its owner: the signal's default action is back.
  struct sigaction action {};
  sigaction(SIGTERM, nullptr, &action);
  EXPECT_EQ(action.sa_handler, SIG_DFL);
}

// Whether process pid has file open.
bool HasOpen(qint64 pid, const std::string& file) {
  std::error_code error;
  for (const auto& fd :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    if (std::filesystem::read_symlink(fd.path(), error) == file) return true;
  }
  return false;
}

TEST(EndSignals, TermToTheRunningPlayerKeepsTheCurrentRow) {
  QTemporaryDir home;
  const std::string album = QFile::encodeName(home.path()).toStdString() + "/Album";
  TTestSong shortSong, longSong;
  shortSong.Seconds = 0.5;
  longSong.Seconds = 30;
  ASSERT_TRUE(MakeSong(album + "/01.mp3", shortSong));
  ASSERT_TRUE(MakeSong(album + "/02.mp3", longSong));
  const std::string ini = QFile::encodeName(home.path()).toStdString() + "/Sonavera.ini";
  // The first song plays to its end and the player moves on to row 2.
  std::ofstream(ini) << "[General]\nLastPos=1\nAutoStart=1\nLastAlbum=" << album << "\nLastRow=1\n";

  QProcess player;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", home.path());
  env.insert("QT_QPA_PLATFORM", "offscreen");
  player.setProcessEnvironment(env);
  player.start(SONAVERA_BINARY_DIR "/bin/sonavera", {});
  ASSERT_TRUE(player.waitForStarted(10000));
  // The engine holds the second song open once the player has moved on to it.
  const bool loaded =
      WaitFor([&] { return HasOpen(player.processId(), album + "/02.mp3"); }, 30000);
  EXPECT_TRUE(loaded);
  // It is opened while the first song's last 90 ms still sound, and current once heard.
  QThread::msleep(1000);
  kill(pid_t(player.processId()), SIGTERM);
  ASSERT_TRUE(player.waitForFinished(15000));
  EXPECT_EQ(player.exitStatus(), QProcess::NormalExit) << "killed by the signal";
  EXPECT_EQ(player.exitCode(), 0);

  std::stringstream written;
  written << std::ifstream(ini).rdbuf();
  EXPECT_NE(written.str().find("LastRow=2"), std::string::npos) << written.str();
}

}  // namespace
