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
  // 48 x 48 with transparency, for desktop links and the window icon.
  QImage DesktopIcon() const;

 private:
  TPixelCanvas MicroImage() const;
  TPixelCanvas SelectorIcon(bool disc) const;
  TPixelCanvas TrayIcon() const;
  TPixelCanvas AboutPicture() const;
  TPixelCanvas HardDisk() const;
  TPixelCanvas CdDrive() const;

  TTheme theme_;
};
