// TForm5: the About box.
#pragma once

#include <QDialog>

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(QWidget* parent = nullptr) : QDialog(parent) {}
};
