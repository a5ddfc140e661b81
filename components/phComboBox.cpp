#include "phComboBox.h"

#include <QFile>

TphComboBox::TphComboBox(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::activated, this, [this] {
    if (OnChange) OnChange();
  });
}

void TphComboBox::SetImages(const std::vector<QPixmap>& images) {
  images_ = images;
  if (!images_.empty()) setIconSize(images_.front().size());
  ApplyPictures();
}

void TphComboBox::SetImageIndex(int index) {
  image_index_ = index;
  ApplyPictures();
}

void TphComboBox::AddItem(const std::string& text) {
  addItem(Picture(), QFile::decodeName(QByteArray::fromStdString(text)));
}

std::string TphComboBox::Item(int index) const {
  if (index < 0 || index >= count()) return {};
  return QFile::encodeName(itemText(index)).toStdString();
}

QIcon TphComboBox::Picture() const {
  if (image_index_ < 0 || image_index_ >= int(images_.size())) return {};
  return QIcon(images_[image_index_]);
}

void TphComboBox::ApplyPictures() {
  const QIcon icon = Picture();
  for (int i = 0; i < count(); ++i) setItemIcon(i, icon);
}
