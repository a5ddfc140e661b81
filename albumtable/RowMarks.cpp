#include "RowMarks.h"

#include <algorithm>

TRowMarks::TRowMarks(int rowCount) { StartOver(rowCount); }

bool TRowMarks::IsMarked(int row) const { return Valid(row) && m_marks[row]; }

void TRowMarks::Grow(int rowCount) {
  // One row at a time as a table is built: push_back is far cheaper than a resize by one.
  while (int(m_marks.size()) < rowCount) m_marks.push_back(false);
}

void TRowMarks::StartOver(int rowCount) {
  m_marks.assign(std::max(rowCount, 0), false);
  m_anchor = 1;
  Mark(1);
}

void TRowMarks::Mark(int row) {
  if (Valid(row)) m_marks[row] = true;
}

void TRowMarks::ClearMarks() { std::fill(m_marks.begin(), m_marks.end(), false); }

void TRowMarks::MarkOnly(int row) {
  if (!Valid(row)) return;
  ClearMarks();
  m_marks[row] = true;
  m_anchor = row;
}

void TRowMarks::Toggle(int row) {
  if (!Valid(row)) return;
  m_marks[row] = !m_marks[row];
  if (m_marks[row]) m_anchor = row;
}

void TRowMarks::MarkRangeTo(int row) {
  if (!Valid(row)) return;
  ClearMarks();
  const int from = std::min(m_anchor, row), to = std::max(m_anchor, row);
  for (int r = std::max(from, 0); r <= to && r < int(m_marks.size()); ++r) m_marks[r] = true;
}
