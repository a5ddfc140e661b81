// TMprisRoot: org.mpris.MediaPlayer2, the player as a program: its name, its desktop entry,
// and showing or closing the main window.
#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>

class TForm1;

class TMprisRoot : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

 public:
  TMprisRoot(QObject* parent, TForm1& form);

  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const { return QStringLiteral("Sonavera"); }
  // The installed sonavera.desktop, without its extension.
  QString DesktopEntry() const { return QStringLiteral("sonavera"); }
  QStringList SupportedUriSchemes() const { return {QStringLiteral("file")}; }
  QStringList SupportedMimeTypes() const { return {QStringLiteral("audio/mpeg")}; }

 public slots:
  // Shows the window, also when it was hidden to the tray or minimised.
  void Raise();
  // Closes the window as its close button does (playback stopped, settings written) and
  // ends the program, whatever dialog is open.
  void Quit();

 private:
  TForm1& form_;
};
