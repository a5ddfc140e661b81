#include "SortGrid.h"

#include <algorithm>
#include <charconv>
#include <numeric>
#include <utility>

#include "CaseInsensitive.h"

namespace {

std::string Folded(std::string_view text, const TSortGrid::TSearchOptions& search) {
  if (search.CaseSensitive) return std::string(text);
  return search.LocaleCase ? platform::LocaleLower(text) : platform::AsciiLower(text);
}

void Fold(std::string& text) {
  for (char& c : text) c = platform::AsciiLower(c);
}

// Moves the element at from to to, shifting those between by one.
template <typename It>
void MoveElement(It first, int from, int to) {
  if (from < to) {
    std::rotate(first + from, first + from + 1, first + to + 1);
  } else {
    std::rotate(first + to, first + from, first + from + 1);
  }
}

}  // namespace

TSortGrid::TSortGrid(int colCount, int rowCount)
    : m_cells(std::size_t(std::max(rowCount, 2)) * std::max(colCount, 1), TGridText::kEmpty),
      m_rows(std::max(rowCount, 2)),
      m_colCount(std::max(colCount, 1)),
      m_fixedCols(std::min(1, m_colCount - 1)),
      m_col(m_fixedCols),
      m_marks(std::max(rowCount, 2)) {
  std::iota(m_rows.begin(), m_rows.end(), TSlot(0));
}

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

void TSortGrid::SetFixedCols(int count) {
  m_fixedCols = std::clamp(count, 0, m_colCount - 1);
  Changed();
}

std::string TSortGrid::Cells(int col, int row) const {
  TGridText::TScratch scratch;
  return std::string(CellView(col, row, scratch));
}

std::string_view TSortGrid::CellView(int col, int row, TGridText::TScratch& scratch) const {
  if (!ValidCol(col) || !ValidRow(row)) return {};
  return m_text.View(RowAt(row)[col], scratch);
}

void TSortGrid::SetCells(int col, int row, std::string_view text) {
  if (!ValidCol(col) || !ValidRow(row)) return;
  TCell& cell = RowAt(row)[col];
  m_text.Release(cell);
  cell = m_text.Store(text);
  m_text.Collect({m_cells});
  Changed();
}

void TSortGrid::Reserve(int rows, std::size_t bytes) {
  m_cells.reserve(m_cells.size() + std::size_t(std::max(rows, 0)) * m_colCount);
  m_rows.reserve(m_rows.size() + std::max(rows, 0));
  m_text.Reserve(std::size_t(std::max(rows, 0)), bytes);
  m_marks.Reserve(RowCount() + rows);
}

void TSortGrid::Clear() {
  BeginUpdate();
  for (TSlot slot : m_setAside) FreeSlot(slot);
  m_setAside.clear();
  m_placeholder = false;
  const int oldRows = RowCount();
  Resize(m_colCount, m_fixedRows + 1);
  EmptyRow(RowAt(RowCount() - 1));
  // The rows left move to the front of a list of their own size, so a large table's memory
  // goes back.
  TCells kept(m_rows.size() * m_colCount);
  for (std::size_t r = 0; r < m_rows.size(); ++r) {
    std::copy_n(RowAt(int(r)), m_colCount, kept.data() + r * m_colCount);
    m_rows[r] = TSlot(r);
  }
  m_cells = std::move(kept);
  TSlots().swap(m_free);
  m_text.Collect({m_cells});
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
  m_rows.insert(m_rows.begin() + at, NewSlot());
  RowInserted(at, oldRows);
}

void TSortGrid::AppendRow(std::initializer_list<std::string_view> texts) {
  const int oldRows = RowCount();
  const TSlot slot = NewSlot();
  // A new slot's cells are empty: nothing to release, nothing for Collect to find.
  TCell* cells = SlotCells(slot);
  const std::size_t count = std::min(texts.size(), std::size_t(m_colCount));
  for (std::size_t c = 0; c < count; ++c) cells[c] = m_text.Store(texts.begin()[c]);
  m_rows.push_back(slot);
  RowInserted(oldRows, oldRows);
}

void TSortGrid::RowInserted(int at, int oldRows) {
  m_marks.Grow(RowCount());
  SizeChanged(m_colCount, oldRows);
  if (OnRowInsert) OnRowInsert(this, at);
  Changed();
}

void TSortGrid::DeleteRow(int row) {
  if (!ValidRow(row) || RowCount() <= m_fixedRows + 1) return;
  const int oldRows = RowCount();
  FreeSlot(m_rows[row]);
  m_rows.erase(m_rows.begin() + row);
  m_marks.StartOver(RowCount());
  m_row = std::min(m_row, RowCount() - 1);
  SizeChanged(m_colCount, oldRows);
  if (OnRowDelete) OnRowDelete(this, row);
  Changed();
}

