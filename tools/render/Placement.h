// Helpers of the renderer: controls placed with their pictures, titles brought to rest.
#pragma once

#include <QRect>
#include <initializer_list>
#include <string>

class QWidget;

// A picture control showing file at place; throws std::runtime_error when it will not load.
QWidget* PlacePicture(QWidget* parent, const std::string& file, const QRect& place,
                      bool stretch = false);

// Vertical equalizer band sliders (-40..+40, 10 x 84) side by side, the first at left, top.
void PlaceBandSliders(QWidget* parent, int left, int top, int spacing,
                      std::initializer_list<int> positions);

class TRunLabel;
// Runs the labels fast until their captions have slid in and come to rest; false when
// they did not within a few seconds.
bool SettleRunLabels(std::initializer_list<TRunLabel*> labels);
