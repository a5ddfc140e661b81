// The player itself, on the real engine, under a private session bus and an X server,
// driven by the desktop's command-line media controller (playerctl).
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <functional>

#include "TestSongs.h"

namespace {

const QString kPlayer = QStringLiteral(SONAVERA_BINARY_DIR "/bin/sonavera");

class MprisPlayerctl : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "run on an X server";
    ASSERT_TRUE(QFile::exists(kPlayer)) << "build the sonavera target first";
    music = dir.path() + "/Music";
    int n = 0;
    for (const char* title : {"One", "Two", "Three"})
      ASSERT_TRUE(MakeSong(QString("%1/A/0%2.mp3").arg(music).arg(++n).toStdString(),
                           {.Seconds = 8, .Title = title}));
    ASSERT_TRUE(MakeSong((music + "/B/01.mp3").toStdString(), {.Seconds = 2, .Title = "Four"}));
    env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
    env.insert("SONAVERA_OUTPUT", "null");
  }
  void TearDown() override {
    if (player.state() != QProcess::NotRunning) {
      player.kill();
      player.waitForFinished(5000);
    }
  }

  void Start(const QStringList& args = {}) {
    player.setProcessEnvironment(env);
    player.start(kPlayer, args);
    ASSERT_TRUE(player.waitForStarted(10000));
  }
  // Runs playerctl on the player; false when it failed.
  static bool Control(const QStringList& args, QString* answer = nullptr) {
    QProcess run;
    run.start("playerctl", QStringList{"--player=sonavera"} + args);
    const bool done = run.waitForFinished(10000) && run.exitStatus() == QProcess::NormalExit &&
                      run.exitCode() == 0;
    if (answer) *answer = QString::fromUtf8(run.readAllStandardOutput()).trimmed();
    return done;
  }
  // playerctl's answer, trimmed; empty when it failed.
  static QString Playerctl(const QStringList& args) {
    QString answer;
    return Control(args, &answer) ? answer : QString();
  }
  // Asks until answer passes, for up to 20 seconds (the player may be slow to start).
  static bool Eventually(const QStringList& args,
                         const std::function<bool(const QString&)>& passes) {
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
      if (passes(Playerctl(args))) return true;
      QThread::msleep(100);
    }
    return false;
  }
  static bool Eventually(const QStringList& args, const QString& answer) {
    return Eventually(args, [&](const QString& got) { return got == answer; });
  }
  QString FileUri(const QString& relative) const {
    return QUrl::fromLocalFile(music + "/" + relative).toString();
  }

  QTemporaryDir dir;
  QString music;
  QProcessEnvironment env;
  QProcess player;
};

