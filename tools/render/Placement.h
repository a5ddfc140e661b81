// Putting the program's controls at their fixed places with their pictures.
#pragma once

#include <QFont>
#include <QRect>
#include <initializer_list>
#include <string>

#include "ColorValue.h"

class QLabel;
class QWidget;

// A picture control showing file at place; throws std::runtime_error when it will not load.
QWidget* PlacePicture(QWidget* parent, const std::string& file, const QRect& place,
                      bool stretch = false);

// Vertical equalizer band sliders (-40..+40, 10 x 84) side by side, the first at left, top.
void PlaceBandSliders(QWidget* parent, int left, int top, int spacing,
                      std::initializer_list<int> positions);

// A transparent label in colour; an empty place size fits the label to its text.
QLabel* PlaceLabel(QWidget* parent, const char* text, const QRect& place, const QFont& font,
                   TColor colour, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);

class TRunLabel;
// Runs the labels fast until their captions have slid in and come to rest; false when
// they did not within a few seconds. The labels must be showing.
bool SettleRunLabels(std::initializer_list<TRunLabel*> labels);

struct TButtonPlace {
  const char* file;
  QRect place;
};
// Skinned buttons with strips of numGlyphs cells from folder; throws std::runtime_error
// naming the first strip that does not load.
void PlaceButtons(QWidget* parent, const std::string& folder, int numGlyphs,
                  std::initializer_list<TButtonPlace> buttons);
