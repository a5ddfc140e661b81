#include "Theme.h"

#include "ColorScheme.h"

TTheme TTheme::Default() {
  TTheme t;
  t.name = "DEFAULT";
  t.bodyTop = QColor(78, 88, 104);
  t.bodyBottom = QColor(44, 50, 62);
  t.streaks = 5;
  t.rimLight = QColor(150, 162, 182);
  t.rimDark = QColor(22, 26, 34);
  t.outline = QColor(8, 10, 14);
  t.wellFill = QColor(30, 35, 45);
  t.title = QColor(184, 226, 234);

  t.corner = 2;
  t.faceTop = QColor(104, 116, 136);
  t.faceBottom = QColor(54, 62, 76);
  t.pressedTop = QColor(34, 40, 50);
  t.pressedBottom = QColor(58, 66, 80);
  t.edgeLight = QColor(168, 180, 200);
  t.edgeDark = QColor(28, 32, 42);
  t.buttonOutline = QColor(10, 12, 18);
  t.symbol = QColor(236, 242, 248);
  t.symbolShadow = QColor(14, 16, 22);
  t.symbolPressed = QColor(130, 214, 242);

  t.lcdTop = QColor(14, 24, 38);
  t.lcdBottom = QColor(6, 12, 22);
  t.lcdScanline = QColor(0, 0, 0);
  t.lcdIcon = QColor(84, 132, 160);
  t.lcdGrid = QColor(34, 54, 74);
  t.artTop = QColor(20, 40, 70);
  t.artBottom = QColor(6, 12, 24);
  t.discLight = QColor(214, 224, 236);
  t.discDark = QColor(96, 110, 130);

  // The player's own default scheme, as it writes it into a file that lacks a key.
  for (const auto& key : TColorScheme::Keys())
    t.colours.emplace_back(key.WriteName, key.DefaultText);
  return t;
}

TTheme TTheme::Amber() {
  TTheme t;
  t.name = "Amber";
  t.bodyTop = QColor(92, 58, 34);
  t.bodyBottom = QColor(46, 28, 16);
  t.streaks = 0;
  t.rimLight = QColor(214, 156, 92);
  t.rimDark = QColor(26, 14, 6);
  t.outline = QColor(12, 6, 2);
  t.wellFill = QColor(34, 20, 10);
  t.title = QColor(255, 184, 48);

  t.corner = 1;
  t.faceTop = QColor(226, 170, 96);
  t.faceBottom = QColor(150, 96, 44);
  t.pressedTop = QColor(118, 72, 30);
  t.pressedBottom = QColor(170, 112, 52);
  t.edgeLight = QColor(255, 226, 170);
  t.edgeDark = QColor(88, 50, 20);
  t.buttonOutline = QColor(30, 16, 6);
  t.symbol = QColor(40, 20, 6);
  t.symbolShadow = QColor(246, 206, 140);
  t.symbolPressed = QColor(16, 8, 2);

  t.lcdTop = QColor(30, 18, 8);
  t.lcdBottom = QColor(14, 8, 2);
  t.lcdScanline = QColor(4, 2, 0);
  t.lcdIcon = QColor(170, 104, 24);
  t.lcdGrid = QColor(70, 42, 14);
  t.artTop = QColor(96, 48, 12);
  t.artBottom = QColor(24, 12, 4);
  t.discLight = QColor(255, 214, 140);
  t.discDark = QColor(150, 90, 30);

  // Written the way the player writes a scheme back: decimal 0x00BBGGRR values.
  t.colours = {{"HighTEXT", "45311"},    {"MediumTEXT", "2656456"}, {"LowTEXT", "1986670"},
               {"PosBarStart", "12920"}, {"PosBarEnd", "3981055"},  {"PosBarBack", "661800"},
               {"VolBarStart", "10330"}, {"VolBarEnd", "2662655"},  {"VolBarBack", "661800"}};
  return t;
}
