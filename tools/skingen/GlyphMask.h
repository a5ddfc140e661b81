// A one-bit picture: the pixels of a symbol, before it is given colours.
#pragma once

#include <vector>

class TGlyphMask {
 public:
  enum TDirection { gdLeft, gdRight, gdUp, gdDown };

  TGlyphMask(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool At(int x, int y) const;  // false outside the mask
  void Set(int x, int y);       // ignored outside the mask

  void Rect(int x, int y, int w, int h);
  // A triangle with 45-degree sides; size is the length of its base (odd for a sharp tip).
  // (x, y) is the top-left corner of its bounding box.
  void Triangle(int x, int y, int size, TDirection dir);
  // Pixels whose centre lies between the two radii around (cx, cy).
  void Ring(double cx, double cy, double outer, double inner);
  // Every pixel as a factor x factor block.
  TGlyphMask Scaled(int factor) const;

 private:
  int width_;
  int height_;
  std::vector<bool> bits_;
};
