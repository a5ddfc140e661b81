// The row marks of a multi-select grid: one flag per row and the anchor row that range
// marking starts from. A new list marks row 1, the first data row.
#pragma once

#include <algorithm>
#include <vector>

class TRowMarks {
 public:
  explicit TRowMarks(int rowCount = 2);

  bool IsMarked(int row) const;
  int Anchor() const { return m_anchor; }

  // Rows were added: the new rows are unmarked.
  void Grow(int rowCount);
  // Makes room for rowCount rows in all.
  void Reserve(int rowCount) { m_marks.reserve(std::max(rowCount, 0)); }
  // Rows were removed: the marks start over as in a new list.
  void StartOver(int rowCount);

  void Mark(int row);
  void ClearMarks();
  // Marks only row and makes it the anchor (a plain click).
  void MarkOnly(int row);
  // Flips row's mark; a newly marked row becomes the anchor (Ctrl+click).
  void Toggle(int row);
  // Clears every mark, then marks the rows from the anchor to row (Shift+click).
  void MarkRangeTo(int row);

 private:
  bool Valid(int row) const { return row >= 0 && row < int(m_marks.size()); }

  std::vector<bool> m_marks;
  int m_anchor = 1;
};
