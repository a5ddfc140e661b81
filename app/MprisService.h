// TMprisService: the player on the session bus as org.mpris.MediaPlayer2.sonavera, so media
// keys, desktop media controls, the lock screen and command-line tools drive the main
// window's own handlers. Without a session bus, or with the name held by another running
// player, it stays off and the player runs as it always did.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <string>

class TForm1;

class TMprisService : public QObject {
  Q_OBJECT

 public:
  static const QString ServiceName;
  static const QString ObjectPath;

  explicit TMprisService(TForm1& form,
                         const QDBusConnection& connection = QDBusConnection::sessionBus());
  ~TMprisService() override;

  // Whether the player is on the bus under its name.
  bool Registered() const { return registered_; }

  // Hands a file or folder named on the command line (an absolute path) to a player already
  // on the bus, which opens it; an empty argument brings that player's window to the front.
  // False when there is none or it did not answer.
  static bool HandOver(const std::string& argument,
                       const QDBusConnection& connection = QDBusConnection::sessionBus());

 private:
  QDBusConnection connection_;
  bool registered_ = false;
};
