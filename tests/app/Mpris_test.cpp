// The media-controls service on a private session bus, over the fake engine: a second
// connection of this process plays the desktop's part, calling methods, reading and setting
// properties and listening to the signals.
#include <QApplication>
#include <QDBusAbstractInterface>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDialog>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <limits>
#include <memory>

#include "AlbumTest.h"
#include "FileLabel.h"
#include "GradProgress.h"
#include "Id3v2Bytes.h"
#include "MprisPlayer.h"
#include "MprisService.h"
#include "SkinWriter.h"

namespace {

const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kClient = QStringLiteral("mpris-test-client");

// The desktop's view of the player's signals.
class PlayerSignals : public QDBusAbstractInterface {
  Q_OBJECT
 public:
  PlayerSignals(const QString& interface, const QDBusConnection& connection)
      : QDBusAbstractInterface(TMprisService::ServiceName, TMprisService::ObjectPath,
                               interface.toLatin1().constData(), connection, nullptr) {}
 signals:
  void PropertiesChanged(const QString& interface, const QVariantMap& changed,
                         const QStringList& invalidated);
  void Seeked(qlonglong position);
};

// Two discs: A with a1..a3, B with b1 (and a picture); the album loaded and a1 current.
class MprisTest : public AlbumTest {
 protected:
  MprisTest() : client(QDBusConnection::connectToBus(QDBusConnection::SessionBus, kClient)) {
    music = disk + "/Music";
    for (const char* name : {"a1", "a2", "a3", "b1"})
      WriteFiles(music,
                 {{std::string(name[0] == 'a' ? "A/" : "B/") + name + ".mp3", Tagged(name)}});
    WritePicture(music + "/B/cover.jpg", Qt::red);
    form->Session.AutoStart = false;
    Load(music);
    service = std::make_unique<TMprisService>(*form);
    // Listening starts once the name has its owner.
    properties =
        std::make_unique<PlayerSignals>(QStringLiteral("org.freedesktop.DBus.Properties"), client);
    player = std::make_unique<PlayerSignals>(kPlayer, client);
    engine.ClearCommands();
  }
  ~MprisTest() override {
    properties.reset();
    player.reset();
    service.reset();
    QDBusConnection::disconnectFromBus(kClient);
  }

  void SetUp() override {
    ASSERT_TRUE(client.isConnected()) << "run under dbus-run-session";
    ASSERT_TRUE(service->Registered());
  }

  QDBusMessage Call(const QString& interface, const QString& method,
                    const QVariantList& args = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        TMprisService::ServiceName, TMprisService::ObjectPath, interface, method);
    call.setArguments(args);
    return client.call(call, QDBus::BlockWithGui, 5000);
  }
  QVariant Get(const QString& interface, const QString& name) {
    const QDBusMessage reply = Call(QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {interface, name});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    return reply.arguments().value(0).value<QDBusVariant>().variant();
  }
  QVariant Get(const QString& name) { return Get(kPlayer, name); }
  void Set(const QString& name, const QVariant& value) {
    const QDBusMessage reply =
        Call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
             {kPlayer, name, QVariant::fromValue(QDBusVariant(value))});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  }
  QVariantMap Metadata() { return qdbus_cast<QVariantMap>(Get(QStringLiteral("Metadata"))); }
  QString Title() { return Metadata().value(QStringLiteral("xesam:title")).toString(); }
  std::vector<int> Sent() {
    const std::vector<int> codes = engine.CommandCodes();
    engine.ClearCommands();
    return codes;
  }
  void Report(int32_t state) {
    engine.PostPlayerState(state);
    ASSERT_TRUE(engine.WaitDrained());
  }
  // Whether spy has caught a signal, waiting for one while it has none: a signal may well
  // arrive while a call or a wait for the engine lets events run.
  static bool Caught(QSignalSpy& spy) { return !spy.isEmpty() || spy.wait(5000); }
  // Lets events run until the album of root is loaded.
  bool Loaded(const std::string& root) {
    return QTest::qWaitFor(
        [&] { return form->Session.SourceRoot() == root && form->Session.AlbumLoaded(); }, 5000);
  }
  // Selects song row as the song list would.
  void GoTo(int row) {
    form->Session.CaricaCD(form->Session.DiscOf(row));
    form->Session.CurrentRow = row;
    form->Session.CaricaSong(row);
    engine.ClearCommands();
  }

  std::string music;
  QDBusConnection client;
  std::unique_ptr<TMprisService> service;
  std::unique_ptr<PlayerSignals> properties;
  std::unique_ptr<PlayerSignals> player;
};

