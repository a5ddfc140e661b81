// The pictures the windows keep for themselves (not part of a skin): the micro window
// and its buttons, the selector icons, the tray icon, the About picture and the drive
// pictures of the drive lists.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "PixelCanvas.h"
#include "Theme.h"

class TFormPictures {
 public:
  TFormPictures() : theme_(TTheme::Default()) {}

  std::vector<std::pair<std::string, TPixelCanvas>> Pictures() const;
  // The program icon, size x size with transparency, for links and the windows: the disc
  // of the selector icons with the notes of the play button, drawn large and reduced.
  QImage DesktopIcon(int size) const;

 private:
  TPixelCanvas MicroImage() const;
  TPixelCanvas SelectorIcon(bool disc) const;
  TPixelCanvas TrayIcon() const;
  TPixelCanvas AboutPicture() const;
  TPixelCanvas HardDisk() const;
  TPixelCanvas CdDrive() const;

  TTheme theme_;
};
