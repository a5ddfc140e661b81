#include "MicroWindow.h"

#include "FontMap.h"
#include "Placement.h"

TMicroWindow::TMicroWindow(const std::string& pictures, QWidget* parent) : QWidget(parent) {
  setFixedSize(209, 38);
  PlacePicture(this, pictures + "MicroImage.bmp", QRect(0, 0, 209, 38));
  const QFont small = FontFromPixels("Small Fonts", 8);
  PlaceLabel(this, "NO CD LOADED", QRect(14, 6, 115, 10), small, clSilver);
  PlaceLabel(this, "NO SONG LOADED", QRect(14, 23, 115, 10), small, clWhite);
  PlaceLabel(this, "01:23", QRect(162, 21, 31, 14), FontFromPixels("Arial", 11, true), clWhite,
             Qt::AlignRight | Qt::AlignVCenter);
  PlaceButtons(this, pictures, 1,
               {{"btnrew2.bmp", {134, 7, 9, 10}},
                {"btnfwd2.bmp", {143, 7, 9, 10}},
                {"btnrew1.bmp", {134, 24, 9, 10}},
                {"btnfwd1.bmp", {143, 24, 9, 10}},
                {"btnPlay2.bmp", {157, 5, 13, 13}},
                {"btnStop2.bmp", {174, 5, 13, 13}},
                {"btnClose2.bmp", {192, 1, 16, 19}}});
}
