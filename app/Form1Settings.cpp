// The settings file: read once at the first show into the window and its dialogs, written
// once at closing from them. Every read that yields its default writes it back, so the first
// start leaves a file holding every key.
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <iostream>
#include <utility>

#include "ExtProgressBar.h"
#include "FileLabel.h"
#include "Folders.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "GradProgress.h"
#include "IniFile.h"
#include "QtText.h"
#include "RunLabel.h"
#include "SettingsKeys.h"
#include "WindowZoom.h"
#include "XaudioPlayer.h"
#include "phComboBox.h"

namespace {

using namespace settings;

int Read(TMyRegistry& ini, const char* section, const TIntKey& key) {
  return ini.ReadInteger(section, key.Name, key.Default);
}
bool Read(TMyRegistry& ini, const char* section, const TBoolKey& key) {
  return ini.ReadBool(section, key.Name, key.Default);
}
std::string Read(TMyRegistry& ini, const char* section, const TTextKey& key) {
  return ini.ReadString(section, key.Name, key.Default);
}

}  // namespace

std::string TForm1::DefaultLastAlbum() const {
  if (Form2 && Form2->CDROMs->count() > 0) return Form2->CDROMs->Item(0);
  // A chosen folder carries no trailing "/", except the root.
  std::string folder = platform::MusicFolder();
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

void TForm1::LeggiINI() {
  ini.INIFile = SettingsFile;
  ini.Close();
  IniFile::RemoveStaleTemporaries(SettingsFile);
  try {
    const TMyRegistry::TQuietPass pass(ini);
    ini.Open();
    // Told once the event loop runs, where a kill or a second start already reach the player.
    if (ini.TooLarge()) {
      const std::string text = "The settings file " + SettingsFile +
                               " is larger than 16 MB: it is not read and is kept as it is.";
      QTimer::singleShot(0, this, [text] { ShowMessage(text); });
    }
    const int winX = Read(ini, kGeneral, kWinX);
    move(winX / WindowZoom, y());
    const int winY = Read(ini, kGeneral, kWinY);
    move(x(), winY / WindowZoom);
    const int openX = Read(ini, kGeneral, kOpenX);
    if (Form2) Form2->move(openX / WindowZoom, Form2->y());
    const int openY = Read(ini, kGeneral, kOpenY);
    if (Form2) Form2->move(Form2->x(), openY / WindowZoom);
    ReverseTime = Read(ini, kGeneral, kReverseTime);
    if (Read(ini, kGeneral, kMicroMode)) Microview1Click();
    // The Preferences controls hold these options for the whole run.
    Session.AutoStart = Read(ini, kGeneral, kAutoStart);
    if (Form3) Form3->Autost->setChecked(Session.AutoStart);
    AutoPlay = Read(ini, kGeneral, kAutoPlay);
    if (Form3) Form3->APlay->setChecked(AutoPlay);
    const int autoPlayDrive = Read(ini, kGeneral, kAutoPlayCD);
    if (Form3 && autoPlayDrive >= 0 && autoPlayDrive < Form3->AutoPlayCD->count())
      Form3->AutoPlayCD->SetItemIndex(autoPlayDrive);
    const bool autoScroll = Read(ini, kGeneral, kAutoScroll);
    if (Form3) Form3->AutoScroll->setChecked(autoScroll);
    CDlbl->SetRunMode(autoScroll ? rmNormal : rmLabel);
    const bool lastPos = Read(ini, kGeneral, kLastPos);
    if (Form3) Form3->LastPos->setChecked(lastPos);
    const bool hints = Read(ini, kGeneral, kActiveHints);
    if (Form3) Form3->AttivaHints->setChecked(hints);
    SettaHint(hints);
    const int autoClose =
        std::clamp(Read(ini, kGeneral, kAutoCloseSec), kAutoCloseMin, kAutoCloseMax);
    if (Form3) Form3->Barautoclose->setValue(autoClose);
    TimerSelector->setInterval(autoClose * 1000);
    const int priority = std::clamp(Read(ini, kGeneral, kPriority), kPriorityMin, kPriorityMax);
    if (Form3) Form3->BarPrior->setValue(priority);
    XAudio->SetPriority(static_cast<unsigned>(priority));
    const int volume = Read(ini, kGeneral, kVolume);
    if (volume >= kVolumeMin && volume <= kVolumeMax) VolumeUpdate(volume);
    SkinName = Read(ini, kGeneral, kSkin);
    const std::string lastAlbum = ini.ReadString(kGeneral, kLastAlbum, DefaultLastAlbum());
    if (Form2) Form2->CurrDir->SetFileName(lastAlbum);
    // Each mode is restored by its own command, from all modes off.
    if (Read(ini, kGeneral, kModeRepeat)) repeatbtnClick();
    if (Read(ini, kGeneral, kModeShuffle)) shufflebtnClick();
    if (Read(ini, kGeneral, kModeProgram)) progbtnClick();
    if (Read(ini, kGeneral, kModeAlbum)) modemodebtnClick();
    Session.LastRow = Read(ini, kGeneral, kLastRow);

    AbilitaEQU->setChecked(Read(ini, kEqu, kEquON));
    SetPresetName(Read(ini, kEqu, kPreset));
    for (std::size_t band = 0; band < kEquBands.size(); ++band)
      TrackBar[band]->SetPosition(ini.ReadInteger(kEqu, kEquBands[band], kEquBandDefault));
    UpdateEqualizer();
    // After the original keys, so that a fresh file lists them first.
    Zoom = std::clamp(Read(ini, kGeneral, kZoom), TWindowZoom::kMin, TWindowZoom::kMax);
    ShowZoom();
    const int gainMode = Read(ini, kGeneral, kReplayGain);
    const int preamp = Read(ini, kGeneral, kReplayGainPreamp);
    SetReplayGain(gainMode, preamp, Read(ini, kGeneral, kReplayGainUntagged));
    Session.LastSong = Read(ini, kGeneral, kLastSong);
    Session.LastSecond = std::max(0, Read(ini, kGeneral, kLastSecond));
  } catch (const std::exception&) {
    // The keys not read yet keep what their controls hold.
  }
  // The engine starts with ReplayGain off; it gets the choices even when reading failed.
  SetReplayGain(ReplayGainMode, ReplayGainPreamp, ReplayGainUntagged);
  LeggiSkinINI(ColorsFile(SkinName, false));
}

void TForm1::ScriviINI() {
  ini.INIFile = SettingsFile;
  try {
    const TMyRegistry::TQuietPass pass(ini);
    ini.Open();
    ini.WriteInteger(kGeneral, kWinX.Name, x() * WindowZoom);
    ini.WriteInteger(kGeneral, kWinY.Name, y() * WindowZoom);
    if (Form2) {
      ini.WriteInteger(kGeneral, kOpenX.Name, Form2->x() * WindowZoom);
      ini.WriteInteger(kGeneral, kOpenY.Name, Form2->y() * WindowZoom);
    }
    ini.WriteBool(kGeneral, kMicroMode.Name, MicroMode());
    ini.WriteBool(kGeneral, kReverseTime.Name, ReverseTime);
    ini.WriteInteger(kGeneral, kVolume.Name, VolBar->Position());
    if (const TForm3* prefs = Form3) {
      ini.WriteBool(kGeneral, kAutoStart.Name, prefs->Autost->isChecked());
      ini.WriteBool(kGeneral, kAutoPlay.Name, prefs->APlay->isChecked());
      if (prefs->AutoPlayCD->count() > 0)
        ini.WriteInteger(kGeneral, kAutoPlayCD.Name, prefs->AutoPlayCD->ItemIndex());
      ini.WriteBool(kGeneral, kAutoScroll.Name, prefs->AutoScroll->isChecked());
      ini.WriteBool(kGeneral, kLastPos.Name, prefs->LastPos->isChecked());
      ini.WriteBool(kGeneral, kActiveHints.Name, prefs->AttivaHints->isChecked());
      ini.WriteInteger(kGeneral, kAutoCloseSec.Name, prefs->Barautoclose->value());
      ini.WriteInteger(kGeneral, kPriority.Name, prefs->BarPrior->value());
    }
    ini.WriteString(kGeneral, kSkin.Name, SkinName);
    if (Form2) ini.WriteString(kGeneral, kLastAlbum, Form2->CurrDir->FileName());
    ini.WriteBool(kGeneral, kModeRepeat.Name, Session.Repeat);
    ini.WriteBool(kGeneral, kModeShuffle.Name, Session.Shuffle);
    // Program mode keeps no state.
    ini.WriteBool(kGeneral, kModeProgram.Name, false);
    ini.WriteBool(kGeneral, kModeAlbum.Name, Session.Album);
    const bool loaded = Session.AlbumLoaded();
    ini.WriteInteger(kGeneral, kLastRow.Name,
                     loaded ? Session.SortedRow(Session.CurrentRow) : Session.CurrentRow);
    ini.WriteInteger(kGeneral, kZoom.Name, Zoom);
    ini.WriteInteger(kGeneral, kReplayGain.Name, ReplayGainMode);
    ini.WriteInteger(kGeneral, kReplayGainPreamp.Name, ReplayGainPreamp);
    ini.WriteInteger(kGeneral, kReplayGainUntagged.Name, ReplayGainUntagged);
    ini.WriteString(kGeneral, kLastSong.Name, Session.CurrentSongName());
    ini.WriteInteger(kGeneral, kLastSecond.Name, loaded ? Session.ElapsedSeconds() : 0);

    ini.WriteBool(kEqu, kEquON.Name, AbilitaEQU->isChecked());
    ini.WriteString(kEqu, kPreset.Name, PresetName());
    for (std::size_t band = 0; band < kEquBands.size(); ++band)
      ini.WriteInteger(kEqu, kEquBands[band], TrackBar[band]->Position());
  } catch (const std::exception&) {
  }
  // The pass has ended: everything was stored, or the old file stays whole.
  if (!ini.QuietError().empty()) TellSaveFailure(ini.QuietError());
  ScriviSkinINI();
}

void TForm1::TellSaveFailure(const std::string& error) {
  if (saveFailureTold_) return;
  saveFailureTold_ = true;
  const std::string text = "The settings could not be saved. " + error;
  std::cerr << "sonavera: " << text << "\n";
  // Ended from outside, nobody may answer a box, and a logout must not wait for one.
  if (!endedFromOutside_) ShowMessage(text);
}
