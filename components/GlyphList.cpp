#include "GlyphList.h"

#include <algorithm>

TGlyphList::TGlyphList(int width, int height) : width_(width), height_(height) {}

int TGlyphList::Add(const QImage& image, QRgb maskColor) {
  QImage masked = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = maskColor | 0xFF000000u;
  for (int y = 0; y < masked.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
    for (int x = 0; x < masked.width(); ++x) {
      if ((line[x] | 0xFF000000u) == key) line[x] = 0;
    }
  }
  const auto index =
      static_cast<std::size_t>(std::find(used_.begin(), used_.end(), false) - used_.begin());
  if (index == used_.size()) {
    used_.push_back(false);
    images_.emplace_back();
  }
  used_[index] = true;
  images_[index] = masked.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  ++count_;
  return static_cast<int>(index);
}

void TGlyphList::Delete(int index) {
  if (index < 0 || index >= static_cast<int>(used_.size()) || !used_[index]) return;
  used_[index] = false;
  images_[index] = QImage();
  --count_;
}

const QImage& TGlyphList::Image(int index) const {
  static const QImage none;
  if (index < 0 || index >= static_cast<int>(used_.size()) || !used_[index]) return none;
  return images_[index];
}