TEST_F(MprisPlayerctl, DrivesThePlayerAndASecondStartHandsItsFileOver) {
  // Open with on a first start: the named song plays.
  Start({music + "/A/02.mp3"});
  ASSERT_TRUE(Eventually({"metadata", "title"}, "Two")) << "the player never came on the bus";
  ASSERT_TRUE(Eventually({"status"}, "Playing"));
  ASSERT_TRUE(Control({"open", FileUri("A/01.mp3")}));
  ASSERT_TRUE(Eventually({"metadata", "title"}, "One"));
  EXPECT_EQ(Playerctl({"metadata", "album"}), "A");
  ASSERT_TRUE(Eventually({"status"}, "Playing")) << "AutoStart plays the album it loads";

  EXPECT_TRUE(Control({"play-pause"}));
  EXPECT_TRUE(Eventually({"status"}, "Paused"));
  EXPECT_TRUE(Control({"play-pause"}));
  EXPECT_TRUE(Eventually({"status"}, "Playing"));

  EXPECT_TRUE(Control({"next"}));
  EXPECT_TRUE(Eventually({"metadata", "title"}, "Two"));
  EXPECT_TRUE(Eventually({"metadata", "mpris:length"},
                         [](const QString& us) { return us.toLongLong() / 1000000 == 8; }));
  EXPECT_TRUE(Control({"position", "3"}));
  // Heard time goes on after the seek; before it, the new song was under a second in.
  EXPECT_TRUE(Eventually({"position"}, [](const QString& s) {
    return s.toDouble() >= 3.0 && s.toDouble() < 5.0;
  })) << Playerctl({"position"}).toStdString();

  EXPECT_TRUE(Control({"volume", "0.5"}));
  EXPECT_TRUE(Eventually({"volume"}, [](const QString& v) { return v.toDouble() == 0.5; }));
  EXPECT_TRUE(Control({"shuffle", "On"}));
  EXPECT_TRUE(Eventually({"shuffle"}, "On"));
  EXPECT_TRUE(Control({"loop", "Playlist"}));
  EXPECT_TRUE(Eventually({"loop"}, "Playlist"));
  EXPECT_EQ(Playerctl({"metadata", "title"}), "Two") << "shuffling keeps the song";

  // A second start with a file hands it over and leaves; its current folder is its own.
  QProcess second;
  second.setProcessEnvironment(env);
  second.setWorkingDirectory(music);
  second.start(kPlayer, {"B/01.mp3"});
  ASSERT_TRUE(second.waitForFinished(30000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(Eventually({"metadata", "album"}, "B"));
  // One without brings the running player to the front and leaves too.
  second.start(kPlayer, QStringList{});
  ASSERT_TRUE(second.waitForFinished(30000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(player.state(), QProcess::Running);

  // Quit closes it as its close button does: the settings keep the modes and the source.
  const QDBusMessage quit = QDBusConnection::sessionBus().call(
      QDBusMessage::createMethodCall("org.mpris.MediaPlayer2.sonavera", "/org/mpris/MediaPlayer2",
                                     "org.mpris.MediaPlayer2", "Quit"));
  EXPECT_EQ(quit.type(), QDBusMessage::ReplyMessage) << quit.errorMessage().toStdString();
  ASSERT_TRUE(player.waitForFinished(20000));
  EXPECT_EQ(player.exitCode(), 0);
  QFile settings(dir.path() + "/config/Sonavera.ini");
  ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
  const QByteArray text = settings.readAll();
  for (const char* line : {"ModeRepeat=1", "ModeShuffle=1", "/Music/B/"})
    EXPECT_TRUE(text.contains(line)) << line << "\n" << text.toStdString();
}

TEST_F(MprisPlayerctl, WithoutASessionBusThePlayerRunsAsBefore) {
  env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir.path() + "/no-bus");
  Start({music + "/A/01.mp3"});
  // The window comes up and stays.
  const QDeadlineTimer deadline(20000);
  bool shown = false;
  while (!shown && !deadline.hasExpired()) {
    QProcess search;
    search.start("xdotool", {"search", "--name", "^Sonavera $"});
    shown = search.waitForFinished(5000) && search.exitCode() == 0;
    if (!shown) QThread::msleep(200);
  }
  EXPECT_TRUE(shown);
  EXPECT_EQ(player.state(), QProcess::Running);
  // A second player over the same settings refuses to start and says why.
  QProcess second;
  second.setProcessEnvironment(env);
  second.start(kPlayer, QStringList{});
  ASSERT_TRUE(second.waitForStarted(10000));
  const QDeadlineTimer told(20000);
  QByteArray refusal;
  while (!refusal.contains("already running") && !told.hasExpired() &&
         second.state() == QProcess::Running) {
    second.waitForReadyRead(200);
    refusal += second.readAllStandardError();
  }
  EXPECT_TRUE(refusal.contains("already running")) << refusal.toStdString();
  // Its message box waits for a click nobody gives here.
  second.kill();
  second.waitForFinished(5000);
  EXPECT_EQ(player.state(), QProcess::Running);
  player.terminate();
  player.waitForFinished(10000);
  const QByteArray errors = player.readAllStandardError();
  EXPECT_FALSE(errors.contains("DBus") || errors.contains("D-Bus") || errors.contains("dbus"))
      << errors.toStdString();
}

}  // namespace