void TSortGrid::MoveRow(int from, int to) {
  if (!ValidRow(from) || !ValidRow(to) || from == to) return;
  MoveElement(m_rows.begin(), from, to);
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
  for (std::size_t at = 0; at < m_cells.size(); at += m_colCount) {
    MoveElement(m_cells.data() + at, from, to);
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
  for (std::size_t at = 0; at < m_cells.size(); at += m_colCount) {
    std::swap(m_cells[at + a], m_cells[at + b]);
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
  if (ShowWaitCursor) ShowWaitCursor(true);
}

void TSortGrid::EndUpdate() {
  if (m_updateDepth == 0 || --m_updateDepth > 0) return;
  UpdateOnSizeChange = m_savedUpdateOnSizeChange;
  if (ShowWaitCursor) ShowWaitCursor(false);
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
  const int rows = std::max(RowCount() - m_fixedRows, 0);
  std::vector<TGridText::TScratch> scratch(rows);
  std::vector<std::string_view> texts(rows);
  for (int i = 0; i < rows; ++i) texts[i] = CellView(col, m_fixedRows + i, scratch[i]);
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

bool TSortGrid::InSortOrder(const std::vector<int>& cols) const {
  const TSortStyle style = SortOptions.SortStyle;
  if (style == ssAutomatic) return false;
  // Sorting by each column in turn, stably, orders the rows by the last column first, its
  // secondary columns next, and so on back to the first: the rows stay where they are
  // exactly when each goes before the next by that chain of keys, ties included.
  std::vector<int> chain;
  for (auto c = cols.rbegin(); c != cols.rend(); ++c) {
    if (!ValidCol(*c)) continue;
    for (int k : SortKeys(*c)) chain.push_back(k);
  }
  const TSortDirection direction = SortOptions.SortDirection;
  const bool byValue = TSortComparer::ReadsValues(style);
  const int rows = RowCount() - m_fixedRows;
  std::vector<int> undecided(std::max(rows - 1, 0));
  std::iota(undecided.begin(), undecided.end(), 0);
  // Each key decides the pairs of neighbours the keys before it left tied.
  for (int k : chain) {
    if (undecided.empty()) break;
    std::vector<std::optional<double>> values;
    std::string texts;
    std::vector<std::size_t> ends;
    if (byValue) {
      values = ColumnValues(k, style);
    } else {
      texts = ColumnTexts(k, ends);
    }
    std::vector<int> tied;
    for (int i : undecided) {
      const int c = byValue ? TSortComparer::CompareValues(values[i], values[i + 1], direction)
                            : TSortComparer::CompareTexts(texts, ends, i, i + 1, direction);
      if (c > 0) return false;
      if (c == 0) tied.push_back(i);
    }
    undecided = std::move(tied);
  }
  return true;
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
  TGridText::TScratch scratch;
  for (int step = 1; step < rows; ++step) {
    const int r = m_fixedRows + (current + step) % rows;
    const std::string_view text = CellView(0, r, scratch);
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

std::vector<std::optional<double>> TSortGrid::ColumnValues(int col, TSortStyle style) const {
  const int rows = std::max(RowCount() - m_fixedRows, 0);
  std::vector<std::optional<double>> values(rows);
  TGridText::TScratch scratch;
  for (int i = 0; i < rows; ++i) {
    const TCell cell = RowAt(m_fixedRows + i)[col];
    // A number held as a number reads as itself, without spelling it out first.
    if (style == ssNumeric && TGridText::IsNumber(cell)) {
      values[i] = double(TGridText::Number(cell));
    } else {
      values[i] = Comparer.ReadValue(m_text.View(cell, scratch), style);
    }
  }
  return values;
}

std::string TSortGrid::ColumnTexts(int col, std::vector<std::size_t>& ends) const {
  const int rows = std::max(RowCount() - m_fixedRows, 0);
  std::string texts;
  ends.resize(rows);
  TGridText::TScratch scratch;
  for (int i = 0; i < rows; ++i) {
    texts += m_text.View(RowAt(m_fixedRows + i)[col], scratch);
    ends[i] = texts.size();
  }
  if (!SortOptions.SortCaseSensitive) Fold(texts);
  return texts;
}

void TSortGrid::SortRowsBy(int col) {
  const TSortStyle style = SortOptions.SortStyle;
  const TSortDirection direction = SortOptions.SortDirection;
  std::vector<int> order;
  if (TSortComparer::ReadsValues(style)) {
    order = Comparer.OrderValues(ColumnValues(col, style), direction);
  } else {
    std::vector<std::size_t> ends;
    const std::string texts = ColumnTexts(col, ends);
    order = Comparer.OrderTexts(texts, ends, direction);
  }
  // An empty order: the rows are in order already.
  if (!order.empty()) {
    TSlots sorted(m_rows.begin(), m_rows.begin() + m_fixedRows);
    sorted.reserve(m_rows.size());
    for (int i : order) sorted.push_back(m_rows[m_fixedRows + i]);
    m_rows = std::move(sorted);
  }
  Changed();
}

int TSortGrid::MatchCol(const TCell* cells, const std::string& text) const {
  const bool caseSensitive = SearchOptions.CaseSensitive;
  const bool localeCase = SearchOptions.LocaleCase;
  const int col = SearchOptions.SearchCol;
  const int first = col < 0 ? 0 : col, last = col < 0 ? m_colCount - 1 : col;
  TGridText::TScratch scratch;
  std::string folded;
  for (int c = first; c <= last && c < m_colCount; ++c) {
    const std::string_view cell = m_text.View(cells[c], scratch);
    if (caseSensitive) {
      if (cell.find(text) != std::string_view::npos) return c;
      continue;
    }
    if (localeCase) {
      folded = platform::LocaleLower(cell);
    } else {
      folded.assign(cell);
      Fold(folded);
    }
    if (folded.find(text) != std::string::npos) return c;
  }
  return -1;
}

int TSortGrid::Search(int startRow) {
  const std::string text = Folded(SearchOptions.SearchText, SearchOptions);
  for (int r = std::max(startRow, m_fixedRows); r < RowCount(); ++r) {
    const int c = MatchCol(RowAt(r), text);
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
    const std::string text = Folded(SearchOptions.SearchText, SearchOptions);
    TSlots kept(m_rows.begin(), m_rows.begin() + m_fixedRows);
    for (int r = m_fixedRows; r < RowCount(); ++r) {
      (MatchCol(RowAt(r), text) >= 0 ? kept : m_setAside).push_back(m_rows[r]);
    }
    // A grid keeps at least one data row: when nothing matches it shows an empty one.
    m_placeholder = int(kept.size()) == m_fixedRows;
    if (m_placeholder) kept.push_back(NewSlot());
    m_rows = std::move(kept);
  } else {
    // The empty row shown for "nothing matched" goes, unless something was typed into it.
    const TCell* first = RowAt(m_fixedRows);
    if (m_placeholder && !m_setAside.empty() &&
        std::all_of(first, first + m_colCount, [](TCell c) { return c == TGridText::kEmpty; })) {
      FreeSlot(m_rows[m_fixedRows]);
      m_rows.erase(m_rows.begin() + m_fixedRows);
    }
    m_placeholder = false;
    m_rows.insert(m_rows.end(), m_setAside.begin(), m_setAside.end());
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

TSortGrid::TSlot TSortGrid::NewSlot() {
  if (!m_free.empty()) {
    const TSlot slot = m_free.back();
    m_free.pop_back();
    return slot;
  }
  const TSlot slot = TSlot(m_cells.size() / m_colCount);
  m_cells.resize(m_cells.size() + m_colCount, TGridText::kEmpty);
  return slot;
}

void TSortGrid::FreeSlot(TSlot slot) {
  EmptyRow(SlotCells(slot));
  m_free.push_back(slot);
}

void TSortGrid::EmptyRow(TCell* cells) {
  Release(cells, cells + m_colCount);
  std::fill(cells, cells + m_colCount, TGridText::kEmpty);
}

void TSortGrid::Release(const TCell* first, const TCell* last) {
  for (; first != last; ++first) m_text.Release(*first);
}

void TSortGrid::Resize(int cols, int rows) {
  if (cols != m_colCount) {
    const std::size_t slots = m_cells.size() / m_colCount;
    TCells resized(slots * cols, TGridText::kEmpty);
    for (std::size_t r = 0; r < slots; ++r) {
      const TCell* from = m_cells.data() + r * m_colCount;
      std::copy(from, from + std::min(cols, m_colCount), resized.data() + r * cols);
      if (cols < m_colCount) Release(from + cols, from + m_colCount);
    }
    m_cells = std::move(resized);
    m_colCount = cols;
  }
  const int oldRows = RowCount();
  for (int r = rows; r < oldRows; ++r) FreeSlot(m_rows[r]);
  m_rows.resize(std::max(rows, 0));
  for (int r = oldRows; r < rows; ++r) m_rows[r] = NewSlot();
  if (rows < oldRows) {
    m_marks.StartOver(rows);
  } else {
    m_marks.Grow(rows);
  }
  m_text.Collect({m_cells});
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
