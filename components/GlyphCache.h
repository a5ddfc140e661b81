// TGlyphCache: the glyph lists of all buttons, one per cell size, so buttons with cells of
// the same size share one list. A list leaves the cache when its last image is released.
#pragma once

#include <memory>
#include <vector>

#include "GlyphList.h"

class TGlyphCache {
 public:
  // The cache shared by all live button glyphs; created on first use and freed with the
  // last glyph that holds it.
  static std::shared_ptr<TGlyphCache> Shared();

  // The list for cells of this size (the newest match), created when missing.
  TGlyphList* GetList(int width, int height);
  // Frees the list once it holds no image.
  void ReturnList(TGlyphList* list);
  bool Empty() const { return lists_.empty(); }
  int ListCount() const { return static_cast<int>(lists_.size()); }

 private:
  std::vector<std::unique_ptr<TGlyphList>> lists_;
};
