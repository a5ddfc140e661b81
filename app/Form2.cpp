#include "Form2.h"

#include <QBitmap>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

#include "DirectoryListBox.h"
#include "FileLabel.h"
#include "Folders.h"
#include "Form1.h"
#include "Form3.h"
#include "SourceCheck.h"
#include "VolumeLayer.h"
#include "phComboBox.h"

namespace {

constexpr int kCdHeight = 100;
constexpr int kDiskHeight = 285;
constexpr int kListHeight = 152;
// The shortest folder list, and room kept for the window frame and a panel.
constexpr int kMinListHeight = 60;
constexpr int kScreenMargin = 40;

}  // namespace

std::function<bool(QWidget*, const std::string&)> TForm2::Confirm = [](QWidget* parent,
                                                                       const std::string& text) {
  return QMessageBox::question(parent, QStringLiteral("Select source"),
                               QString::fromStdString(text)) == QMessageBox::Yes;
};

TForm2::TForm2(const std::string& programFolder, QWidget* parent) : TKeyUpDialog(parent, Qt::Tool) {
  setWindowTitle(QStringLiteral("Select source"));
  setFixedSize(300, kCdHeight);
  for (const char* name : {"Drive-Disk.bmp", "Drive-CD.bmp"}) {
    const std::string path = programFolder + "pictures/" + name;
    QPixmap picture(QFile::decodeName(QByteArray::fromStdString(path)));
    // The bottom-left pixel's colour is the pictures' transparent colour.
    const QImage image = picture.toImage();
    if (!image.isNull())
      picture.setMask(picture.createMaskFromColor(image.pixelColor(0, image.height() - 1)));
    images_.push_back(picture);
  }

  DriveSelect = new QGroupBox(QStringLiteral("Play MP3 from:"), this);
  DriveSelect->setGeometry(6, 4, 204, 90);
  CDROMItem = new QRadioButton(QStringLiteral("CDROM:"), DriveSelect);
  CDROMItem->setGeometry(8, 22, 80, 20);
  CDROMItem->setChecked(true);
  HardDiskItem = new QRadioButton(QStringLiteral("HardDisk:"), DriveSelect);
  HardDiskItem->setGeometry(8, 56, 80, 20);
  driveButtons_ = new QButtonGroup(this);
  driveButtons_->addButton(CDROMItem, 0);
  driveButtons_->addButton(HardDiskItem, 1);
  connect(driveButtons_, &QButtonGroup::idClicked, this, &TForm2::SetDriveSelectIndex);

  CDROMs = new TphComboBox(this);
  CDROMs->setGeometry(96, 24, 108, 22);
  CDROMs->SetImages(images_);
  CDROMs->SetImageIndex(1);
  CDROMs->OnChange = [this] { cdromsChange(); };
  HardDisks = new TphComboBox(this);
  HardDisks->setGeometry(96, 58, 108, 22);
  HardDisks->SetImages(images_);
  HardDisks->SetImageIndex(0);
  HardDisks->OnChange = [this] { HardDisksChange(); };

  OKbtn = new QPushButton(QStringLiteral("&OK"), this);
  OKbtn->setGeometry(218, 12, 76, 24);
  OKbtn->setAutoDefault(false);
  Cancelbtn = new QPushButton(QStringLiteral("&Cancel"), this);
  Cancelbtn->setGeometry(218, 44, 76, 24);
  Cancelbtn->setAutoDefault(false);
  connect(OKbtn, &QPushButton::clicked, this, &TForm2::OKbtnClick);
  connect(Cancelbtn, &QPushButton::clicked, this, &TForm2::CancelbtnClick);

  Directory = new TDirectoryListBox(this);
  Directory->setGeometry(6, 102, 288, 152);
  Directory->OnChange = [this] { DirectoryChange(); };
  FolderCaption = new QLabel(QStringLiteral("Folder:"), this);
  FolderCaption->setGeometry(6, 260, 40, 18);
  CurrDir = new TFileLabel(this);
  CurrDir->setGeometry(48, 260, 246, 18);
}

