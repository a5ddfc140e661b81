// TForm2: the Select Source dialog; its folder label holds the chosen source.
#pragma once

#include <QDialog>

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr) : QDialog(parent) {}
};
