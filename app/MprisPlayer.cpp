#include "MprisPlayer.h"

#include <QDBusMessage>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "AlbumSession.h"
#include "QtText.h"
#include "TrackTags.h"
#include "XaudioPlayer.h"

namespace {

const QString kInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
// What MPRIS names "no song".
const QDBusObjectPath kNoTrack(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
// A drag of the position bar seeks at every move; its Seeked waits for the last of them.
constexpr int kSeekSettleMs = 250;

}  // namespace

TMprisPlayer::TMprisPlayer(QObject* parent, TAlbumSession& session,
                           const QDBusConnection& connection, const QString& path)
    : QDBusAbstractAdaptor(parent),
      session_(session),
      connection_(connection),
      path_(path),
      changes_(new QTimer(this)),
      seeked_(new QTimer(this)) {
  changes_->setSingleShot(true);
  changes_->setInterval(0);
  connect(changes_, &QTimer::timeout, this, &TMprisPlayer::SendChanges);
  seeked_->setSingleShot(true);
  seeked_->setInterval(kSeekSettleMs);
  connect(seeked_, &QTimer::timeout, this, [this] { emit Seeked(Position()); });

  connect(&session, &TAlbumSession::PlayerStateReported, this, &TMprisPlayer::StateReported);
  connect(&session, &TAlbumSession::SongChanged, this, &TMprisPlayer::SongChanged);
  connect(&session, &TAlbumSession::DurationReported, this, &TMprisPlayer::DurationReported);
  connect(&session, &TAlbumSession::TimecodeReported, this, &TMprisPlayer::TimecodeReported);
  connect(&session, &TAlbumSession::PlayOrderChanged, this, &TMprisPlayer::Changed);
  connect(&session, &TAlbumSession::VolumeChanged, this, &TMprisPlayer::Changed);
  connect(&session, &TAlbumSession::SeekRequested, seeked_, qOverload<>(&QTimer::start));
  // The service may come after the first song's length was reported.
  song_ = session.CurrentSongPath();
  if (!song_.empty()) lengthSeconds_ = session.Duration();
  sent_ = Announced();
}

// File names are bytes: they go into the URI and come out of it unchanged, whatever their
// encoding.
QString TMprisPlayer::FileUri(const std::string& path) {
  return QStringLiteral("file://") +
         QString::fromLatin1(QByteArray::fromStdString(path).toPercentEncoding("/"));
}

// Only what names a local file for sure: "file://", no host but this one, an absolute path,
// no query or fragment, and no NUL byte once decoded (it would cut the path short).
std::string TMprisPlayer::LocalPath(const QString& uri) {
  const QByteArray text = uri.toUtf8();
  const QByteArray scheme = "file://";
  if (!text.left(scheme.size()).toLower().startsWith(scheme)) return {};
  const qsizetype slash = text.indexOf('/', scheme.size());
  if (slash < 0) return {};
  const QByteArray host = text.mid(scheme.size(), slash - scheme.size()).toLower();
  if (!host.isEmpty() && host != "localhost") return {};
  const QByteArray encoded = text.mid(slash);
  if (encoded.contains('?') || encoded.contains('#')) return {};
  const QByteArray path = QByteArray::fromPercentEncoding(encoded);
  if (path.contains('\0')) return {};
  return path.toStdString();
}

// ---- Properties ----

QString TMprisPlayer::PlaybackStatus() const {
  if (session_.Playing) return QStringLiteral("Playing");
  return state_ == XA_PLAYER_STATE_PAUSED ? QStringLiteral("Paused") : QStringLiteral("Stopped");
}

QString TMprisPlayer::LoopStatus() const {
  return session_.Repeat ? QStringLiteral("Playlist") : QStringLiteral("None");
}

void TMprisPlayer::SetLoopStatus(const QString& value) {
  const bool none = value == QLatin1String("None");
  if (!none && value != QLatin1String("Playlist")) return;
  if (session_.Repeat == none) session_.ToggleRepeat();
}

bool TMprisPlayer::Shuffle() const { return session_.Shuffle; }

void TMprisPlayer::SetShuffle(bool value) {
  if (session_.Shuffle != value) session_.ToggleShuffle();
}

QDBusObjectPath TMprisPlayer::TrackId(int row) const {
  const int track = ToQString(session_.TAB.Cells(1, row)).toInt();
  return QDBusObjectPath(
      QStringLiteral("/org/sonavera/Track/D%1/T%2").arg(session_.DiscOf(row)).arg(track));
}

// The title as the tags give it, without the list number the table puts before it.
QString TMprisPlayer::Title(int row) const {
  const std::string& title = session_.TAB.Cells(3, row);
  const std::string number = session_.TAB.Cells(1, row) + ". ";
  return ToQString(title.starts_with(number) ? title.substr(number.size()) : title);
}

QVariantMap TMprisPlayer::Metadata() const {
  QVariantMap map;
  if (!CanPlay()) {
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(kNoTrack));
    return map;
  }
  const int row = session_.CurrentRow;
  const std::string folder = session_.SongFolder(row);
  const std::string song = session_.SongPath(row);
  map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(TrackId(row)));
  map.insert(QStringLiteral("xesam:title"), Title(row));
  if (const std::string& artist = tags_.Artist(song); !artist.empty())
    map.insert(QStringLiteral("xesam:artist"), QStringList{ToQString(artist)});
  // The tag's album, else the disc's folder name as the disc list shows it.
  const std::string& album = tags_.Album(song);
  map.insert(QStringLiteral("xesam:album"),
             ToQString(album.empty() ? TAlbumScanner::EstraiDisco(folder) : album));
  map.insert(QStringLiteral("xesam:trackNumber"), ToQString(session_.TAB.Cells(1, row)).toInt());
  map.insert(QStringLiteral("xesam:url"), FileUri(song));
  if (Length() > 0) map.insert(QStringLiteral("mpris:length"), Length());
  // Looked up once per disc folder: clients read the metadata often. The window's picture:
  // the folder's own, else the cover embedded in its first song.
  if (folder != pictureFolder_) {
    pictureFolder_ = folder;
    picture_ = session_.DiscPicture(folder);
    if (picture_.empty()) picture_ = TTrackTags::CoverFile(TTrackTags::FolderCover(folder).second);
  }
  if (!picture_.empty()) map.insert(QStringLiteral("mpris:artUrl"), FileUri(picture_));
  return map;
}

