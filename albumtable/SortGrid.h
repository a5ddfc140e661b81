// A grid of text cells with sorting, searching, filtering and row marks. This is the data
// and its operations; a view (the visible grid, or a table model) sits on top, reading the
// cells and following OnChanged.
//
// The cells lie row by row in one list of words (see TGridText), so a row costs a few bytes
// beyond its texts. The grid's rows are handles to those rows: exchanging, moving and
// sorting rows move handles only.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "GridText.h"
#include "RowMarks.h"
#include "SortComparer.h"

class TSortGrid {
 public:
  struct TSortOptions {
    TSortStyle SortStyle = ssExtended;
    bool SortCaseSensitive = false;
    int SortCol = 0;
    TSortDirection SortDirection = sdAscending;
  };
  struct TSearchOptions {
    int SearchCol = -1;  // negative: every column
    bool CaseSensitive = false;
    // Without case: on, every letter of the locale is folded; off, A to Z only.
    bool LocaleCase = false;
    std::string SearchText;
  };

  explicit TSortGrid(int colCount = 5, int rowCount = 5);

  int ColCount() const { return m_colCount; }
  void SetColCount(int count);
  int RowCount() const { return int(m_rows.size()); }
  void SetRowCount(int count);
  int FixedRows() const { return m_fixedRows; }
  // Header columns on the left: never current, never searched by a typed letter's move.
  int FixedCols() const { return m_fixedCols; }
  void SetFixedCols(int count);

  // A cell outside the grid reads as empty text; writing it does nothing.
  std::string Cells(int col, int row) const;
  void SetCells(int col, int row, std::string_view text);
  // The text of a cell without a copy; valid until the grid or scratch changes.
  std::string_view CellView(int col, int row, TGridText::TScratch& scratch) const;
  // Makes room for rows more rows holding bytes characters of text in all.
  void Reserve(int rows, std::size_t bytes);

  // Empties every data row and leaves one; clears the modified flag.
  void Clear();
  // Grows the grid by one empty row placed at at (0..RowCount).
  void InsertRow(int at);
  // Grows the grid by one row at the end holding texts from column 0 on (texts beyond the
  // last column are dropped): InsertRow and SetCells in one step, for tables built row by
  // row. The row is whole before a re-sort on the size change runs.
  void AppendRow(std::initializer_list<std::string_view> texts);
  // Removes row; never the last data row.
  void DeleteRow(int row);
  void MoveRow(int from, int to);
  void ExchangeRows(int a, int b);
  void InsertColumn(int at);
  void DeleteColumn(int col);
  // Moves a column; SortCol keeps naming the column it named.
  void MoveColumn(int from, int to);
  void ExchangeColumns(int a, int b);

  // Batches changes: OnChanged fires once when the outermost EndUpdate runs, the wait
  // cursor shows meanwhile, and UpdateOnSizeChange is off.
  void BeginUpdate();
  void EndUpdate();
  // Shows (true) and takes back (false) the wait cursor of every grid. The grid view sets
  // it, so programs without windows (the scanner tool) need no GUI library.
  static inline void (*ShowWaitCursor)(bool on) = nullptr;

  // The current cell.
  int Col() const { return m_col; }
  int Row() const { return m_row; }
  // Makes (col, row) current when it may be selected (a data cell inside the grid); col
  // below 0 reads as 0 and row below 1 as 1. A view scrolls to it through OnGoToCell.
  void GoToCell(int col, int row);
  // Moves the current cell without the scroll of GoToCell, as a view's own navigation does.
  void SetCurrentCell(int col, int row);
  bool CanSelect(int col, int row) const;
  bool Updating() const { return m_updateDepth > 0; }

  // Set when an editor stored a text different from the cell's.
  bool Modified() const { return m_modified; }
  void SetModified(bool modified) { m_modified = modified; }

