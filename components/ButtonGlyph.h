// TButtonGlyph: a button's glyph strip cut into NumGlyphs cells of equal width, and the
// cell image prepared for each drawing state. Prepared images live in a glyph list shared
// through the glyph cache with every other button of the same cell size.
#pragma once

#include <QImage>
#include <QSize>
#include <memory>

class TGlyphCache;
class TGlyphList;

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TButtonGlyph {
 public:
  TButtonGlyph() = default;
  ~TButtonGlyph();
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  const QImage& Glyph() const { return strip_; }
  // Replaces the strip and discards the prepared images; NumGlyphs is left alone.
  void SetGlyph(const QImage& strip);
  int NumGlyphs() const { return numGlyphs_; }
  // Kept within 1..4; discards the prepared images.
  void SetNumGlyphs(int value);
  // The colour drawn transparent: the strip's bottom-left pixel.
  QRgb TransparentColor() const;
  // Strip width div NumGlyphs by strip height; empty for an empty strip.
  QSize CellSize() const;

  // The image of a state, prepared on first use, with its transparent pixels cleared; a
  // null image when there is nothing to draw.
  const QImage& StateImage(TButtonState state);
  // Gives every prepared image back (the strip or the system colours changed).
  void Invalidate();

 private:
  QImage BuildImage(TButtonState state) const;
  QImage RecolouredDisabledCell() const;
  QImage EmbossedDisabledCell() const;

  QImage strip_;
  int numGlyphs_ = 4;
  std::shared_ptr<TGlyphCache> cache_;
  TGlyphList* list_ = nullptr;
  int indexes_[4] = {-1, -1, -1, -1};
};
