// The session wired to the main window: every change the session reports is repainted here,
// whoever caused it (a button, a key, the tray or the media-controls service).
#include <QLabel>
#include <QListWidget>

#include "FileLabel.h"
#include "Form1.h"
#include "Form2.h"
#include "GradProgress.h"
#include "ListText.h"
#include "QtText.h"
#include "XaudioPlayer.h"

void TForm1::ConnectSession() {
  Session.Bind(XAudio);
  TAlbumSession* session = &Session;
  connect(session, &TAlbumSession::PositionChanged, this, &TForm1::XAudioNotifyInputPosition);
  connect(session, &TAlbumSession::TimecodeReported, this, &TForm1::XAudioNotifyInputTimecode);
  connect(session, &TAlbumSession::DurationReported, this, &TForm1::XAudioNotifyInputDuration);
  connect(session, &TAlbumSession::StreamInfoReported, this, &TForm1::XAudioNotifyInputStreamInfo);
  connect(session, &TAlbumSession::EnvironmentReported, this,
          &TForm1::XAudioNotifyEnvironmentString);
  connect(session, &TAlbumSession::CodecQualityReported, this,
          [](int quality) { ShowMessage(std::to_string(quality)); });
  // A failed song stops the album until someone answers; a damaged one is only told.
  connect(session, &TAlbumSession::SongFailed, this,
          [](const std::string& text) { ShowMessage(text); });
  connect(session, &TAlbumSession::SongDamaged, this,
          [this](const std::string& text) { ShowNote(this, text); });

  connect(session, &TAlbumSession::TimeCleared, this, &TForm1::ClearTime);
  connect(session, &TAlbumSession::ScanStarted, this, &TForm1::ScanStarted);
  connect(session, &TAlbumSession::AlbumScanned, this,
          [this] { AddListTexts(CDList, Session.Discs()); });
  connect(session, &TAlbumSession::AlbumUnloaded, this, &TForm1::AlbumUnloaded);
  connect(session, &TAlbumSession::DiscTitleChanged, this, &TForm1::DiscTitleChanged);
  connect(session, &TAlbumSession::DiscLoaded, this, &TForm1::CaricaCD);
  connect(session, &TAlbumSession::SongChanged, this, &TForm1::CaricaSong);
  connect(session, &TAlbumSession::PlayOrderChanged, this, &TForm1::ColorModeLabels);
  connect(session, &TAlbumSession::VolumeChanged, this, [this] {
    VolBar->SetPosition(Session.Volume());
    VolBar->setToolTip(ToQString("Volume: " + std::to_string(Session.Volume()) + "%"));
  });
  connect(session, &TAlbumSession::OpenRequested, this, &TForm1::OpenFile);
}
