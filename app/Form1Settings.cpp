// The settings file: read once at the first show into the window and its dialogs, written
// once at closing from them. Every read that yields its default writes it back, so the first
// start leaves a file holding every key.
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "ExtProgressBar.h"
#include "FileLabel.h"
#include "Folders.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "GradProgress.h"
#include "QtText.h"
#include "RunLabel.h"
#include "SettingsKeys.h"
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

// Writes in order and stops at the first write that fails: the keys after it keep what the
// file held.
class TSettingsWriter {
 public:
  TSettingsWriter(TMyRegistry& ini, const char* section) : ini_(ini), section_(section) {}
  void Section(const char* section) { section_ = section; }
  void Int(const char* key, int value) {
    if (ok_) ok_ = ini_.WriteInteger(section_, key, value);
  }
  void Bool(const char* key, bool value) {
    if (ok_) ok_ = ini_.WriteBool(section_, key, value);
  }
  void Text(const char* key, const std::string& value) {
    if (ok_) ok_ = ini_.WriteString(section_, key, value);
  }

 private:
  TMyRegistry& ini_;
  const char* section_;
  bool ok_ = true;
};

// Closes the store however the reading or writing ends.
struct TCloseStore {
  TMyRegistry& Ini;
  ~TCloseStore() { Ini.Close(); }
};

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
  // A write-back that fails (a read-only file) does not end the reading: the values the
  // file holds are still taken.
  try {
    const TCloseStore closer{ini};
    ini.Open();
    const int winX = Read(ini, kGeneral, kWinX);
    move(winX, y());
    const int winY = Read(ini, kGeneral, kWinY);
    move(x(), winY);
    const int openX = Read(ini, kGeneral, kOpenX);
    if (Form2) Form2->move(openX, Form2->y());
    const int openY = Read(ini, kGeneral, kOpenY);
    if (Form2) Form2->move(Form2->x(), openY);
    ReverseTime = Read(ini, kGeneral, kReverseTime);
    if (Read(ini, kGeneral, kMicroMode) && !MicroMode()) Microview1Click();
    // The Preferences controls hold these options for the whole run.
    TForm3* prefs = Form3;
    AutoStart = Read(ini, kGeneral, kAutoStart);
    if (prefs) prefs->Autost->setChecked(AutoStart);
    AutoPlay = Read(ini, kGeneral, kAutoPlay);
    if (prefs) prefs->APlay->setChecked(AutoPlay);
    const int autoPlayDrive = Read(ini, kGeneral, kAutoPlayCD);
    if (prefs && autoPlayDrive >= 0 && autoPlayDrive < prefs->AutoPlayCD->count())
      prefs->AutoPlayCD->SetItemIndex(autoPlayDrive);
    const bool autoScroll = Read(ini, kGeneral, kAutoScroll);
    if (prefs) prefs->AutoScroll->setChecked(autoScroll);
    CDlbl->SetRunMode(autoScroll ? rmNormal : rmLabel);
    const bool lastPos = Read(ini, kGeneral, kLastPos);
    if (prefs) prefs->LastPos->setChecked(lastPos);
    const bool hints = Read(ini, kGeneral, kActiveHints);
    if (prefs) prefs->AttivaHints->setChecked(hints);
    const int autoClose =
        std::clamp(Read(ini, kGeneral, kAutoCloseSec), kAutoCloseMin, kAutoCloseMax);
    if (prefs) prefs->Barautoclose->setValue(autoClose);
    TimerSelector->setInterval(autoClose * 1000);
    const int priority = std::clamp(Read(ini, kGeneral, kPriority), kPriorityMin, kPriorityMax);
    if (prefs) prefs->BarPrior->setValue(priority);
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
    LastRow = Read(ini, kGeneral, kLastRow);

    AbilitaEQU->setChecked(Read(ini, kEqu, kEquON));
    PresetEdit->setText(ToQString(Read(ini, kEqu, kPreset)));
    for (std::size_t band = 0; band < kEquBands.size(); ++band)
      TrackBar[band]->SetPosition(ini.ReadInteger(kEqu, kEquBands[band], kEquBandDefault));
    UpdateEqualizer();
  } catch (const std::exception&) {
    // The keys not read yet keep what their controls hold.
  }
  LeggiSkinINI(SkinsRoot + SkinName + "/Colors.ini");
}

void TForm1::ScriviINI() {
  ini.INIFile = SettingsFile;
  try {
    const TCloseStore closer{ini};
    ini.Open();
    TSettingsWriter put(ini, kGeneral);
    put.Int(kWinX.Name, x());
    put.Int(kWinY.Name, y());
    if (Form2) {
      put.Int(kOpenX.Name, Form2->x());
      put.Int(kOpenY.Name, Form2->y());
    }
    put.Bool(kMicroMode.Name, MicroMode());
    put.Bool(kReverseTime.Name, ReverseTime);
    put.Int(kVolume.Name, VolBar->Position());
    if (Form3) {
      put.Bool(kAutoStart.Name, Form3->Autost->isChecked());
      put.Bool(kAutoPlay.Name, Form3->APlay->isChecked());
      if (Form3->AutoPlayCD->count() > 0) put.Int(kAutoPlayCD.Name, Form3->AutoPlayCD->ItemIndex());
      put.Bool(kAutoScroll.Name, Form3->AutoScroll->isChecked());
      put.Bool(kLastPos.Name, Form3->LastPos->isChecked());
      put.Bool(kActiveHints.Name, Form3->AttivaHints->isChecked());
      put.Int(kAutoCloseSec.Name, Form3->Barautoclose->value());
      put.Int(kPriority.Name, Form3->BarPrior->value());
    }
    put.Text(kSkin.Name, SkinName);
    if (Form2) put.Text(kLastAlbum, Form2->CurrDir->FileName());
    put.Bool(kModeRepeat.Name, Repeat);
    put.Bool(kModeShuffle.Name, Shuffle);
    // Program mode keeps no state.
    put.Bool(kModeProgram.Name, false);
    put.Bool(kModeAlbum.Name, Album);
    put.Int(kLastRow.Name, CurrentRow);

    put.Section(kEqu);
    put.Bool(kEquON.Name, AbilitaEQU->isChecked());
    put.Text(kPreset.Name, FromQString(PresetEdit->text()));
    for (std::size_t band = 0; band < kEquBands.size(); ++band)
      put.Int(kEquBands[band], TrackBar[band]->Position());
  } catch (const std::exception&) {
    // The keys not written yet keep what the file held.
  }
  ScriviSkinINI();
}
