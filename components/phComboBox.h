// A drop-down list that draws a small picture before each item's text: picture ImageIndex
// of its image list Images (the drive pictures of the Select Source dialog). Item texts are
// 8-bit strings; OnChange is raised when the user picks an item.
#pragma once

#include <QComboBox>
#include <QPixmap>
#include <functional>
#include <string>
#include <vector>

class TphComboBox : public QComboBox {
 public:
  explicit TphComboBox(QWidget* parent = nullptr);

  void SetImages(const std::vector<QPixmap>& images);
  int ImageIndex() const { return image_index_; }
  // -1 or an index outside the image list: no picture.
  void SetImageIndex(int index);

  void AddItem(const std::string& text);
  std::string Item(int index) const;
  int ItemIndex() const { return currentIndex(); }
  void SetItemIndex(int index) { setCurrentIndex(index); }
  // The selected item's text, empty when none is selected.
  std::string Text() const { return Item(currentIndex()); }

  std::function<void()> OnChange;

 private:
  QIcon Picture() const;
  void ApplyPictures();

  std::vector<QPixmap> images_;
  int image_index_ = 0;
};
