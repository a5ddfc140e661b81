// A dialog whose keys act when they are released, as the main window's do. The press of such
// a key does nothing of its own: Escape would otherwise reject the dialog at once.
#pragma once

#include <QDialog>

class QKeyEvent;

class TKeyUpDialog : public QDialog {
 public:
  using QDialog::QDialog;

  // Answers a released key (auto-repeats excepted).
  virtual void FormKeyUp(int key) = 0;

 protected:
  // The keys FormKeyUp answers; their presses are swallowed.
  virtual bool ActsOnRelease(int key) const;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
};
