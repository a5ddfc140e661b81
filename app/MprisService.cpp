#include "MprisService.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include "Form1.h"
#include "MprisPlayer.h"
#include "MprisRoot.h"

const QString TMprisService::ServiceName = QStringLiteral("org.mpris.MediaPlayer2.sonavera");
const QString TMprisService::ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");

namespace {

// Long enough for a player busy drawing; it answers before it scans the folder.
constexpr int kHandOverTimeoutMs = 5000;

}  // namespace

TMprisService::TMprisService(TForm1& form, const QDBusConnection& connection)
    : connection_(connection) {
  // Nothing is announced or reported when the bus is missing or the name taken.
  if (!connection_.isConnected() || !connection_.registerService(ServiceName)) return;
  new TMprisRoot(this, form);
  new TMprisPlayer(this, form.Session, connection_, ObjectPath);
  registered_ = connection_.registerObject(ObjectPath, this, QDBusConnection::ExportAdaptors);
  if (!registered_) connection_.unregisterService(ServiceName);
}

TMprisService::~TMprisService() {
  if (!registered_) return;
  connection_.unregisterObject(ObjectPath);
  connection_.unregisterService(ServiceName);
}

bool TMprisService::HandOver(const std::string& argument, const QDBusConnection& connection) {
  QDBusConnectionInterface* bus = connection.isConnected() ? connection.interface() : nullptr;
  if (!bus || !bus->isServiceRegistered(ServiceName)) return false;
  QDBusMessage call =
      argument.empty()
          ? QDBusMessage::createMethodCall(ServiceName, ObjectPath,
                                           QStringLiteral("org.mpris.MediaPlayer2"),
                                           QStringLiteral("Raise"))
          : QDBusMessage::createMethodCall(ServiceName, ObjectPath,
                                           QStringLiteral("org.mpris.MediaPlayer2.Player"),
                                           QStringLiteral("OpenUri"));
  if (!argument.empty()) call << TMprisPlayer::FileUri(argument);
  return connection.call(call, QDBus::BlockWithGui, kHandOverTimeoutMs).type() ==
         QDBusMessage::ReplyMessage;
}
