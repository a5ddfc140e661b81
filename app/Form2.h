// TForm2: the Select Source dialog. Its folder label CurrDir holds the chosen source for the
// whole run: a CD-ROM drive (its mount point) or a folder of a hard disk. Ends with 1 (OK,
// the source can be entered) or 2 (Cancel, Escape, closed, or a source that cannot be
// entered).
#pragma once

#include <QPixmap>
#include <functional>
#include <string>
#include <vector>

#include "KeyUpDialog.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TDirectoryListBox;
class TFileLabel;
class TForm1;
class TForm3;
class TphComboBox;

class TForm2 : public TKeyUpDialog {
  Q_OBJECT

 public:
  // The drive pictures come from programFolder's pictures/ (ends in "/").
  explicit TForm2(const std::string& programFolder, QWidget* parent = nullptr);

  // Set by main(): the window whose auto-play flag OK may switch off, and the Preferences
  // dialog that holds the auto-play option and drive.
  TForm1* Form1 = nullptr;
  TForm3* Form3 = nullptr;

  // 0: "CDROM:", 1: "HardDisk:". Setting another index runs DriveSelectClick.
  int DriveSelectIndex() const { return driveSelect_; }
  void SetDriveSelectIndex(int index);
  // The drive pictures: 0 hard disk, 1 CD-ROM.
  const std::vector<QPixmap>& Images() const { return images_; }

  void DriveSelectClick();
  void cdromsChange();
  void HardDisksChange();
  void DirectoryChange();
  void OKbtnClick();
  void CancelbtnClick();
  void FormKeyUp(int key) override;

  QGroupBox* DriveSelect = nullptr;
  QRadioButton *CDROMItem = nullptr, *HardDiskItem = nullptr;
  TphComboBox *CDROMs = nullptr, *HardDisks = nullptr;
  TDirectoryListBox* Directory = nullptr;
  QLabel* FolderCaption = nullptr;
  TFileLabel* CurrDir = nullptr;
  QPushButton *OKbtn = nullptr, *Cancelbtn = nullptr;

  // Closing the window counts as Cancel.
  void reject() override;

  // Asks whether to go on; true for yes. Tests replace it so that nothing waits for a click.
  static std::function<bool(QWidget* parent, const std::string& question)> Confirm;
  // The question OK asks before the whole file system is walked from "/".
  static constexpr char kWholeDisk[] =
      "Scan the whole file system from \"/\"? It takes a long time, and the folders of every "
      "user become discs.";

 protected:
  bool ActsOnRelease(int key) const override;
  // Opens where the music is, and fits the screen.
  void showEvent(QShowEvent* event) override;

 private:
  // The folder the hard-disk tree opens at: the chosen source when it is a folder that can be
  // entered, else the user's music folder; empty when a CD-ROM drive is chosen.
  std::string StartFolder() const;
  // The tall hard-disk layout, its folder list shortened where the screen is lower.
  void FitHeight();
  std::string startFolder_;
  QButtonGroup* driveButtons_ = nullptr;
  std::vector<QPixmap> images_;
  int driveSelect_ = 0;
};
