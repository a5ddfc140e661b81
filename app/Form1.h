// TForm1: the borderless, skinned main window. It owns every control of the player and the
// routines that work on them; those routines live in several source files by concern
// (construction, skin and colours, display pages and window modes, start-up).
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "AlbumScanner.h"
#include "ColorScheme.h"
#include "MouseEvents.h"
#include "MyRegistry.h"
#include "XaudioEntryPoints.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class TCoolButton;
class TExtProgressBar;
class TFEJpeg;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TGradProgress;
class TRunLabel;
class TWPopupMenu;
class TXaudioPlayer;

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  // programFolder ends in "/"; the skins and the form's own pictures are found below it.
  explicit TForm1(const std::string& programFolder,
                  const TXaudioEntryPoints& engine = TXaudioEntryPoints::Selected());
  ~TForm1() override;

  // Message boxes of the window; tests replace it so that nothing waits for a click.
  static std::function<void(const std::string& text)> ShowMessage;

  // The dialogs, created after the main window and living as long as it (set by main()).
  TForm2* Form2 = nullptr;
  TForm3* Form3 = nullptr;
  TForm4* Form4 = nullptr;
  TForm5* Form5 = nullptr;

  // Folders and the current skin; every folder ends in "/".
  std::string ProgramFolder;
  std::string SkinsRoot;
  std::string SkinName = "DEFAULT";

  // Run-time flags.
  bool FirstStart = true;
  bool Playing = false;
  bool ReverseTime = false;
  bool Album = false;
  bool Shuffle = false;
  bool Repeat = false;
  bool Program = false;

  // The single settings store, pointed in turn at Sonavera.ini and a skin's Colors.ini.
  TMyRegistry ini;
  TXaudioPlayer* XAudio = nullptr;
  // The colour scheme's working copy: read from Colors.ini, edited by Preferences, shown by
  // Assegnacolori.
  TColorScheme Colors = TColorScheme::Defaults();

  // Skin and colours.
  void LoadSkin(const std::string& folder);
  std::string EstraiDisco(const std::string& path) const;
  void LeggiSkinINI(const std::string& path);
  void Assegnacolori();
  void ScriviSkinINI();
  void SelectSkin1Click();
  void FindFileSkinNewPath(const std::string& newPath);

  // Display pages and window modes.
  void ShowPage(const std::string& name);  // by page name, ignoring letter case
  std::string CurrentPage() const;
  void modeplaybtnClick();
  void modeimagebtnClick();
  void modeequbtnClick();
  void DisplayPageChanged();
  void Microview1Click();
  bool MicroMode() const;
  void AggiornaMicroWindow();
  void SfondoMouseDown(int x, int y);
  void SfondoMouseMove(bool leftHeld, int x, int y);
  void SfondoMouseUp(bool rightButton, int x, int y);
  // The screen area the window is kept inside after a drag.
  QRect DragBounds() const;
  void closebtnClick();
  void menubtnMouseUp(int x, int y);

  // Start-up: the first show prepares the window, the first activation after it fills it.
  void FormShow();
  void FormActivate();
  void Inizializza();

  // ---- Album table and current song (until album loading lands) ----
  TSortGrid TAB{4, 2};
  TAlbumScanner Scanner{TAB};
  int CurrentRow = 1;
  bool AlbumLoaded() const { return !TAB.Cells(0, 1).empty(); }
  std::string CurrentSongPath() const;

  // ---- Transport and time display ----
  // Play/Restart and Pause/Stop: the buttons of both windows and the keyboard.
  void PlaybtnClick();
  void StopbtnClick();
  // Elapsed or remaining time; the labels follow at the next timecode.
  void CurrTimeClick();
  // Seeking and volume by mouse; a press seeks or sets with any button, a move only while
  // the left button is held.
  void PosBarMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void PosBarMouseMove(TShiftState Shift, int X, int Y);
  void VolBarMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void VolBarMouseMove(TShiftState Shift, int X, int Y);
  // The volume bar to value (kept when outside 0..100), its hint, and the engine's level.
  void VolumeUpdate(int value);
  // Sends the position bar's place to the engine as a seek on the 0..400 scale.
  void SeekToBar();
  // The engine's notifications.
  void XAudioNotifyPlayerState(TXaudioPlayer* Sender, int32_t State);
  void XAudioNotifyInputState(TXaudioPlayer* Sender, int32_t State);
  void XAudioNotifyInputPosition(TXaudioPlayer* Sender, uint32_t Offset, uint32_t Range);
  void XAudioNotifyInputTimecode(TXaudioPlayer* Sender, uint8_t Hours, uint8_t Minutes,
                                 uint8_t Seconds, uint8_t Fractions);
  void XAudioNotifyInputDuration(TXaudioPlayer* Sender, uint32_t Duration);
  void XAudioNotifyInputStreamInfo(TXaudioPlayer* Sender, uint8_t Level, uint8_t Layer,
                                   uint16_t Bitrate, uint16_t Frequency, uint8_t Mode);
  void XAudioNotifyOutputPcmLevel(TXaudioPlayer* Sender, uint8_t PcmLevel);
  void XAudioNotifyCodecQuality(TXaudioPlayer* Sender, uint8_t Quality);
  void XAudioNotifyError(TXaudioPlayer* Sender, uint8_t Source, int16_t Code,
                         const std::string& Msg);
  // The next-song decision, run when the engine has played the input to its end.
  void MixProssimaCanzone();
  // The open song's duration from the engine's last report, in whole minutes and seconds.
  uint32_t DurationMinutes = 0;
  uint32_t DurationSeconds = 0;
  // The tray tooltip: song title and time (the tray icon shows it once it exists).
  std::string TrayHint;

  // Controls of the normal window.
  TFEJpeg* Sfondo = nullptr;
  TCoolButton *Playbtn = nullptr, *Stopbtn = nullptr, *rewbtn = nullptr, *fwdbtn = nullptr,
              *ejbtn = nullptr, *repeatbtn = nullptr, *shufflebtn = nullptr, *progbtn = nullptr,
              *menubtn = nullptr, *minimizebtn = nullptr, *closebtn = nullptr,
              *modeplaybtn = nullptr, *modeimagebtn = nullptr, *modeequbtn = nullptr,
              *modemodebtn = nullptr;
  QStackedWidget* Display = nullptr;
  QFrame *Page0 = nullptr, *page1 = nullptr, *page2 = nullptr;
  QWidget *pagesong = nullptr, *pagedisc = nullptr;

  // Play page.
  TFEJpeg* DISPimage = nullptr;
  TRunLabel *CDlbl = nullptr, *Songlbl = nullptr;
  QLabel *CurrTime = nullptr, *Separatore = nullptr, *Totlbl = nullptr, *Bitratelbl = nullptr,
         *Stereolbl = nullptr, *replbl = nullptr, *shufflelbl = nullptr, *Programlbl = nullptr,
         *Albumlbl = nullptr;
  TGradProgress *PosBar = nullptr, *VolBar = nullptr;

  // Image page.
  TFEJpeg* CDImage = nullptr;

  // Equalizer page; TrackBar[0] is the first band's slider.
  TFEJpeg* EQUimg = nullptr;
  QCheckBox* AbilitaEQU = nullptr;
  QLabel* EQUlbl = nullptr;
  QPushButton *Zerobtn = nullptr, *LoadPresetbtn = nullptr, *Presetbtn = nullptr;
  QLineEdit* PresetEdit = nullptr;
  std::array<TExtProgressBar*, 8> TrackBar{};

  // Selector pages.
  QLabel *PanelSELsong = nullptr, *PanelSELDisc = nullptr, *imgMiniSong = nullptr,
         *imgMiniCD = nullptr;
  QListWidget *SongList = nullptr, *CDList = nullptr;

  // Micro window.
  QWidget* MicroPanel = nullptr;
  TFEJpeg* MicroImage = nullptr;
  QLabel *MicroCD = nullptr, *MicroSong = nullptr, *lblDisplay2 = nullptr;
  TCoolButton *btnrew1 = nullptr, *btnrew2 = nullptr, *btnfwd1 = nullptr, *btnfwd2 = nullptr,
              *btnPlay2 = nullptr, *btnStop2 = nullptr, *btnClose2 = nullptr;

  // The main menu; the rest of its items arrive with the other dialogs.
  TWPopupMenu* MAINmenu2 = nullptr;
  QAction *SelectSkin1 = nullptr, *Microview1 = nullptr, *MenuItem11 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Construction, by area of the window.
  void CreateFrame();
  void CreatePlayPage();
  void CreateEqualizerPage();
  void CreateSelectorPages();
  void CreateMicroPanel();
  void CreateMainMenu();
  // The fifteen skinned buttons in loading order: place, hint and picture file.
  struct TSkinnedButton {
    TCoolButton* TForm1::*Member;
    const char* File;
    int Left, Top, Width, Height;
    const char* Hint;
  };
  static const std::array<TSkinnedButton, 15>& SkinnedButtons();
  TCoolButton* SkinButton(QWidget* parent, int left, int top, int width, int height,
                          const char* hint);
  TCoolButton* FormButton(QWidget* parent, const char* picture, int left, int top, int width,
                          int height, const char* hint);
  QLabel* DisplayLabel(const char* text, int left, int top, int width, int height);
  // Text and bar colours of the scheme; the mode labels by their flags.
  void PaintColors(const TColorScheme& scheme, TColor modeOn, TColor modeOff);
  static void SetTextColor(QWidget* widget, TColor color);
  void ConnectDragHandle(QWidget* handle);
  // Transport: button, label, bar and engine handlers wired to this window.
  void ConnectTransport();
  // Sends the volume bar's level to the engine.
  void SendVolume();

  int dragX_ = 0;
  int dragY_ = 0;
  bool firstShowDone_ = false;
};
