// Letting scrolling titles come to rest before a picture is taken of them.
#pragma once

#include <initializer_list>

class TRunLabel;
// Runs the labels fast until their captions have slid in and come to rest; false when
// they did not within a few seconds.
bool SettleRunLabels(std::initializer_list<TRunLabel*> labels);
