#include "ColorValue.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

// The nearest palette entry for each system colour index.
QColor SystemColor(int index) {
  const QPalette pal = QGuiApplication::palette();
  switch (index) {
    case 0:   // scroll bar
    case 12:  // application workspace
      return pal.color(QPalette::Mid);
    case 1:   // desktop
    case 2:   // active caption
    case 13:  // selection
    case 27:  // active caption gradient
    case 29:  // menu highlight
      return pal.color(QPalette::Highlight);
    case 3:   // inactive caption
    case 28:  // inactive caption gradient
      return pal.color(QPalette::Inactive, QPalette::Highlight);
    case 5:  // window
      return pal.color(QPalette::Base);
    case 6:   // window frame
    case 21:  // dark 3D shadow
      return pal.color(QPalette::Shadow);
    case 7:  // menu text
    case 8:  // window text
      return pal.color(QPalette::WindowText);
    case 9:   // caption text
    case 14:  // selected text
      return pal.color(QPalette::HighlightedText);
    case 16:  // button shadow
      return pal.color(QPalette::Dark);
    case 17:  // disabled text
    case 19:  // inactive caption text
      return pal.color(QPalette::Disabled, QPalette::Text);
    case 18:  // button text
      return pal.color(QPalette::ButtonText);
    case 20:  // button highlight
      return pal.color(QPalette::Light);
    case 22:  // light 3D face
      return pal.color(QPalette::Midlight);
    case 23:  // tooltip text
      return pal.color(QPalette::ToolTipText);
    case 24:  // tooltip background
      return pal.color(QPalette::ToolTipBase);
    case 26:  // hot-tracked item
      return pal.color(QPalette::Link);
    case 4:   // menu
    case 10:  // active border
    case 11:  // inactive border
    case 30:  // menu bar
      return pal.color(QPalette::Window);
    default:  // button face and anything unknown
      return pal.color(QPalette::Button);
  }
}

}  // namespace

QColor ColorToQColor(TColor value) {
  // Palette colours may carry more than 8 bits a channel; the program's colours do not.
  if (value < 0) return QColor::fromRgb(SystemColor(value & 0xFF).rgb());
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

TColor QColorToColor(const QColor& color) {
  return RGBColor(color.red(), color.green(), color.blue());
}
