// TForm1: the borderless, skinned main window. It owns every control of the player and the
// player itself (Session); its handlers ask the session and repaint on its signals. They
// live in several source files by concern (construction, skin and colours, display pages
// and window modes, start-up).
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "AlbumSession.h"
#include "ColorScheme.h"
#include "FileLister.h"
#include "MouseEvents.h"
#include "MyRegistry.h"
#include "SourceWatch.h"
#include "XaudioEntryPoints.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTimer;
class TCoolButton;
class TExtProgressBar;
class TFEJpeg;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TARHotKey;
class TTrayComp;
class TGradProgress;
class THintSwitch;
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
  // Notes that ask nothing and hold nothing up (one at a time), owned by `owner` so they never
  // keep the program running; tests replace it too.
  static std::function<void(QWidget* owner, const std::string& text)> ShowNote;

  // The dialogs, created after the main window and living as long as it (set by main()).
  TForm2* Form2 = nullptr;
  TForm3* Form3 = nullptr;
  TForm4* Form4 = nullptr;
  TForm5* Form5 = nullptr;

  // Folders and the current skin; every folder ends in "/".
  std::string ProgramFolder;
  std::string SkinsRoot;
  // The user's own skins and colour files ($XDG_DATA_HOME/Sonavera/SKIN/), beside the shipped
  // ones; a user skin wins over a shipped one of the same name.
  std::string UserSkinsRoot;
  std::string SkinName = "DEFAULT";

  // The player itself: album, play order, transport and the engine's notifications. The
  // handlers below ask it, and the window repaints on its signals.
  TAlbumSession Session;

  // Run-time flags.
  bool FirstStart = true;
  bool ReverseTime = false;

  // The single settings store, pointed in turn at Sonavera.ini and a skin's Colors.ini.
  TMyRegistry ini;
  TXaudioPlayer* XAudio = nullptr;
  // The colour scheme's working copy: read from Colors.ini, edited by Preferences, shown by
  // Assegnacolori.
  TColorScheme Colors = TColorScheme::Defaults();

  // Skin and colours.
  // `messageLater`: a failure is told once the event loop runs (the first show).
  void LoadSkin(const std::string& folder, bool messageLater = false);
  // The folder of skin name, ending in "/": the user's skin of that name, else the shipped one.
  std::string SkinFolderOf(const std::string& name) const;
  // Whether folder is a skin folder right under one of the skins roots (real paths compared).
  bool InSkinsRoots(const std::string& folder) const;
  // Colors.ini of skin name: the user's copy when there is one, or for writing when the
  // skin's own file cannot be written.
  std::string ColorsFile(const std::string& name, bool forWriting) const;
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
  // The time in the display and the micro window, narrowed where it would be cut.
  void ShowTime(const QString& text);
  // The disc title's end of run.
  void CDlblEnd();

  // The whole-number zoom: Zoom is the setting (1..3), WindowZoom the zoom the windows are
  // drawn at (set by main(), which applies the setting before any window exists, and by a
  // choice in the menu), ScreenZoom the desktop's own scale as a whole number (set by main()).
  // Window positions (the window's, Select Source's) are kept in the settings as at zoom 1.
  int Zoom = 1;
  int WindowZoom = 1;
  int ScreenZoom = 1;
  QMenu* ZoomMenu = nullptr;
  void ZoomClick(int zoom);
  // Draws the windows at Zoom from now on, when they are drawn at another.
  void ApplyZoom();
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
  // What the song title says on a first start that found no music.
  static constexpr char kChooseMusic[] = "NO MUSIC FOUND - CHOOSE IT WITH OPEN SOURCE (CTRL+O)";
  // Closing: stops the engine and writes the settings.
  void FormCloseQuery();
  // Ends the program from outside (a signal, the session's end, the bus): the window closes
  // as its close button does and every event loop ends, whatever dialog is open.
  void EndProgram();
  // The command-line arguments after the program's name (set by main()).
  std::vector<std::string> Arguments;
  // Runs once, after the first activation has started what the start opens: what the first
  // sound need not wait for (set by main()).
  std::function<void()> OnStarted;

  // The settings file Sonavera.ini in WindowsDir, the user's configuration folder (ends in
  // "/"); both are computed at the first show.
  std::string WindowsDir;
  std::string SettingsFile;
  void LeggiINI();
  void ScriviINI();
  // Once a run: a save that failed, on standard error and, while someone may be there to
  // answer it, in a message box.
  void TellSaveFailure(const std::string& error);

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
  // The volume to value (kept when outside 0..100); the bar and its hint follow.
  void VolumeUpdate(int value);
  // Sends the position bar's place to the engine as a seek on the 0..400 scale.
  void SeekToBar();
  // The session's reports as the window shows them (the engine's notifications reach the
  // session first).
  void XAudioNotifyInputPosition();
  void XAudioNotifyInputTimecode(qint64 hundredths);
  void XAudioNotifyInputDuration(qint64 Duration);
  void XAudioNotifyInputStreamInfo(int Bitrate, bool mono);
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

  // ---- Equalizer bands and presets (Form1Equalizer.cpp, Form1Presets.cpp) ----
  // Set while the preset name field has the keyboard focus: single-key commands are off then.
  bool PresetEditing = false;
  std::string PresetBytes;
  // "Save" and "Remove" behind "-"; the preset list behind "v", rebuilt at every opening.
  TWPopupMenu *EQUMenu = nullptr, *PresetMenu = nullptr;
  QAction *Save1 = nullptr, *Remove1 = nullptr;
  // Hints to the band values, and the engine's equalizer to the sliders and the switch.
  void UpdateEqualizer();
  // band 1..8, y in the slider's pixels from its top edge: the band becomes 40 - y.
  void MuoviEQU(int band, int y);
  void TrackBarMouseMove(int band, TShiftState shift, int y);
  void TrackBarMouseUp(int band, TMouseButton button, int y);
  void ZerobtnClick();
  void AbilitaEQUMouseUp();
  void EQUlblMouseUp();
  // x, y: the pointer inside the button.
  void LoadPresetbtnMouseUp(int x, int y);
  void PresetMenuClick(int Index, const std::string& Caption);
  void PresetbtnMouseUp(int x, int y);
  void Save1Click();
  void Remove1Click();
  void PresetEditEnter();
  void PresetEditExit();
  void PresetEditKeyUp(int key);
  // Where presets are saved: the program folder's Equ/, or the user's data folder when the
  // program folder is installed or cannot be written. Ends in "/".
  std::string PresetFolder() const;
  // The preset name in the field, as bytes: those it was set with while it is unedited.
  void SetPresetName(const std::string& name);
  std::string PresetName() const;
  // ---- end of equalizer ----

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

  // ---- Menus, tray, help and About (Form1Tray.cpp) ----
  // The main menu behind the menu button and the micro window's right click.
  TWPopupMenu* MAINmenu2 = nullptr;
  QAction *SelectSkin1 = nullptr, *Microview1 = nullptr, *Help1 = nullptr, *About1 = nullptr,
          *MenuItem11 = nullptr;
  // The notification-area icon and its menu.
  TTrayComp* TrayComp = nullptr;
  TWPopupMenu* MainMenu = nullptr;
  QAction *WindowMode1 = nullptr, *Play1 = nullptr, *Stop1 = nullptr, *Rewind1 = nullptr,
          *Forward1 = nullptr, *SelectSource1 = nullptr, *MenuItem9 = nullptr, *Exit1 = nullptr;
  // Hides the window to the tray; without a tray it is minimised.
  void minimizebtnClick();
  // Shows the window from the tray and brings it to the front.
  void WindowMode1Click();
  // While the window is hidden in the tray, brings it back within kTrayWatchMs of the tray
  // going away.
  void WatchTray();
  static constexpr int kTrayWatchMs = 500;
  // Select Source from the tray: the window stays hidden.
  void SelectSource1Click();
  // Both "&Help" items: the help page in the desktop's browser.
  void MenuItem9Click();
  void EseguiHelp();
  void About1Click();
  // The tray tooltip to TrayHint.
  void UpdateTrayHint();
  // ---- end of menus and tray ----

  // ---- Preferences (Form1Prefs.cpp) ----
  // The main menu's "&Preferences" (Ctrl+P): runs the dialog, then applies what OK confirmed
  // or puts back what Cancel undoes.
  QAction* Preferences1 = nullptr;
  void Preferences1Click();
  // Ctrl+P.
  void ARHotKey3Pressed();
  // Hints on or off for the window's buttons and bars and the micro window; the equalizer
  // page keeps its hints.
  void SettaHint(bool on);
  // ---- end of preferences ----

  // ---- ReplayGain (Form1ReplayGain.cpp) ----
  // The chosen mode (0 off, 1 track, 2 album, 3 auto) and the pre-amps in dB of tagged and
  // untagged songs, as stored.
  int ReplayGainMode = 3;
  int ReplayGainPreamp = 0;
  int ReplayGainUntagged = 0;
  // Takes new choices (a mode out of range counts as auto, pre-amps are clamped) and hands
  // them to the session, which sends them to the engine.
  void SetReplayGain(int mode, int preamp, int untagged);
  // The engine's text for the gain of the current song, shown as the time display's hint.
  void XAudioNotifyEnvironmentString(const std::string& Name, const std::string& Value);

  // ---- Album: the source, the album table, loading discs and songs, the selectors ----
  QTimer* AutoPTimer = nullptr;
  QTimer* TimerSelector = nullptr;
  QAction* MenuItem7 = nullptr;
  // Serial text of the loaded source's volume; "empty" when nothing is loaded.
  std::string SerialNumber = "empty";
  bool AutoPlay = false;

  // Reopens the remembered song at the first start, and where reopen asks.
  void LoadAlbum(bool reopen = false);
  std::string CalcolaSN(const std::string& root) const;
  void ScaricaAlbum();
  // The window's side of a scan starting and of the album unloaded.
  void ScanStarted();
  void AlbumUnloaded();

  // The loaded disc's song list, picture and micro window; the loaded song's title.
  void CaricaCD(int disc);
  void CaricaSong();
  void CaricaIMG(const std::string& folder);
  // Shows the cover embedded in the first song of folder; false when there is none to show.
  bool LoadEmbeddedCover(const std::string& folder);
  void CDSelect();
  void SongSelect();
  void CDlblMouseUp();
  void SonglblMouseUp();
  void CDListMouseUp();
  void SongListMouseUp();
  void CDListKeyUp(int key);
  void SongListKeyUp(int key);
  void CDListMouseMove();
  void PanelSELDiscClick();
  void TimerSelectorTimer();

  void ejbtnClick();
  // Takes root as the source and loads its album in the order the play modes ask for.
  void OpenSource(const std::string& root, bool reopen = false);
  // Open with: a song's folder becomes the chosen source and the song plays, whatever
  // AutoStart says; a folder plays from its first song. False, with nothing changed, when
  // path cannot be entered or read.
  bool OpenFile(const std::string& path);
  void MenuItem7Click() { ejbtnClick(); }
  void AutoPTimerTimer();
  // The source root is still the folder on the volume the album was loaded from.
  bool SourceStillThere();
  // Fills the source dialog's drive lists and the auto-play drive list from the volumes.
  void FillDriveLists();
  // True while LoadAlbum runs: the two-second check and Open Source wait for it.
  bool Loading() const { return Session.Loading(); }

  // ---- Play order: the mode toggles, the row order they ask for, navigation ----
  // Toggle Repeat, Shuffle and Album mode (labels and buttons alike); Program mode is shown
  // and does nothing. Settings restore the modes by running these once per mode that is on.
  void repeatbtnClick();
  void shufflebtnClick();
  void progbtnClick();
  void modemodebtnClick();
  void fwdbtnClick();   // Next Song
  void rewbtnClick();   // Previous Song
  void btnfwd2Click();  // Next Disc
  void btnrew2Click();  // Previous Disc
  // ---- end of play order ----

  // The elapsed time of both windows and the position bar back to the start of the song.
  void ClearTime();

  // ---- Keyboard (Form1Keys.cpp) ----
  // Single-key commands on release; Key is a virtual-key code (see TKeyPreview).
  void FormKeyUp(int Key, TShiftState Shift);
  // Ctrl+O, Ctrl+S, Ctrl+P, Ctrl+X and Ctrl+M on press, whatever control has the focus.
  TARHotKey *ARHotKey1 = nullptr, *ARHotKey2 = nullptr, *ARHotKey3 = nullptr, *ARHotKey4 = nullptr,
            *ARHotKey5 = nullptr;
  void ARHotKey1Pressed();
  void ARHotKey2Pressed();
  void ARHotKey4Pressed();
  // ---- end of keyboard ----

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
  void CreateZoomMenu();
  // Checks the menu's choice of Zoom.
  void ShowZoom();
  void CreateTray();
  // The fifteen skinned buttons in loading order, by their names in the layout.
  struct TSkinnedButton {
    TCoolButton* TForm1::*Member;
    const char* Name;
  };
  static const std::array<TSkinnedButton, 15>& SkinnedButtons();
  TCoolButton* SkinButton(QWidget* parent, const char* name);
  TCoolButton* FormButton(QWidget* parent, const char* name);
  QLabel* DisplayLabel(const char* text, const char* name);
  // Text and bar colours of the scheme; the mode labels by their flags.
  void PaintColors(const TColorScheme& scheme, TColor modeOn, TColor modeOff);
  static void SetTextColor(QWidget* widget, TColor color);
  void ConnectDragHandle(QWidget* handle);
  // LastAlbum when the file has none: the first CD-ROM drive, else the user's music folder.
  std::string DefaultLastAlbum() const;
  // Album: wiring of the source, disc and song handlers; the selectors' own events.
  void ConnectAlbum();
  bool IsSelectorControl(QObject* watched) const;
  bool SelectorEvent(QObject* watched, QEvent* event);
  void OpenSelector(QListWidget* list, const std::string& caption, bool upperCase,
                    const char* page);
  void CloseSelector();
  // Starts a title's run over from its beginning.
  static void RestartRun(TRunLabel* label);
  // The skin's picture for a disc without one of its own.
  std::string DefaultPicture() const;
  // Skin folders and skin files are found without regard to letter case.
  static std::string FindIgnoringCase(const std::string& path);

  // ---- Equalizer bands and presets ----
  void ConnectEqualizer();
  void CreatePresetMenus();
  XA_EqualizerInfo EqualizerRecord() const;
  // The folders presets are found in: the user's presets first, then the shipped ones.
  std::vector<std::string> PresetFolders() const;
  // Preset file of name in the first folder holding it; empty when there is none.
  std::string FindPreset(const std::string& name) const;
  // The user's own preset folder, ending in "/".
  std::string UserPresetFolder() const;
  // Whether the user has hidden the shipped preset name found in folder.
  bool PresetHidden(const std::string& folder, const std::string& name) const;
  // ---- end of equalizer ----

  // ---- Transport ----
  // Button, label and bar handlers wired to this window.
  void ConnectTransport();
  // The session's signals wired to the window's repaints.
  void ConnectSession();
  void ColorModeLabels();
  void DiscTitleChanged(bool songListFollows);

  // ---- Play order ----
  // The mode toggles and the navigation buttons wired to this window.
  void ConnectPlayOrder();
  void ColorModeLabel(QLabel* label, bool on);

  // "&Preferences" in the main menu, after "&Select Skin...".
  void CreatePreferencesItem();
  THintSwitch* hints_ = nullptr;
  // ---- Keyboard ----
  void CreateHotKeys();
  // Moves the position bar by step (on 0..400) and seeks there, while a song plays.
  void SeekStep(int step);

  int dragX_ = 0;
  int dragY_ = 0;
  bool firstShowDone_ = false;
  bool firstRun_ = false;
  QTimer* trayWatch_ = nullptr;  // no settings file was there at the first show
  // First start: opens the user's music folder when it holds discs; false when it holds none.
  bool Welcome();
  bool closed_ = false;            // the close sequence has run
  bool endedFromOutside_ = false;  // nobody may be there to answer a message box
  bool saveFailureTold_ = false;
  std::uint64_t sourceDevice_ = 0;  // device of the loaded source root
  TSourceWatch sourceWatch_;
};
