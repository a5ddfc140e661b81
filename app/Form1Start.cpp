// Start-up and shutdown of the main window: the first show reads the settings and the skin,
// the first activation takes the command line and reopens the remembered album, closing
// stops the engine and writes the settings.
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>
#include <exception>
#include <filesystem>
#include <utility>

#include "FileLabel.h"
#include "Folders.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "GradProgress.h"
#include "RunLabel.h"
#include "SettingsKeys.h"
#include "SourceCheck.h"
#include "XaudioPlayer.h"
#include "phComboBox.h"

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (firstShowDone_) return;
  FormShow();
  // The first activation follows the first show once the window is up.
  QTimer::singleShot(0, this, &TForm1::FormActivate);
}

void TForm1::FormShow() {
  firstShowDone_ = true;
  XAudio->SetCodecQuality(0);
  // The window shows whole seconds: one timecode as the sound enters each second, not ten.
  // The position bar has notices of its own, one per step of its 400.
  XAudio->SetInputTimecodeGranularity(100);
  FillDriveLists();
  // The settings file lives in the user's configuration folder.
  WindowsDir = platform::ConfigFolder();
  SettingsFile = WindowsDir + settings::kFileName;
  PosBar->SetPosition(PosBar->MaxValue());
  Session.CurrentRow = 1;
  Session.Repeat = Session.Shuffle = Session.Program = Session.Album = false;
  PresetEditing = false;
  SerialNumber = "empty";
  std::error_code error;
  firstRun_ = !std::filesystem::exists(SettingsFile, error);
  LeggiINI();
  LoadSkin(SkinFolderOf(SkinName), true);
  Assegnacolori();
  VolBar->setToolTip(QStringLiteral("Volume: %1%").arg(VolBar->Position()));
  AutoPTimer->start();
}

void TForm1::FormActivate() {
  if (!FirstStart) return;
  Inizializza();
  if (OnStarted) OnStarted();
}

void TForm1::Inizializza() {
  // A song or folder named on the command line plays whether or not the last position is
  // remembered.
  bool restored = false;
  if (!Arguments.empty() && Arguments[0].size() > 3) {
    const std::string& argument = Arguments[0];
    if (argument == "setup") {
      // The desktop link, before any album is restored.
      if (Form3) Form3->CreaDesktopClick();
    } else if (!(restored = OpenFile(argument))) {
      // The folder part of a path that cannot be read, up to and including its last "/".
      const std::size_t slash = argument.rfind('/');
      if (Form2) Form2->CurrDir->SetFileName(argument.substr(0, slash + 1));
      Session.LastRow = 1;
      Session.LastSong.clear();
    }
  }
  if (!restored && Form2 && Form3 && Form3->LastPos->isChecked()) {
    const std::string source = Form2->CurrDir->FileName();
    try {
      if (SourceReadable(source)) {
        OpenSource(source);
        restored = true;
      }
    } catch (const std::exception&) {
      // Falls back like a source that cannot be entered.
    }
    if (!restored && Form2->CDROMs->count() > 0)
      Form2->CurrDir->SetFileName(Form2->CDROMs->Item(0));
  }
  if (!restored && firstRun_ && Arguments.empty()) restored = Welcome();
  if (!restored) {
    Songlbl->StartRun(0, 0);
    CDlbl->StartRun(0, 0);
  }
  FirstStart = false;
}

// A first start shows the music there is without playing it, or says where to choose some.
bool TForm1::Welcome() {
  std::string music = platform::MusicFolder();
  if (music.size() > 1 && music.back() == '/') music.pop_back();
  Session.Scanner.FindDiscFolders(music);
  if (Session.Scanner.TMPlist().empty()) {
    Songlbl->SetCaption(kChooseMusic);
    return false;
  }
  if (Form2) Form2->CurrDir->SetFileName(music);
  const bool autoStart = std::exchange(Session.AutoStart, false);
  OpenSource(music);
  Session.AutoStart = autoStart;
  return Session.AlbumLoaded();
}

void TForm1::EndProgram() {
  endedFromOutside_ = true;
  close();
  QCoreApplication::quit();
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormCloseQuery();
  event->accept();
}

void TForm1::FormCloseQuery() {
  // A signal or the session end may close the window a second time.
  if (closed_) return;
  closed_ = true;
  XAudio->Stop();
  XAudio->Exit();
  // A window never shown has read no settings: writing its design values would overwrite them.
  if (firstShowDone_) ScriviINI();
}
