// TMprisPlayer: org.mpris.MediaPlayer2.Player, the player's transport and play order as
// media keys, desktop media controls and command-line tools see them. Every command runs the
// session's own operation; every change of a property goes out once, in one PropertiesChanged
// gathered over a turn of the event loop; the position is read on demand.
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>
#include <string>

#include "TrackTags.h"

class QTimer;
class TAlbumSession;

class TMprisPlayer : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(bool Shuffle READ Shuffle WRITE SetShuffle)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(bool CanGoNext READ CanGoNext)
  Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPause)
  Q_PROPERTY(bool CanSeek READ CanSeek)
  Q_PROPERTY(bool CanControl READ CanControl)

 public:
  // Lives on the object registered at path of connection (parent), and follows session.
  TMprisPlayer(QObject* parent, TAlbumSession& session, const QDBusConnection& connection,
               const QString& path);

  QString PlaybackStatus() const;
  QString LoopStatus() const;
  // "None" turns Repeat mode off, "Playlist" on; a single song does not repeat on its own,
  // so "Track" changes nothing.
  void SetLoopStatus(const QString& value);
  double Rate() const { return 1.0; }
  void SetRate(double) {}
  bool Shuffle() const;
  void SetShuffle(bool value);
  QVariantMap Metadata() const;
  double Volume() const;
  void SetVolume(double value);
  qlonglong Position() const;  // microseconds
  bool CanGoNext() const;
  bool CanGoPrevious() const;
  bool CanPlay() const;
  bool CanPause() const { return CanPlay(); }
  bool CanSeek() const { return CanPlay(); }
  bool CanControl() const { return true; }

  // The file URI of a path, and the path of a local file URI: empty for any other URI, for
  // a relative path and for one holding a NUL byte.
  static QString FileUri(const std::string& path);
  static std::string LocalPath(const QString& uri);
  // The object path naming the song of row; songs keep their paths when rows are shuffled.
  QDBusObjectPath TrackId(int row) const;

 public slots:
  void Play();
  void Pause();
  void PlayPause();
  void Stop();
  void Next();
  void Previous();
  void Seek(qlonglong Offset);
  void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position);
  // A file URI: its folder becomes the source and the file plays, as a file named on the
  // command line does; a folder's URI plays the folder from its first song.
  void OpenUri(const QString& Uri);

 signals:
  void Seeked(qlonglong Position);

 private:
  // The properties that announce their changes, as last sent.
  QVariantMap Announced() const;
  // Gathers the changes of this turn of the event loop into one signal.
  void Changed();
  void SendChanges();
  void StateReported(int state);
  void SongChanged();
  void DurationReported(qint64 seconds);
  void TimecodeReported(qint64 hundredths);
  // Song length in microseconds; 0 until the engine has reported it.
  qlonglong Length() const { return lengthSeconds_ * 1000000; }
  // The title of row without its list number.
  QString Title(int row) const;
  // Seeks to position as a drag of the position bar would, to the microsecond.
  void SeekTo(qlonglong position);
  // Opens path once no load is running.
  void OpenWhenIdle(const std::string& path);

  TAlbumSession& session_;
  QDBusConnection connection_;
  QString path_;
  QVariantMap sent_;
  QTimer* changes_;
  // A seek is announced once the position has settled: a drag of the bar seeks at every move.
  QTimer* seeked_;
  int state_ = 0;
  std::string song_;
  qint64 lengthSeconds_ = 0;
  qint64 hundredths_ = 0;
  // The picture of the disc last looked up, by its folder.
  mutable std::string pictureFolder_, picture_;
  mutable TTrackTags tags_;
};
