// TGlyphList: prepared button cell images of one fixed size, kept in numbered slots. A
// freed slot is handed out again by the next Add, so indexes stay small and stable.
#pragma once

#include <QImage>
#include <vector>

class TGlyphList {
 public:
  TGlyphList(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Number of used slots.
  int Count() const { return count_; }

  // Stores image with every pixel of maskColor made transparent; returns its slot.
  int Add(const QImage& image, QRgb maskColor);
  // Frees a slot; unknown or free slots are ignored.
  void Delete(int index);
  // The image in a used slot, or a null image.
  const QImage& Image(int index) const;

 private:
  int width_;
  int height_;
  int count_ = 0;
  std::vector<QImage> images_;
  std::vector<bool> used_;
};
