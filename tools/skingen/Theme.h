// The colours and shapes that make one look; a skin is drawn from one theme.
#pragma once

#include <QColor>
#include <string>
#include <utility>
#include <vector>

struct TTheme {
  std::string name;  // skin folder name

  // Window body: a vertical gradient with horizontal brushed streaks.
  QColor bodyTop, bodyBottom;
  int streaks;  // streak strength in colour steps, 0 for a plain gradient
  QColor rimLight, rimDark, outline;
  QColor wellFill;  // recesses (title strip, button trays)
  QColor title;     // lettering on the body

  // Buttons.
  int corner;  // corner cut in pixels
  QColor faceTop, faceBottom, pressedTop, pressedBottom;
  QColor edgeLight, edgeDark, buttonOutline;
  QColor symbol, symbolShadow, symbolPressed;

  // Display (LCD) pictures.
  QColor lcdTop, lcdBottom, lcdScanline, lcdIcon, lcdGrid;
  // Default album picture.
  QColor artTop, artBottom, discLight, discDark;

  // Colors.ini, key and value text, in file order.
  std::vector<std::pair<std::string, std::string>> colours;

  static TTheme Default();
  static TTheme Amber();
};

// The colour that stands for "transparent" in button strips and icons (bottom-left pixel).
inline const QColor kKeyColour(255, 0, 255);