using CodeList = std::vector<int>;

TEST_F(MprisTest, IntrospectionShowsBothInterfacesAndTheRootDescribesTheProgram) {
  const QDBusMessage reply =
      Call(QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
  const QString xml = reply.arguments().value(0).toString();
  for (const char* part :
       {"<interface name=\"org.mpris.MediaPlayer2\">",
        "<interface name=\"org.mpris.MediaPlayer2.Player\">", "<method name=\"OpenUri\">",
        "<method name=\"SetPosition\">", "<signal name=\"Seeked\">",
        "<property name=\"Metadata\" type=\"a{sv}\" access=\"read\">",
        "<property name=\"Volume\" type=\"d\" access=\"readwrite\"/>",
        "<property name=\"LoopStatus\" type=\"s\" access=\"readwrite\"/>",
        "<property name=\"Position\" type=\"x\" access=\"read\"/>", "<method name=\"Raise\""})
    EXPECT_TRUE(xml.contains(QLatin1String(part))) << part;

  EXPECT_EQ(Get(kRoot, "Identity").toString(), "Sonavera");
  EXPECT_EQ(Get(kRoot, "DesktopEntry").toString(), "sonavera");
  EXPECT_TRUE(Get(kRoot, "CanQuit").toBool());
  EXPECT_TRUE(Get(kRoot, "CanRaise").toBool());
  EXPECT_FALSE(Get(kRoot, "HasTrackList").toBool());
  EXPECT_EQ(Get(kRoot, "SupportedUriSchemes").toStringList(), QStringList{"file"});
  EXPECT_EQ(Get(kRoot, "SupportedMimeTypes").toStringList(), QStringList{"audio/mpeg"});
  EXPECT_EQ(Get("Rate").toDouble(), 1.0);
  EXPECT_TRUE(Get("CanControl").toBool());
}

TEST_F(MprisTest, MetadataDescribesTheCurrentSongAndItsDisc) {
  QVariantMap song = Metadata();
  EXPECT_EQ(song.value("mpris:trackid").value<QDBusObjectPath>().path(),
            "/org/sonavera/Track/D1/T1");
  EXPECT_EQ(song.value("xesam:title").toString(), "a1") << "without the list number";
  EXPECT_EQ(song.value("xesam:album").toString(), "A");
  EXPECT_EQ(song.value("xesam:trackNumber").toInt(), 1);
  EXPECT_EQ(song.value("xesam:url").toString(),
            QUrl::fromLocalFile(QString::fromStdString(music + "/A/a1.mp3")).toString());
  EXPECT_FALSE(song.contains("mpris:length")) << "not reported yet";
  EXPECT_FALSE(song.contains("mpris:artUrl")) << "disc A has no picture";

  engine.PostDuration(125);
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_EQ(Metadata().value("mpris:length").toLongLong(), 125'000'000);

  GoTo(4);
  song = Metadata();
  EXPECT_EQ(song.value("mpris:trackid").value<QDBusObjectPath>().path(),
            "/org/sonavera/Track/D2/T1");
  EXPECT_EQ(song.value("xesam:album").toString(), "B");
  EXPECT_FALSE(song.contains("mpris:length")) << "another song's length";
  EXPECT_EQ(song.value("mpris:artUrl").toString(),
            QUrl::fromLocalFile(QString::fromStdString(music + "/B/cover.jpg")).toString());

  form->ScaricaAlbum();
  song = Metadata();
  EXPECT_EQ(song.value("mpris:trackid").value<QDBusObjectPath>().path(),
            "/org/mpris/MediaPlayer2/TrackList/NoTrack");
  EXPECT_EQ(song.size(), 1);
  EXPECT_FALSE(Get("CanPlay").toBool());
}

// The program puts its service on the bus after the first song was opened: a length reported
// before then is still announced.
TEST_F(MprisTest, AServiceStartedAfterTheLengthWasReportedAnnouncesIt) {
  engine.PostDuration(125);
  ASSERT_TRUE(engine.WaitDrained());
  service.reset();
  service = std::make_unique<TMprisService>(*form);
  ASSERT_TRUE(service->Registered());
  EXPECT_EQ(Metadata().value("mpris:length").toLongLong(), 125'000'000);
}

// Artist and album come from the tags (ID3v1 first, then ID3v2), and a cover embedded in the
// disc's first song is written once to a file the URL names.
TEST_F(MprisTest, MetadataTakesArtistAlbumAndEmbeddedCoverFromTheTags) {
  const QTemporaryDir runtime;
  const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  const std::string cover = Jpeg(Qt::blue);
  std::string v1(128, ' ');
  v1.replace(0, 3, "TAG");
  v1.replace(3, 2, "c2");
  v1.replace(33, 9, "V1 Artist");
  v1.replace(63, 13, std::string("V1 Album\0\0\0\0\0", 13));
  WriteFiles(music, {{"C/c1.mp3", Id3v2(3, {{"TIT2",
                                             "\x03"
                                             "1. Caf\xc3\xa9"},
                                            {"TPE1",
                                             "\x03"
                                             "Caf\xc3\xa9 Band"},
                                            {"TALB", "\x03Tagged Album"},
                                            {"APIC", Picture(cover)}}) +
                                      Untagged()},
                     {"C/c2.mp3", std::string(72, 'a') + v1}});
  Load(music);
  GoTo(5);
  QVariantMap song = Metadata();
  EXPECT_EQ(song.value("xesam:title").toString(), QString::fromUtf8("1. Caf\xc3\xa9"))
      << "only the list number goes";
  EXPECT_EQ(song.value("xesam:artist").toStringList(),
            QStringList{QString::fromUtf8("Caf\xc3\xa9 Band")});
  EXPECT_EQ(song.value("xesam:album").toString(), "Tagged Album");
  const QString art = song.value("mpris:artUrl").toString();
  ASSERT_TRUE(art.startsWith(QUrl::fromLocalFile(runtime.path()).toString() + "/sonavera/covers/"))
      << art.toStdString();
  QFile written(QUrl(art).toLocalFile());
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll().toStdString(), cover);

  GoTo(6);
  song = Metadata();
  EXPECT_EQ(song.value("xesam:artist").toStringList(), QStringList{"V1 Artist"});
  EXPECT_EQ(song.value("xesam:album").toString(), "V1 Album");
  EXPECT_EQ(song.value("mpris:artUrl").toString(), art) << "the disc's picture, written once";
  GoTo(1);
  EXPECT_FALSE(Metadata().contains("xesam:artist"));
  qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

TEST_F(MprisTest, TransportMethodsRunTheButtonsHandlers) {
  Call(kPlayer, "Play");
  EXPECT_EQ(Sent(), CodeList{XA_MSG_COMMAND_PLAY});
  Report(XA_PLAYER_STATE_PLAYING);
  EXPECT_EQ(Get("PlaybackStatus").toString(), "Playing");
  Call(kPlayer, "Play");  // already playing: not restarted
  EXPECT_EQ(Sent(), CodeList{});

  Call(kPlayer, "PlayPause");
  EXPECT_EQ(Sent(), CodeList{XA_MSG_COMMAND_PAUSE});
  Report(XA_PLAYER_STATE_PAUSED);
  EXPECT_EQ(Get("PlaybackStatus").toString(), "Paused");
  Call(kPlayer, "Pause");  // already paused: not stopped
  EXPECT_EQ(Sent(), CodeList{});
  Call(kPlayer, "PlayPause");
  EXPECT_EQ(Sent(), CodeList{XA_MSG_COMMAND_PLAY});
  Report(XA_PLAYER_STATE_PLAYING);
  Call(kPlayer, "Pause");
  EXPECT_EQ(Sent(), CodeList{XA_MSG_COMMAND_PAUSE});

  engine.PostTimecode(0, 1, 2);
  ASSERT_TRUE(engine.WaitDrained());
  Call(kPlayer, "Stop");  // stops at once, also while playing
  EXPECT_EQ(Sent(), CodeList{XA_MSG_COMMAND_STOP});
  EXPECT_EQ(form->CurrTime->text(), "00:00");
  Report(XA_PLAYER_STATE_STOPPED);
  EXPECT_EQ(Get("PlaybackStatus").toString(), "Stopped");
  EXPECT_EQ(Get("Position").toLongLong(), 0);

  Call(kPlayer, "Next");
  EXPECT_EQ(form->Session.CurrentRow, 2);
  EXPECT_EQ(Title(), "a2");
  Call(kPlayer, "Previous");
  EXPECT_EQ(form->Session.CurrentRow, 1);
  Call(kPlayer, "Previous");  // the first song has none before it
  EXPECT_EQ(form->Session.CurrentRow, 1);
}

TEST_F(MprisTest, CanGoNextAndPreviousFollowThePlayOrder) {
  EXPECT_TRUE(Get("CanGoNext").toBool());
  EXPECT_FALSE(Get("CanGoPrevious").toBool());
  GoTo(3);  // the last song of disc A
  EXPECT_FALSE(Get("CanGoNext").toBool()) << "no Album or Repeat mode";
  EXPECT_TRUE(Get("CanGoPrevious").toBool());
  Set("LoopStatus", "Playlist");
  EXPECT_TRUE(form->Session.Repeat);
  EXPECT_TRUE(Get("CanGoNext").toBool());
  Set("LoopStatus", "None");
  form->modemodebtnClick();
  EXPECT_TRUE(Get("CanGoNext").toBool()) << "Album mode goes on into disc B";
  GoTo(4);
  EXPECT_FALSE(Get("CanGoNext").toBool()) << "the end of the table";
  EXPECT_TRUE(Get("CanGoPrevious").toBool()) << "Album mode goes back into disc A";
  form->modemodebtnClick();
  EXPECT_FALSE(Get("CanGoPrevious").toBool());
}

// The song fed at the end of input is the current one only once it is heard.
TEST_F(MprisTest, MetadataAndNavigationFollowTheSongHeard) {
  form->Session.AutoStart = true;
  Report(XA_PLAYER_STATE_EOF);
  EXPECT_EQ(Title(), "a1");
  EXPECT_FALSE(Get("CanGoPrevious").toBool());
  engine.PostInputHeard(form->Session.SongPath(2));
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_EQ(Title(), "a2");
  EXPECT_TRUE(Get("CanGoPrevious").toBool());
}

TEST_F(MprisTest, ModesVolumeAndPositionRoundTrip) {
  Set("LoopStatus", "Playlist");
  EXPECT_EQ(Get("LoopStatus").toString(), "Playlist");
  Set("LoopStatus", "Track");  // no repeat of one song: unchanged
  EXPECT_EQ(Get("LoopStatus").toString(), "Playlist");
  form->repeatbtnClick();
  EXPECT_EQ(Get("LoopStatus").toString(), "None");
  Set("Shuffle", true);
  EXPECT_TRUE(form->Session.Shuffle);
  EXPECT_TRUE(Get("Shuffle").toBool());
  EXPECT_EQ(Title(), "a1") << "shuffling keeps the song";

  Set("Volume", 0.25);
  EXPECT_EQ(form->VolBar->Position(), 25);
  EXPECT_EQ(engine.LastCommand().Ints, (std::vector<int>{255, 25, 255}));
  EXPECT_EQ(Get("Volume").toDouble(), 0.25);
  Set("Volume", 1.7);
  EXPECT_EQ(Get("Volume").toDouble(), 1.0);
  Set("Volume", -1.0);
  EXPECT_EQ(form->VolBar->Position(), 0);

  engine.PostDuration(200);
  engine.PostTimecode(0, 1, 5, 50);
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_EQ(Get("Position").toLongLong(), 65'500'000);
  engine.ClearCommands();
  const QDBusObjectPath current = Metadata().value("mpris:trackid").value<QDBusObjectPath>();
  Call(kPlayer, "SetPosition", {QVariant::fromValue(current), qlonglong(50'000'000)});
  EXPECT_EQ(engine.LastCommand().Code, XA_MSG_COMMAND_INPUT_SEEK);
  EXPECT_EQ(engine.LastCommand().Ints, (std::vector<int>{50'000, 200'000}));
  EXPECT_EQ(form->PosBar->Position(), 100);
  EXPECT_EQ(Get("Position").toLongLong(), 50'000'000);
  Call(kPlayer, "Seek", {qlonglong(-60'000'000)});  // before the start: the start
  EXPECT_EQ(engine.LastCommand().Ints, (std::vector<int>{0, 200'000}));

  engine.ClearCommands();
  Call(kPlayer, "SetPosition",
       {QVariant::fromValue(QDBusObjectPath("/org/sonavera/Track/D1/T2")), qlonglong(1)});
  Call(kPlayer, "SetPosition", {QVariant::fromValue(current), qlonglong(201'000'000)});
  EXPECT_EQ(Sent(), CodeList{}) << "another song, or beyond the end";
  const int row = form->Session.CurrentRow;
  Call(kPlayer, "Seek", {qlonglong(300'000'000)});  // past the end: the next song
  EXPECT_NE(form->Session.CurrentRow, row);
  // The largest offsets saturate: the next song again, and the start of the song.
  const int next = form->Session.CurrentRow;
  engine.PostDuration(200);
  engine.PostTimecode(0, 0, 30, 0);
  ASSERT_TRUE(engine.WaitDrained());
  Call(kPlayer, "Seek", {std::numeric_limits<qlonglong>::max()});
  EXPECT_NE(form->Session.CurrentRow, next);
  engine.PostDuration(200);
  engine.PostTimecode(0, 0, 30, 0);
  ASSERT_TRUE(engine.WaitDrained());
  engine.ClearCommands();
  Call(kPlayer, "Seek", {std::numeric_limits<qlonglong>::min()});
  ASSERT_FALSE(engine.CommandCodes().empty());
  EXPECT_EQ(engine.LastCommand().Ints.at(0), 0);
}

TEST_F(MprisTest, ChangesGoOutOnceAndOnlyWhenSomethingChanged) {
  QSignalSpy changes(properties.get(), &PlayerSignals::PropertiesChanged);
  // Several changes in one turn of the event loop make one signal with the final values.
  form->VolumeUpdate(10);
  form->VolumeUpdate(70);
  form->repeatbtnClick();
  ASSERT_TRUE(Caught(changes));
  EXPECT_FALSE(changes.wait(300)) << "one signal for one turn";
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes[0][0].toString(), kPlayer);
  QVariantMap changed = qdbus_cast<QVariantMap>(changes[0][1]);
  EXPECT_EQ(changed.keys(), (QStringList{"LoopStatus", "Volume"}))
      << "a2 follows a1 in either mode, so CanGoNext stays";
  EXPECT_EQ(changed.value("Volume").toDouble(), 0.7);

  // The time running on announces nothing: clients read the position when they need it.
  changes.clear();
  for (uint8_t s = 0; s < 50; ++s) engine.PostTimecode(0, 0, s);
  engine.PostPosition(100);
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_FALSE(changes.wait(300));

  // A song change announces the song and, once the engine reports it, the new status.
  Report(XA_PLAYER_STATE_PLAYING);
  ASSERT_TRUE(Caught(changes));
  EXPECT_EQ(qdbus_cast<QVariantMap>(changes[0][1]).value("PlaybackStatus").toString(), "Playing");
  changes.clear();
  Call(kPlayer, "Next");
  ASSERT_TRUE(Caught(changes));
  changed = qdbus_cast<QVariantMap>(changes[0][1]);
  const QVariantMap song = qdbus_cast<QVariantMap>(changed.value("Metadata"));
  EXPECT_EQ(song.value("xesam:title").toString(), "a2");
  EXPECT_TRUE(changed.contains("CanGoPrevious"));
  changes.clear();
  engine.PostPlayerState(XA_PLAYER_STATE_STOPPED);
  engine.PostPlayerState(XA_PLAYER_STATE_PLAYING);
  engine.PostDuration(42);
  ASSERT_TRUE(engine.WaitDrained());
  ASSERT_TRUE(Caught(changes));
  changed = qdbus_cast<QVariantMap>(changes[0][1]);
  EXPECT_EQ(qdbus_cast<QVariantMap>(changed.value("Metadata")).value("mpris:length").toLongLong(),
            42'000'000);
  EXPECT_FALSE(changed.contains("PlaybackStatus")) << "stopped and playing again in one turn";
}

TEST_F(MprisTest, SeekedFollowsSeeksOnceTheyHaveSettled) {
  QSignalSpy seeked(player.get(), &PlayerSignals::Seeked);
  engine.PostDuration(100);
  ASSERT_TRUE(engine.WaitDrained());
  Call(kPlayer, "Seek", {qlonglong(30'000'000)});
  ASSERT_TRUE(Caught(seeked));
  EXPECT_EQ(seeked[0][0].toLongLong(), 30'000'000);

  // A drag of the position bar seeks at every move and is announced once, where it ended.
  seeked.clear();
  for (int x : {10, 40, 80}) form->PosBarMouseMove(ssLeft, x, 5);
  engine.PostTimecode(0, 0, 54, 40);
  ASSERT_TRUE(engine.WaitDrained());
  ASSERT_TRUE(Caught(seeked));
  EXPECT_FALSE(seeked.wait(400));
  ASSERT_EQ(seeked.count(), 1);
  EXPECT_EQ(seeked[0][0].toLongLong(), 54'400'000);
}

TEST_F(MprisTest, OpenUriPlaysTheFileWithItsFolderAsTheSource) {
  WriteFiles(disk + "/Other", {{"x1.mp3", Tagged("x1")}, {"x2.mp3", Tagged("x2")}});
  const QString uri =
      QUrl::fromLocalFile(QString::fromStdString(disk + "/Other/x2.mp3")).toString();
  engine.ClearCommands();
  EXPECT_EQ(Call(kPlayer, "OpenUri", {uri}).type(), QDBusMessage::ReplyMessage);
  ASSERT_TRUE(Loaded(disk + "/Other/"));
  EXPECT_EQ(form2.CurrDir->FileName(), disk + "/Other/");
  EXPECT_EQ(Title(), "x2") << "the named song, as on the command line";
  EXPECT_EQ(engine.CommandCodes().back(), XA_MSG_COMMAND_PLAY) << "even with AutoStart off";
  // A folder's URI plays it from its first song.
  Call(kPlayer, "OpenUri",
       {QUrl::fromLocalFile(QString::fromStdString(disk + "/Other")).toString()});
  EXPECT_TRUE(QTest::qWaitFor([&] { return Title() == "x1"; }, 5000));

  // Not a file, or a folder that is gone: the album stays.
  Call(kPlayer, "OpenUri", {QStringLiteral("http://example.org/a.mp3")});
  Call(kPlayer, "OpenUri", {QStringLiteral("file:///nonexistent/a.mp3")});
  QTest::qWait(50);
  EXPECT_EQ(Title(), "x1");
  EXPECT_EQ(form2.CurrDir->FileName(), disk + "/Other/");

  // Only a local file by an absolute path without NUL is taken; nothing else is kept.
  const QString folder = QString::fromStdString(music);
  for (const QString& refused :
       {QStringLiteral("file://") + folder + QStringLiteral("%00XYZ/a1.mp3"),
        QStringLiteral("file:Music/A/a1.mp3"), QStringLiteral("file://host") + folder + "/A/a1.mp3",
        QStringLiteral("file://") + folder + QStringLiteral("/A/a1.mp3?x=1"),
        QStringLiteral("file://localhost")}) {
    EXPECT_EQ(TMprisPlayer::LocalPath(refused), "") << refused.toStdString();
    Call(kPlayer, "OpenUri", {refused});
  }
  QTest::qWait(50);
  EXPECT_EQ(form2.CurrDir->FileName(), disk + "/Other/");
  EXPECT_EQ(TMprisPlayer::LocalPath(QStringLiteral("FILE://LocalHost") + folder + "/A/a1.mp3"),
            disk + "/Music/A/a1.mp3");
}

TEST_F(MprisTest, RaiseShowsTheHiddenWindowAndQuitClosesIt) {
  form->hide();
  Call(kRoot, "Raise");
  EXPECT_TRUE(form->isVisible());
  form->showMinimized();
  Call(kRoot, "Raise");
  EXPECT_FALSE(form->isMinimized());

  Call(kRoot, "Quit");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 5000));
  const CodeList codes = engine.CommandCodes();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.back(), XA_MSG_COMMAND_EXIT);
}

