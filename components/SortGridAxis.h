// One direction of the sort grid's view: its lines (columns or rows) laid out one after the
// other with a grid line after each, the fixed lines first, then the scrolled lines from the
// first one on screen, as far as the room on screen goes.
#pragma once

#include <functional>
#include <utility>
#include <vector>

class TSortGridAxis {
 public:
  int Count = 0;  // lines
  int Fixed = 0;  // header lines at the start, never scrolled
  int First = 0;  // the first scrolled line on screen
  int Room = 0;   // pixels on screen
  int Line = 1;   // grid line width
  std::function<int(int)> Size;

  int FixedExtent() const;
  // Where line i starts on screen, or -1 when it is scrolled away or past the room.
  int Start(int i) const;
  // The line at pixel pos, or -1.
  int At(int pos) const;
  // The lines on screen with their starts.
  std::vector<std::pair<int, int>> OnScreen() const;
  // Scrolled lines that fit wholly from First.
  int Visible() const;
  // The largest First that still fills the room to the last line.
  int LastFirst() const;
  // The First that shows line i wholly with the least scrolling.
  int Reveal(int i) const;
};
