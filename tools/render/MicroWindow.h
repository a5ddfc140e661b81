// The 209 x 38 micro window with its own pictures and sample texts, ready to be grabbed.
#pragma once

#include <QWidget>
#include <string>

class TMicroWindow : public QWidget {
 public:
  // pictures is the windows' own pictures folder ending in "/". Throws
  // std::runtime_error naming the first picture that does not load.
  explicit TMicroWindow(const std::string& pictures, QWidget* parent = nullptr);
};
