// TForm3: the Preferences dialog.
#pragma once

#include <QDialog>

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr) : QDialog(parent) {}
};