void TForm2::SetDriveSelectIndex(int index) {
  if (index == driveSelect_) return;
  driveSelect_ = index;
  (index == 1 ? HardDiskItem : CDROMItem)->setChecked(true);
  DriveSelectClick();
}

void TForm2::DriveSelectClick() {
  if (driveSelect_ == 1) {
    FitHeight();
    HardDisksChange();
  } else {
    setFixedHeight(kCdHeight);
    cdromsChange();
  }
}

void TForm2::cdromsChange() {
  if (!isVisible()) return;
  CurrDir->SetFileName(CDROMs->Text());
  SetDriveSelectIndex(0);
}

void TForm2::HardDisksChange() {
  if (!isVisible()) return;
  Directory->SetDrive(HardDisks->Text());
  // Once a showing, the tree opens at the start folder when it lies on this disk.
  if (!startFolder_.empty() && platform::Volumes().VolumeRoot(startFolder_) == HardDisks->Text())
    Directory->SetDirectory(startFolder_);
  startFolder_.clear();
  SetDriveSelectIndex(1);
}

std::string TForm2::StartFolder() const {
  const std::string chosen = CurrDir->FileName();
  for (int i = 0; i < CDROMs->count(); ++i)
    if (CDROMs->Item(i) == chosen) return {};
  if (!chosen.empty() && SourceReadable(chosen)) return chosen;
  std::string music = platform::MusicFolder();
  if (music.size() > 1 && music.back() == '/') music.pop_back();
  return music;
}

void TForm2::FitHeight() {
  const QScreen* shown = screen();
  const int room = shown ? shown->availableGeometry().height() - kScreenMargin : kDiskHeight;
  const int cut = std::clamp(kDiskHeight - room, 0, kListHeight - kMinListHeight);
  Directory->resize(Directory->width(), kListHeight - cut);
  FolderCaption->move(FolderCaption->x(), 260 - cut);
  CurrDir->move(CurrDir->x(), 260 - cut);
  setFixedHeight(kDiskHeight - cut);
}

void TForm2::showEvent(QShowEvent* event) {
  TKeyUpDialog::showEvent(event);
  startFolder_ = StartFolder();
  // Without an optical drive only hard disks are left to choose from.
  if (CDROMs->count() == 0 && driveSelect_ == 0) {
    SetDriveSelectIndex(1);
  } else if (driveSelect_ == 1) {
    FitHeight();
    HardDisksChange();
  }
}

void TForm2::DirectoryChange() { CurrDir->SetFileName(Directory->Directory()); }

void TForm2::OKbtnClick() {
  const std::string chosen = driveSelect_ == 0 ? CDROMs->Text() : Directory->Directory();
  // A walk of everything, other users' folders included, is only made when confirmed.
  if (chosen == "/" && !Confirm(this, kWholeDisk)) return;
  hide();
  CurrDir->SetFileName(chosen);
  // A drive without a disc or a folder that is gone is not loaded.
  if (!SourceReadable(chosen)) {
    done(2);
    return;
  }
  // Any other source than the auto-play drive ends CD auto-play.
  if (Form3 && Form3->AutoPlayCD->count() > 0 &&
      platform::Volumes().VolumeRoot(chosen) != Form3->AutoPlayCD->Text()) {
    Form3->APlay->setChecked(false);
    if (Form1) Form1->AutoPlay = false;
  }
  done(1);
}

void TForm2::CancelbtnClick() { done(2); }

void TForm2::reject() { done(2); }

void TForm2::FormKeyUp(int key) {
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !Directory->hasFocus()) OKbtnClick();
  if (key == Qt::Key_Escape) CancelbtnClick();
}

bool TForm2::ActsOnRelease(int key) const {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}