double TMprisPlayer::Volume() const { return session_.Volume() / 100.0; }

void TMprisPlayer::SetVolume(double value) {
  if (std::isnan(value)) return;
  session_.SetVolume(int(std::lround(std::clamp(value, 0.0, 1.0) * 100)));
}

qlonglong TMprisPlayer::Position() const { return hundredths_ * 10000; }

bool TMprisPlayer::CanGoNext() const { return session_.HasNextSong(); }

bool TMprisPlayer::CanGoPrevious() const { return session_.HasPreviousSong(); }

bool TMprisPlayer::CanPlay() const {
  return session_.AlbumLoaded() && !session_.CurrentSongPath().empty();
}

// ---- Methods: the session's own operations, as the buttons run them ----

// Play/Restart would restart a playing song; Play leaves it playing.
void TMprisPlayer::Play() {
  if (!session_.Playing) session_.PlayOrRestart();
}

// Pause/Stop would stop a paused song; Pause leaves it paused.
void TMprisPlayer::Pause() {
  if (session_.Playing) session_.PauseOrStop();
}

void TMprisPlayer::PlayPause() {
  session_.Playing ? session_.PauseOrStop() : session_.PlayOrRestart();
}

// What the second press of Pause/Stop does, whether or not the song is playing.
void TMprisPlayer::Stop() { session_.Stop(); }

void TMprisPlayer::Next() { session_.NextSong(); }

void TMprisPlayer::Previous() { session_.PreviousSong(); }

// Past the end of the song is the next song; before its start is its start.
void TMprisPlayer::Seek(qlonglong Offset) {
  if (!CanSeek() || Length() <= 0) return;
  // Compared before adding: any offset from the bus, however large, stays in range.
  if (Offset > Length() - Position()) {
    Next();
    return;
  }
  SeekTo(std::max<qlonglong>(0, Position() + Offset));
}

// A position for a song no longer current, or outside the song, is dropped.
void TMprisPlayer::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
  if (!CanSeek() || Length() <= 0 || TrackId != this->TrackId(session_.CurrentRow)) return;
  if (Position < 0 || Position > Length()) return;
  SeekTo(Position);
}

void TMprisPlayer::SeekTo(qlonglong position) {
  session_.SeekTo(uint32_t(position / 1000), uint32_t(Length() / 1000));
  // Paused, the engine reports no time until play resumes.
  hundredths_ = position / 10000;
  seeked_->start();
}

// The caller is answered at once; the album is scanned afterwards.
void TMprisPlayer::OpenUri(const QString& Uri) {
  const std::string path = LocalPath(Uri);
  if (path.empty()) return;
  QTimer::singleShot(0, this, [this, path] { OpenWhenIdle(path); });
}

// A folder that cannot be entered leaves the chosen source and the album as they are.
void TMprisPlayer::OpenWhenIdle(const std::string& path) {
  // A load lets events run, so a request can arrive in the middle of one.
  if (session_.Loading()) {
    QTimer::singleShot(100, this, [this, path] { OpenWhenIdle(path); });
    return;
  }
  session_.RequestOpen(path);
}

// ---- Changes ----

QVariantMap TMprisPlayer::Announced() const {
  return {{QStringLiteral("PlaybackStatus"), PlaybackStatus()},
          {QStringLiteral("LoopStatus"), LoopStatus()},
          {QStringLiteral("Shuffle"), Shuffle()},
          {QStringLiteral("Metadata"), Metadata()},
          {QStringLiteral("Volume"), Volume()},
          {QStringLiteral("CanGoNext"), CanGoNext()},
          {QStringLiteral("CanGoPrevious"), CanGoPrevious()},
          {QStringLiteral("CanPlay"), CanPlay()},
          {QStringLiteral("CanPause"), CanPause()},
          {QStringLiteral("CanSeek"), CanSeek()}};
}

void TMprisPlayer::Changed() {
  if (!changes_->isActive()) changes_->start();
}

void TMprisPlayer::SendChanges() {
  const QVariantMap now = Announced();
  QVariantMap changed;
  for (auto it = now.begin(); it != now.end(); ++it)
    if (sent_.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
  sent_ = now;
  if (changed.isEmpty()) return;
  QDBusMessage signal =
      QDBusMessage::createSignal(path_, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"));
  signal << kInterface << changed << QStringList();
  connection_.send(signal);
}

void TMprisPlayer::StateReported(int state) {
  state_ = state;
  if (state == XA_PLAYER_STATE_STOPPED) hundredths_ = 0;
  Changed();
}

void TMprisPlayer::SongChanged() {
  const std::string song = session_.CurrentSongPath();
  // The same song opened again keeps its length until the engine reports it anew.
  if (song != song_) lengthSeconds_ = 0;
  song_ = song;
  hundredths_ = 0;
  Changed();
}

void TMprisPlayer::DurationReported(qint64 seconds) {
  lengthSeconds_ = seconds;
  Changed();
}

void TMprisPlayer::TimecodeReported(qint64 hundredths) { hundredths_ = hundredths; }
