// The main window's face for one skin: the program's own controls at their fixed places,
// carrying the skin's pictures and colours and sample texts, ready to be grabbed.
#pragma once

#include <QWidget>
#include <string>

#include "SkinScheme.h"

class QStackedWidget;

class TSkinWindow : public QWidget {
 public:
  enum TPage { spPlay, spImage, spEqualizer };

  // folder is a skin folder ending in "/". Throws std::runtime_error naming the first
  // picture that does not load.
  explicit TSkinWindow(const std::string& folder, QWidget* parent = nullptr);

  void ShowPage(TPage page);
  // Lets the two title labels slide in and come to rest; false if they did not in time.
  bool SettleTitles();

 private:
  void AddButtons(const std::string& folder);
  QWidget* PlayPage(const std::string& folder);
  QWidget* ImagePage(const std::string& folder);
  QWidget* EqualizerPage(const std::string& folder);
  QWidget* NewPage();

  TSkinScheme scheme_;
  QStackedWidget* display_ = nullptr;
  class TRunLabel* titles_[2] = {};
};
