#include "ButtonGlyph.h"

#include <QPainter>
#include <algorithm>

#include "ColorValue.h"
#include "GlyphCache.h"
#include "GlyphList.h"

namespace {

QRgb Opaque(QRgb c) { return c | 0xFF000000u; }

}  // namespace

TButtonGlyph::~TButtonGlyph() { Invalidate(); }

void TButtonGlyph::SetGlyph(const QImage& strip) {
  Invalidate();
  strip_ = strip.convertToFormat(QImage::Format_RGB32);
}

void TButtonGlyph::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 4);
  if (value == numGlyphs_) return;
  Invalidate();
  numGlyphs_ = value;
}

QRgb TButtonGlyph::TransparentColor() const {
  if (strip_.isNull()) return 0;
  return Opaque(strip_.pixel(0, strip_.height() - 1));
}

QSize TButtonGlyph::CellSize() const {
  if (strip_.isNull()) return QSize();
  return QSize(strip_.width() / numGlyphs_, strip_.height());
}

const QImage& TButtonGlyph::StateImage(TButtonState state) {
  static const QImage none;
  if (state == bsDown && numGlyphs_ < 3) state = bsUp;
  if (indexes_[state] >= 0) return list_->Image(indexes_[state]);
  const QSize cell = CellSize();
  if (cell.isEmpty()) return none;
  if (!list_) {
    cache_ = TGlyphCache::Shared();
    list_ = cache_->GetList(cell.width(), cell.height());
  }
  const QImage image = BuildImage(state);
  // Each prepared cell is masked by its own bottom-left pixel.
  indexes_[state] = list_->Add(image, image.pixel(0, image.height() - 1));
  return list_->Image(indexes_[state]);
}

void TButtonGlyph::Invalidate() {
  if (!list_) return;
  for (int& index : indexes_) {
    list_->Delete(index);
    index = -1;
  }
  cache_->ReturnList(list_);
  list_ = nullptr;
  cache_.reset();
}

QImage TButtonGlyph::BuildImage(TButtonState state) const {
  if (state == bsDisabled) {
    return numGlyphs_ >= 2 ? RecolouredDisabledCell() : EmbossedDisabledCell();
  }
  const QSize cell = CellSize();
  const int index = state < numGlyphs_ ? state : 0;
  return strip_.copy(index * cell.width(), 0, cell.width(), cell.height());
}

QImage TButtonGlyph::RecolouredDisabledCell() const {
  const QSize cell = CellSize();
  QImage image = strip_.copy(cell.width(), 0, cell.width(), cell.height());
  const QRgb key = TransparentColor();
  const QRgb face = Opaque(ColorToQColor(clBtnFace).rgb());
  const QRgb highlight = Opaque(ColorToQColor(clBtnHighlight).rgb());
  const QRgb shadow = Opaque(ColorToQColor(clBtnShadow).rgb());
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = Opaque(line[x]);
      if (c == qRgb(255, 255, 255)) {
        line[x] = highlight;
      } else if (c == qRgb(128, 128, 128)) {
        line[x] = shadow;
      } else if (c == key) {
        line[x] = face;
      }
    }
  }
  return image;
}

QImage TButtonGlyph::EmbossedDisabledCell() const {
  const QSize cell = CellSize();
  const QImage source = strip_.copy(0, 0, cell.width(), cell.height());
  const QRgb key = TransparentColor();
  // Monochrome shape: what is neither the transparent colour nor light enough to vanish.
  QImage shape(cell, QImage::Format_ARGB32);
  shape.fill(Qt::transparent);
  for (int y = 0; y < cell.height(); ++y) {
    for (int x = 0; x < cell.width(); ++x) {
      const QRgb c = Opaque(source.pixel(x, y));
      if (c != key && qGray(c) < 192) shape.setPixel(x, y, 0xFF000000u);
    }
  }
  auto tinted = [&shape](TColor color) {
    QImage t = shape;
    QPainter p(&t);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(t.rect(), ColorToQColor(color));
    return t;
  };
  QImage image(cell, QImage::Format_RGB32);
  image.fill(ColorToQColor(clBtnFace));
  QPainter p(&image);
  p.drawImage(1, 1, tinted(clBtnHighlight));
  p.drawImage(0, 0, tinted(clBtnShadow));
  return image;
}
