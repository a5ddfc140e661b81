// TForm3: the Preferences dialog. Its controls hold the player options for the whole run:
// the settings are read into them at start and written from them at exit, and the main
// window reads them from here.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QScrollBar;
class QTabWidget;
class QWidget;
class TphComboBox;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);

  QTabWidget* Pages = nullptr;
  QWidget *PlayerPage = nullptr, *SystemPage = nullptr;

  // "Player": start playing on load, CD auto-play and its drive, title scrolling, the
  // remembered position, hints.
  QCheckBox *Autost = nullptr, *APlay = nullptr, *AutoScroll = nullptr, *LastPos = nullptr,
            *AttivaHints = nullptr;
  TphComboBox* AutoPlayCD = nullptr;

  // "System": the engine priority (0..4) and the selectors' auto-close time in seconds
  // (2..100), each with the label showing its value.
  QScrollBar *BarPrior = nullptr, *Barautoclose = nullptr;
  QLabel *lblPrior = nullptr, *lblautoclose = nullptr;

  void BarautocloseChange();
};
