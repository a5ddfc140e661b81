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
  // The bytes are kept beside the shown text: a name that is not valid UTF-8 would not
  // survive the way back from the text.
  const QByteArray bytes = QByteArray::fromStdString(text);
  addItem(Picture(), QFile::decodeName(bytes), bytes);
}

std::string TphComboBox::Item(int index) const {
  if (index < 0 || index >= count()) return {};
  return itemData(index).toByteArray().toStdString();
}

QIcon TphComboBox::Picture() const {
  if (image_index_ < 0 || image_index_ >= int(images_.size())) return {};
  return QIcon(images_[image_index_]);
}

void TphComboBox::ApplyPictures() {
  const QIcon icon = Picture();
  for (int i = 0; i < count(); ++i) setItemIcon(i, icon);
}
