// TForm4: the Select Skin dialog. Lists the skin folders, asks the main window to preview a
// skin at every click, and ends with 1 (OK, double-click) or 2 (Cancel, Escape, closed).
#pragma once

#include <functional>
#include <string>

#include "KeyUpDialog.h"

class QListWidget;
class QPushButton;

class TForm4 : public TKeyUpDialog {
  Q_OBJECT

 public:
  explicit TForm4(QWidget* parent = nullptr);

  // Adds a skin name at its place in the sorted list; equal names are all kept.
  void AddSkin(const std::string& name);

  void SkinboxClick();
  void OKbtnClick();
  void CancelbtnClick();
  void FormKeyUp(int key) override;

  QListWidget* Skinbox = nullptr;
  QPushButton* Cancelbtn = nullptr;
  QPushButton* OKbtn = nullptr;

  // Raised by a click on a skin with that skin's name.
  std::function<void(const std::string& name)> OnPreview;

  // Closing the window counts as Cancel.
  void reject() override;
  int exec() override;
};
