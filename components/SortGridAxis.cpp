#include "SortGridAxis.h"

#include <algorithm>

int TSortGridAxis::FixedExtent() const {
  int extent = 0;
  for (int i = 0; i < Fixed && i < Count; ++i) extent += Size(i) + Line;
  return extent;
}

std::vector<std::pair<int, int>> TSortGridAxis::OnScreen() const {
  std::vector<std::pair<int, int>> lines;
  for (int i = 0, pos = 0; i < Count && pos < Room; ++i) {
    if (i == Fixed) i = std::max(i, First);
    if (i >= Count) break;
    lines.emplace_back(i, pos);
    pos += Size(i) + Line;
  }
  return lines;
}

int TSortGridAxis::Start(int i) const {
  if (i < 0 || i >= Count || (i >= Fixed && i < First)) return -1;
  int pos = i < Fixed ? 0 : FixedExtent();
  for (int k = i < Fixed ? 0 : First; k < i && pos < Room; ++k) pos += Size(k) + Line;
  return pos < Room ? pos : -1;
}

int TSortGridAxis::At(int pos) const {
  if (pos < 0) return -1;
  for (const auto& [i, start] : OnScreen()) {
    if (pos < start + Size(i) + Line) return i;
  }
  return -1;
}

int TSortGridAxis::Visible() const {
  const int room = Room - FixedExtent();
  int count = 0;
  for (int i = First, pos = 0; i < Count; ++i, ++count) {
    pos += Size(i) + Line;
    if (pos > room) break;
  }
  return count;
}

int TSortGridAxis::LastFirst() const {
  const int room = Room - FixedExtent();
  int i = Count - 1, extent = Size(i) + Line;
  while (i - 1 >= Fixed && extent + Size(i - 1) + Line <= room) extent += Size(--i) + Line;
  return std::max(i, Fixed);
}

int TSortGridAxis::Reveal(int i) const {
  if (i < Fixed) return First;
  if (i <= First) return i;
  // The smallest First whose lines up to i still fit, counted back from i.
  const int room = Room - FixedExtent();
  int first = i, extent = Size(i) + Line;
  while (first - 1 >= First && extent + Size(first - 1) + Line <= room) {
    extent += Size(--first) + Line;
  }
  return first;
}