  TSortStyle DetectSortStyle(int col) const;
  // Stable sort of the data rows by col, then by the columns of SecondaryIndex. Rows found
  // in order already stay where they are.
  void SortByColumn(int col);
  // True when SortByColumn of each of cols in turn would leave every row where it is, found
  // in one pass over the rows. False when the style is ssAutomatic.
  bool InSortOrder(const std::vector<int>& cols) const;
  bool Sorting() const { return m_sorting; }
  // A click on the header of col: the sort column flips its direction, any other column
  // sorts ascending; the right button always sorts descending.
  void ClickHeader(int col, bool rightButton);
  // Typing letter: the next row below the current one whose column-0 text starts with it
  // (ignoring case) becomes current, wrapping round to row 1. False when there is none.
  bool GoToLetter(char letter);

  // First row at or below startRow whose text contains SearchText; it becomes the current
  // cell. -1 when none does.
  int Search(int startRow);
  bool Filtered() const { return m_filtered; }
  // On: keeps only the matching rows in the grid, the others set aside; off: puts them
  // back below. Either way the grid is sorted again by SortCol.
  void SetFiltered(bool on);

  TRowMarks& Marks() { return m_marks; }
  bool IsMarked(int row) const { return m_marks.IsMarked(row); }

  TSortOptions SortOptions;
  TSearchOptions SearchOptions;
  TSortComparer Comparer;
  // Further sort columns, comma-separated column numbers.
  std::string SecondaryIndex;
  // Sort again by SortCol whenever the number of rows or columns changes.
  bool UpdateOnSizeChange = false;

  std::function<void(TSortGrid*Sender, int Index)> OnRowInsert, OnRowDelete;
  std::function<void(TSortGrid*Sender, int Index)> OnColumnInsert, OnColumnDelete;
  std::function<void(TSortGrid* Sender, int OldColCount, int OldRowCount)> OnSizeChanged;
  std::function<void(TSortGrid*Sender, int Col)> OnBeginSort, OnEndSort;
  // For a view: contents or shape changed (once per batch); GoToCell moved the current
  // cell; Clear emptied the grid.
  std::function<void(TSortGrid*Sender)> OnChanged, OnGoToCell, OnCleared;

 private:
  using TCell = TGridText::TCell;
  using TCells = std::vector<TCell>;
  using TSlot = std::uint32_t;  // a row's place in m_cells
  using TSlots = std::vector<TSlot>;

  bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }
  bool ValidCol(int col) const { return col >= 0 && col < m_colCount; }
  TCell* SlotCells(TSlot slot) { return m_cells.data() + std::size_t(slot) * m_colCount; }
  const TCell* RowAt(int row) const {
    return m_cells.data() + std::size_t(m_rows[row]) * m_colCount;
  }
  TCell* RowAt(int row) { return SlotCells(m_rows[row]); }
  // An empty row's place: a freed one, or a new one at the end.
  TSlot NewSlot();
  // Empties the row at slot and frees its place.
  void FreeSlot(TSlot slot);
  // Empties the row at cells.
  void EmptyRow(TCell* cells);
  void Release(const TCell* first, const TCell* last);
  void Resize(int cols, int rows);
  void SizeChanged(int oldCols, int oldRows);
  // The notices of a row now at at, in a grid that had oldRows rows.
  void RowInserted(int at, int oldRows);
  void Changed();
  std::vector<int> SortKeys(int col) const;
  void SortRowsBy(int col);
  // The values of col's data rows as style reads them.
  std::vector<std::optional<double>> ColumnValues(int col, TSortStyle style) const;
  // The texts of col's data rows side by side, folded unless case matters; ends as
  // TSortComparer::OrderTexts takes them.
  std::string ColumnTexts(int col, std::vector<std::size_t>& ends) const;
  // The first searched column of the row at cells that contains text (already folded), or -1.
  int MatchCol(const TCell* cells, const std::string& text) const;

  TCells m_cells;     // m_colCount cells per slot
  TSlots m_rows;      // the grid's rows in order
  TSlots m_setAside;  // rows hidden by the filter
  TSlots m_free;      // emptied slots
  TGridText m_text;
  bool m_placeholder = false;  // the filter added an empty row because nothing matched
  int m_colCount = 0;
  int m_fixedRows = 1;
  int m_fixedCols = 1;
  bool m_modified = false;
  int m_col, m_row = 1;
  int m_updateDepth = 0;
  bool m_pendingChange = false;
  bool m_savedUpdateOnSizeChange = false;
  bool m_sorting = false;
  bool m_filtered = false;
  TRowMarks m_marks;
};