TEST_F(MprisTest, QuitEndsTheProgramAlsoFromTheTray) {
  form->show();
  form->hide();
  // The program's own loop: it ends as main()'s does, and leaves the next test a fresh one.
  QApplication::setQuitOnLastWindowClosed(true);
  QTimer giveUp;
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  giveUp.start(5000);
  client.asyncCall(QDBusMessage::createMethodCall(TMprisService::ServiceName,
                                                  TMprisService::ObjectPath, kRoot, "Quit"));
  const int ended = QCoreApplication::exec();
  QApplication::setQuitOnLastWindowClosed(false);
  EXPECT_EQ(ended, 0) << "the program went on with its window closed";
  EXPECT_EQ(engine.CommandCodes().back(), XA_MSG_COMMAND_EXIT);
}

// As a kill does: a dialog waiting for its answer does not hold the program.
TEST_F(MprisTest, QuitEndsTheProgramWhateverDialogIsOpen) {
  form->show();
  int answer = -1;
  // The program's own loop, with a dialog open inside it.
  QTimer::singleShot(0, [&] {
    client.asyncCall(QDBusMessage::createMethodCall(TMprisService::ServiceName,
                                                    TMprisService::ObjectPath, kRoot, "Quit"));
    QDialog box;
    QTimer::singleShot(5000, &box, [&box] { box.done(7); });
    answer = box.exec();
  });
  QTimer giveUp;
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  giveUp.start(10000);
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_NE(answer, 7) << "the dialog held the program";
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(engine.CommandCodes().back(), XA_MSG_COMMAND_EXIT);
}

