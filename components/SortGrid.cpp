#include "SortGrid.h"

#include <QCursor>
#include <QGuiApplication>
#include <algorithm>
#include <charconv>
#include <utility>

#include "CaseInsensitive.h"

namespace {

std::string Folded(const std::string& text, bool caseSensitive) {
  return caseSensitive ? text : platform::AsciiLower(text);
}

// The wait cursor only exists where there is a GUI; the scanner tool runs without one.
bool HasGui() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace

TSortGrid::TSortGrid(int colCount, int rowCount)
    : m_rows(std::max(rowCount, 2), TRow(std::max(colCount, 1))),
      m_colCount(std::max(colCount, 1)),
      m_fixedCols(std::min(1, m_colCount - 1)),
      m_col(m_fixedCols),
      m_marks(std::max(rowCount, 2)) {}

void TSortGrid::SetColCount(int count) {
  count = std::max(count, 1);
  if (count == m_colCount) return;
  const int oldCols = m_colCount;
  Resize(count, RowCount());
  SizeChanged(oldCols, RowCount());
  Changed();
}

void TSortGrid::SetRowCount(int count) {
  count = std::max(count, m_fixedRows + 1);
  if (count == RowCount()) return;
  const int oldRows = RowCount();
  Resize(m_colCount, count);
  SizeChanged(m_colCount, oldRows);
  Changed();
}

void TSortGrid::SetFixedRows(int count) {
  m_fixedRows = std::clamp(count, 0, RowCount() - 1);
  Changed();
}

void TSortGrid::SetFixedCols(int count) {
  m_fixedCols = std::clamp(count, 0, m_colCount - 1);
  Changed();
}

const std::string& TSortGrid::Cells(int col, int row) const {
  static const std::string empty;
  return ValidCol(col) && ValidRow(row) ? m_rows[row][col] : empty;
}

void TSortGrid::SetCells(int col, int row, const std::string& text) {
  if (!ValidCol(col) || !ValidRow(row)) return;
  m_rows[row][col] = text;
  Changed();
}

void TSortGrid::Clear() {
  BeginUpdate();
  m_setAside.clear();
  m_placeholder = false;
  const int oldRows = RowCount();
  Resize(m_colCount, m_fixedRows + 1);
  std::fill(m_rows.back().begin(), m_rows.back().end(), std::string());
  if (oldRows != RowCount()) SizeChanged(m_colCount, oldRows);
  m_modified = false;
  if (OnCleared) OnCleared(this);
  Changed();
  EndUpdate();
}

void TSortGrid::InsertRow(int at) {
  if (at < 0 || at > RowCount()) return;
  const int oldRows = RowCount();
  // The new row takes its place before a re-sort on the size change can run, so no
  // other row is ever mistaken for it.
  m_rows.insert(m_rows.begin() + at, TRow(m_colCount));
  m_marks.Grow(RowCount());
  SizeChanged(m_colCount, oldRows);
  if (OnRowInsert) OnRowInsert(this, at);
  Changed();
}

void TSortGrid::DeleteRow(int row) {
  if (!ValidRow(row) || RowCount() <= m_fixedRows + 1) return;
  const int oldRows = RowCount();
  m_rows.erase(m_rows.begin() + row);
  m_marks.StartOver(RowCount());
  m_row = std::min(m_row, RowCount() - 1);
  SizeChanged(m_colCount, oldRows);
  if (OnRowDelete) OnRowDelete(this, row);
  Changed();
}

void TSortGrid::MoveRow(int from, int to) {
  if (!ValidRow(from) || !ValidRow(to) || from == to) return;
  const auto f = m_rows.begin() + from, t = m_rows.begin() + to;
  if (from < to) {
    std::rotate(f, f + 1, t + 1);
  } else {
    std::rotate(t, f, f + 1);
  }
  Changed();
}

void TSortGrid::ExchangeRows(int a, int b) {
  // The same effect as moving b to a and then the old a to b, without shifting the rows
  // between.
  if (!ValidRow(a) || !ValidRow(b) || a == b) return;
  std::swap(m_rows[a], m_rows[b]);
  Changed();
}

void TSortGrid::InsertColumn(int at) {
  if (at < 0 || at > m_colCount) return;
  const int oldCols = m_colCount;
  Resize(m_colCount + 1, RowCount());
  MoveColumn(m_colCount - 1, at);
  SizeChanged(oldCols, RowCount());
  if (OnColumnInsert) OnColumnInsert(this, at);
  Changed();
}

void TSortGrid::DeleteColumn(int col) {
  if (!ValidCol(col) || m_colCount <= 1) return;
  const int oldCols = m_colCount;
  MoveColumn(col, m_colCount - 1);
  Resize(m_colCount - 1, RowCount());
  SortOptions.SortCol = std::min(SortOptions.SortCol, m_colCount - 1);
  SizeChanged(oldCols, RowCount());
  if (OnColumnDelete) OnColumnDelete(this, col);
  Changed();
}

void TSortGrid::MoveColumn(int from, int to) {
  if (!ValidCol(from) || !ValidCol(to) || from == to) return;
  for (auto* rows : {&m_rows, &m_setAside}) {
    for (TRow& row : *rows) {
      if (from < to) {
        std::rotate(row.begin() + from, row.begin() + from + 1, row.begin() + to + 1);
      } else {
        std::rotate(row.begin() + to, row.begin() + from, row.begin() + from + 1);
      }
    }
  }
  int& sortCol = SortOptions.SortCol;
  if (sortCol == from) {
    sortCol = to;
  } else if (from < sortCol && sortCol <= to) {
    --sortCol;
  } else if (to <= sortCol && sortCol < from) {
    ++sortCol;
  }
  Changed();
}

void TSortGrid::ExchangeColumns(int a, int b) {
  if (!ValidCol(a) || !ValidCol(b) || a == b) return;
  for (auto* rows : {&m_rows, &m_setAside}) {
    for (TRow& row : *rows) std::swap(row[a], row[b]);
  }
  int& sortCol = SortOptions.SortCol;
  if (sortCol == a) {
    sortCol = b;
  } else if (sortCol == b) {
    sortCol = a;
  }
  Changed();
}

void TSortGrid::BeginUpdate() {
  if (m_updateDepth++ > 0) return;
  m_savedUpdateOnSizeChange = UpdateOnSizeChange;
  UpdateOnSizeChange = false;
  if (HasGui()) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void TSortGrid::EndUpdate() {
  if (m_updateDepth == 0 || --m_updateDepth > 0) return;
  UpdateOnSizeChange = m_savedUpdateOnSizeChange;
  if (HasGui()) QGuiApplication::restoreOverrideCursor();
  if (std::exchange(m_pendingChange, false) && OnChanged) OnChanged(this);
}

void TSortGrid::GoToCell(int col, int row) {
  col = std::max(col, 0);
  row = std::max(row, 1);
  if (!CanSelect(col, row)) return;
  m_col = col;
  m_row = row;
  if (OnGoToCell) OnGoToCell(this);
}

void TSortGrid::SetCurrentCell(int col, int row) {
  if (CanSelect(col, row)) m_col = col, m_row = row;
}

bool TSortGrid::CanSelect(int col, int row) const {
  return ValidCol(col) && ValidRow(row) && col >= m_fixedCols && row >= m_fixedRows;
}

TSortStyle TSortGrid::DetectSortStyle(int col) const {
  std::vector<const std::string*> texts;
  for (int r = m_fixedRows; r < RowCount(); ++r) texts.push_back(&Cells(col, r));
  return Comparer.DetectSortStyle(texts);
}

void TSortGrid::SortByColumn(int col) {
  if (!ValidCol(col)) return;
  if (OnBeginSort) OnBeginSort(this, col);
  m_sorting = true;
  BeginUpdate();
  SortOptions.SortCol = col;
  const std::vector<int> keys = SortKeys(col);
  // The primary column goes last, so it decides and the others only break its ties.
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
    if (RowCount() <= m_fixedRows + 1) continue;
    if (SortOptions.SortStyle == ssAutomatic) SortOptions.SortStyle = DetectSortStyle(*k);
    SortRowsBy(*k);
    m_sorting = false;
    GoToCell(0, m_row);
    if (OnEndSort) OnEndSort(this, *k);
  }
  m_sorting = false;
  GoToCell(col, m_row);
  EndUpdate();
}

void TSortGrid::ClickHeader(int col, bool rightButton) {
  TSortDirection& direction = SortOptions.SortDirection;
  if (rightButton) {
    direction = sdDescending;
  } else {
    direction = col == SortOptions.SortCol && direction == sdAscending ? sdDescending : sdAscending;
  }
  SortByColumn(col);
}

bool TSortGrid::GoToLetter(char letter) {
  const char wanted = platform::AsciiUpper(std::string(1, letter))[0];
  const int rows = RowCount() - m_fixedRows;
  const int current = std::max(m_row, m_fixedRows) - m_fixedRows;
  for (int step = 1; step < rows; ++step) {
    const int r = m_fixedRows + (current + step) % rows;
    const std::string& text = m_rows[r][0];
    if (!text.empty() && platform::AsciiUpper(text.substr(0, 1))[0] == wanted) {
      GoToCell(m_col, r);
      return true;
    }
  }
  return false;
}

std::vector<int> TSortGrid::SortKeys(int col) const {
  std::vector<int> keys{col};
  std::size_t pos = 0;
  while (pos <= SecondaryIndex.size()) {
    std::size_t end = SecondaryIndex.find(',', pos);
    if (end == std::string::npos) end = SecondaryIndex.size();
    std::size_t b = pos, e = end;
    while (b < e && SecondaryIndex[b] == ' ') ++b;
    while (e > b && SecondaryIndex[e - 1] == ' ') --e;
    int k = -1;
    const auto [p, ec] = std::from_chars(SecondaryIndex.data() + b, SecondaryIndex.data() + e, k);
    // Entries that name no column of the grid are passed over.
    if (ec == std::errc() && p == SecondaryIndex.data() + e && ValidCol(k) &&
        std::find(keys.begin(), keys.end(), k) == keys.end()) {
      keys.push_back(k);
    }
    pos = end + 1;
  }
  return keys;
}

void TSortGrid::SortRowsBy(int col) {
  std::vector<const std::string*> keys;
  keys.reserve(RowCount() - m_fixedRows);
  for (int r = m_fixedRows; r < RowCount(); ++r) keys.push_back(&m_rows[r][col]);
  const std::vector<int> order = Comparer.Order(
      keys, SortOptions.SortStyle, SortOptions.SortDirection, SortOptions.SortCaseSensitive);
  std::vector<TRow> sorted;
  sorted.reserve(m_rows.size());
  for (int r = 0; r < m_fixedRows; ++r) sorted.push_back(std::move(m_rows[r]));
  for (int i : order) sorted.push_back(std::move(m_rows[m_fixedRows + i]));
  m_rows = std::move(sorted);
  Changed();
}

int TSortGrid::MatchCol(const TRow& row, const std::string& text) const {
  const bool caseSensitive = SearchOptions.CaseSensitive;
  const int col = SearchOptions.SearchCol;
  const int first = col < 0 ? 0 : col, last = col < 0 ? m_colCount - 1 : col;
  for (int c = first; c <= last && c < m_colCount; ++c) {
    if (Folded(row[c], caseSensitive).find(text) != std::string::npos) return c;
  }
  return -1;
}

int TSortGrid::Search(int startRow) {
  const std::string text = Folded(SearchOptions.SearchText, SearchOptions.CaseSensitive);
  for (int r = std::max(startRow, m_fixedRows); r < RowCount(); ++r) {
    const int c = MatchCol(m_rows[r], text);
    if (c >= 0) {
      GoToCell(c, r);
      return r;
    }
  }
  return -1;
}

void TSortGrid::SetFiltered(bool on) {
  if (on == m_filtered) return;
  m_filtered = on;
  const int oldRows = RowCount();
  if (on) {
    const std::string text = Folded(SearchOptions.SearchText, SearchOptions.CaseSensitive);
    std::vector<TRow> kept(std::make_move_iterator(m_rows.begin()),
                           std::make_move_iterator(m_rows.begin() + m_fixedRows));
    for (int r = m_fixedRows; r < RowCount(); ++r) {
      (MatchCol(m_rows[r], text) >= 0 ? kept : m_setAside).push_back(std::move(m_rows[r]));
    }
    // A grid keeps at least one data row: when nothing matches it shows an empty one.
    m_placeholder = int(kept.size()) == m_fixedRows;
    if (m_placeholder) kept.emplace_back(m_colCount);
    m_rows = std::move(kept);
  } else {
    // The empty row shown for "nothing matched" goes, unless something was typed into it.
    const TRow& first = m_rows[m_fixedRows];
    if (m_placeholder && !m_setAside.empty() &&
        std::all_of(first.begin(), first.end(), [](const std::string& s) { return s.empty(); })) {
      m_rows.erase(m_rows.begin() + m_fixedRows);
    }
    m_placeholder = false;
    for (TRow& row : m_setAside) m_rows.push_back(std::move(row));
    m_setAside.clear();
  }
  if (RowCount() < oldRows) {
    m_marks.StartOver(RowCount());
    m_row = std::min(m_row, RowCount() - 1);
  } else {
    m_marks.Grow(RowCount());
  }
  if (RowCount() != oldRows) SizeChanged(m_colCount, oldRows);
  Changed();
  SortByColumn(SortOptions.SortCol);
}

void TSortGrid::Resize(int cols, int rows) {
  if (cols != m_colCount) {
    for (auto* list : {&m_rows, &m_setAside}) {
      for (TRow& row : *list) row.resize(cols);
    }
    m_colCount = cols;
  }
  const int oldRows = RowCount();
  m_rows.resize(rows, TRow(cols));
  if (rows < oldRows) {
    m_marks.StartOver(rows);
  } else {
    m_marks.Grow(rows);
  }
  m_fixedCols = std::min(m_fixedCols, cols - 1);
  m_row = std::min(m_row, rows - 1);
  m_col = std::min(m_col, cols - 1);
}

void TSortGrid::SizeChanged(int oldCols, int oldRows) {
  if (UpdateOnSizeChange) SortByColumn(SortOptions.SortCol);
  if (OnSizeChanged) OnSizeChanged(this, oldCols, oldRows);
}

void TSortGrid::Changed() {
  if (m_updateDepth > 0) {
    m_pendingChange = true;
  } else if (OnChanged) {
    OnChanged(this);
  }
}
