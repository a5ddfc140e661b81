// The nineteen pictures of one skin, drawn for the main window's fixed layout.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "PixelCanvas.h"
#include "Theme.h"

class TSkinPainter {
 public:
  explicit TSkinPainter(const TTheme& theme) : theme_(theme) {}

  // File name and picture, in the order the player loads them.
  std::vector<std::pair<std::string, TPixelCanvas>> Pictures() const;
  // The Colors.ini text of the skin.
  std::string ColoursIni() const;

 private:
  TPixelCanvas Background() const;
  TPixelCanvas Display() const;
  TPixelCanvas Equalizer() const;
  TPixelCanvas DefaultPicture() const;
  TPixelCanvas Lcd(int width, int height) const;
  void Recess(TPixelCanvas& canvas, const QRect& r) const;

  const TTheme& theme_;
};