TEST_F(MprisTest, SecondInstanceHandsItsFileOverAndANameTakenStaysSilent) {
  // A folder name that is no UTF-8 reaches the player byte for byte.
  const std::string other = disk + "/Caf\xe9 & 100%";
  WriteFiles(other, {{"x1.mp3", Tagged("x1")}});
  EXPECT_TRUE(TMprisService::HandOver(other + "/x1.mp3", client));
  EXPECT_TRUE(Loaded(other + "/"));
  EXPECT_EQ(Metadata().value("xesam:url").toString(),
            QString::fromLatin1("file://" + QByteArray::fromStdString(disk) +
                                "/Caf%E9%20%26%20100%25/x1.mp3"));

  // A second player on the same bus leaves the first one's name alone.
  const QDBusConnection secondBus =
      QDBusConnection::connectToBus(QDBusConnection::SessionBus, "mpris-test-other");
  {
    const TMprisService second(*form, secondBus);
    EXPECT_FALSE(second.Registered());
  }
  QDBusConnection::disconnectFromBus("mpris-test-other");
  EXPECT_EQ(Get(kRoot, "Identity").toString(), "Sonavera");

  // A start without a file brings the running player's window back from the tray.
  form->hide();
  EXPECT_TRUE(TMprisService::HandOver("", client));
  EXPECT_TRUE(form->isVisible());

  service.reset();
  EXPECT_FALSE(TMprisService::HandOver(other + "/x1.mp3", client)) << "nobody to take it";
  EXPECT_FALSE(TMprisService::HandOver("", client));
}

}  // namespace

#include "Mpris_test.moc"
