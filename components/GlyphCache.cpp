#include "GlyphCache.h"

#include <algorithm>

std::shared_ptr<TGlyphCache> TGlyphCache::Shared() {
  static std::weak_ptr<TGlyphCache> current;
  std::shared_ptr<TGlyphCache> cache = current.lock();
  if (!cache) {
    cache = std::make_shared<TGlyphCache>();
    current = cache;
  }
  return cache;
}

TGlyphList* TGlyphCache::GetList(int width, int height) {
  for (auto it = lists_.rbegin(); it != lists_.rend(); ++it) {
    if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
  }
  lists_.push_back(std::make_unique<TGlyphList>(width, height));
  return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
  if (!list || list->Count() > 0) return;
  auto it = std::find_if(lists_.begin(), lists_.end(),
                         [list](const std::unique_ptr<TGlyphList>& l) { return l.get() == list; });
  if (it != lists_.end()) lists_.erase(it);
}
