// TForm3: the Preferences dialog. Its controls hold the player options for the whole run:
// the settings are read into them at start and written from them at exit, and the main
// window reads them from here. Its colour samples show the colour scheme while it is open;
// the main window takes them at "&Preview colors" and at OK. Ends with 1 (OK) or 2
// (Cancel, Escape, closed).
#pragma once

#include <functional>
#include <string>

#include "ColorScheme.h"
#include "KeyUpDialog.h"
#include "ShortCut.h"

class QCheckBox;
class QColorDialog;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QTabWidget;
class QWidget;
class TForm1;
class TGradProgress;
class TphComboBox;

class TForm3 : public TKeyUpDialog {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);

  // Set by main(): the window whose flags, colours and engine the dialog works on.
  TForm1* Form1 = nullptr;

  // The standard error box; tests replace it so that nothing waits for a click.
  static std::function<void(const std::string& text)> ShowError;

  QTabWidget* Pages = nullptr;
  QWidget *PlayerPage = nullptr, *SystemPage = nullptr, *ColorsPage = nullptr;
  QPushButton *Cancelbtn = nullptr, *OKbtn = nullptr;

  // "Player": start playing on load, CD auto-play and its drive, title scrolling, the
  // remembered position, hints.
  QCheckBox *Autost = nullptr, *APlay = nullptr, *AutoScroll = nullptr, *LastPos = nullptr,
            *AttivaHints = nullptr;
  TphComboBox* AutoPlayCD = nullptr;

  // "System": the engine priority (0..4) and the selectors' auto-close time in seconds
  // (2..100), each with the label showing its value; the two link buttons.
  QScrollBar *BarPrior = nullptr, *Barautoclose = nullptr;
  QLabel *lblPrior = nullptr, *lblautoclose = nullptr;
  QPushButton *CreaDesktop = nullptr, *CreaStartmenu = nullptr;
  // "System", group "ReplayGain": the mode (Off, Track, Album, Auto) and the pre-amps in dB
  // of tagged and untagged songs. They show the window's choices when the dialog opens, and
  // OK hands them back.
  QGroupBox* GainGroup = nullptr;
  QComboBox* GainMode = nullptr;
  QSpinBox *GainPreamp = nullptr, *GainUntagged = nullptr;

  // "Colors": the samples of the nine colours and a picker button for each.
  QGroupBox *TextGroup = nullptr, *BarsGroup = nullptr;
  QLabel *hightext = nullptr, *mediumtext = nullptr, *lowtext = nullptr;
  TGradProgress *Bar1 = nullptr, *Bar2 = nullptr;
  QPushButton *btnCOLhitext = nullptr, *btnCOLmtext = nullptr, *btnCOLlowtext = nullptr,
              *btnCOL1Start = nullptr, *btnCOL1end = nullptr, *btnCOL1back = nullptr,
              *btnCOL2start = nullptr, *btnCOL2end = nullptr, *btnCOL2back = nullptr;
  QPushButton *Defaultbtn = nullptr, *Button10 = nullptr;
  // The colour picker, made when a colour button is first pressed.
  QColorDialog* ColorDialog = nullptr;
  // The program's link, on the desktop or in a program group of its own.
  TShortCut ShortCut;

  // The nine colours the samples show.
  const TColorScheme& SampleColors() const { return samples_; }
  void SetSampleColors(const TColorScheme& colors);

  // A colour button: the picker starts at the sample's colour; confirmed, the sample takes
  // the chosen one.
  void ColorButtonClick(TColor TColorScheme::*sample);
  void DefaultbtnClick();
  void Button10Click();
  void BarPriorChange();
  void BarautocloseChange();
  void CreaDesktopClick();
  void CreaStartmenuClick();
  void OKbtnClick();
  void CancelbtnClick();
  void FormKeyUp(int key) override;

  // Closing the window counts as Cancel.
  void reject() override;
  int exec() override;

 private:
  void CreatePlayerPage();
  void CreateSystemPage();
  void CreateGainGroup();
  void ShowReplayGain();
  void CreateColorsPage();
  QPushButton* ColorButton(QWidget* parent, const char* caption, int left, int top, int width,
                           TColor TColorScheme::*sample);
  // The link at place for the running program, shown with its icon and started in its folder.
  void MakeLink(TPlace place);

  TColorScheme samples_ = TColorScheme::Defaults();
};
