// The visible sort grid: a scrolling string grid drawn over a TSortGrid (the data and its
// sorting, searching and marks). It adds what a control has: column widths and row
// heights, fixed header lines, the current cell and its scrolling, header clicks that
// sort, type-a-letter moves, row marking by mouse and keys, keyboard row and column
// insertion, an in-place editor, and cell drawing that OnGetCellFormat can change.
#pragma once

#include <QAbstractScrollArea>
#include <functional>
#include <memory>
#include <vector>

#include "SortGrid.h"
#include "SortGridAxis.h"
#include "SortGridFormat.h"

class QLineEdit;

class TSortGridView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goRowSizing = 1u << 5,
    goColSizing = 1u << 6,
    goColMoving = 1u << 7,
    goEditing = 1u << 8,
  };
  using TGridOptions = unsigned;

  // Shows grid, which must outlive the view; without one the view keeps a 5 x 5 grid of
  // its own.
  explicit TSortGridView(TSortGrid* grid = nullptr, QWidget* parent = nullptr);
  ~TSortGridView() override;

  // Lets every grid show the application's wait cursor while it is updating; a view does
  // this itself, a program whose grids have no view calls it once.
  static void UseWaitCursor();

  TSortGrid& Grid() { return *m_grid; }
  const TSortGrid& Grid() const { return *m_grid; }

  TGridOptions Options =
      goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  bool MultiSelect = false;
  TAlignment AlignmentHorz = taLeftJustify;
  TAlignmentVert AlignmentVert = taTopJustify;
  TCellBevelStyle BevelStyle = cbNone;
  bool ExtendedKeys = false;
  TPrintOptions PrintOptions;
  bool ProportionalScrollBars() const { return m_proportional; }
  void SetProportionalScrollBars(bool on);

  int DefaultRowHeight() const { return m_defaultRowHeight; }
  void SetDefaultRowHeight(int height);
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int RowHeights(int row) const;
  void SetRowHeights(int row, int height);

  // The first scrolled (non-fixed) column and row on screen.
  int LeftCol() const { return m_leftCol; }
  int TopRow() const { return m_topRow; }
  // Rows below the fixed ones that fit wholly on screen from TopRow.
  int VisibleRowCount() const;

  // The cell under a point of the viewport; -1 parts when there is none.
  QPoint MouseCell(QPoint at) const;
  // The viewport rectangle of a cell on screen; empty when it is scrolled away.
  QRect CellRect(int col, int row) const;

  // As the data grid's, with the view scrolled by the rule of GoToCell.
  void GoToCell(int col, int row) { m_grid->GoToCell(col, row); }
  void BeginUpdate() { m_grid->BeginUpdate(); }
  void EndUpdate() { m_grid->EndUpdate(); }
  // The widest text of col, plus the arrow's room for the sort column, plus one letter X;
  // an empty column becomes as wide as "xx".
  void AutoSizeColumn(int col);
  void AutoSizeColumns();

  // The in-place editor (goEditing): F2, Enter or a double click open it; Enter or leaving
  // it stores the text, Escape drops it.
  bool EditorMode() const { return m_editor != nullptr; }
  void ShowEditor();
  void HideEditor(bool store);

  std::function<void(TSortGridView* Sender, int Col, int Row, TGridDrawState State,
                     TFormatOptions& FormatOptions)>
      OnGetCellFormat;
  std::function<void(TSortGridView*Sender)> OnColumnWidthsChanged, OnRowHeightsChanged;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void GridChanged();
  // The scroll of GoToCell: the column into view, the row near the top.
  void ScrollToCurrent();
  // The smallest scroll that shows the current cell.
  void ScrollIntoView();
  void UpdateScrollBars();
  TSortGridAxis Cols() const;
  TSortGridAxis Rows() const;
  // The column whose right edge lies within 3 pixels of x in a fixed row, or -1.
  int SizingColumn(QPoint at) const;
  int SizingRow(QPoint at) const;
  // The line of axis whose far edge lies near along, when across is in the fixed lines.
  static int SizingLine(const TSortGridAxis& axis, int along, int across, int fixedExtent);
  TFormatOptions DefaultFormat(TGridDrawState state) const;
  void PaintCell(QPainter& painter, int col, int row, const QRect& rect);
  // Navigation keys; true when the key was one.
  bool Navigate(QKeyEvent* event);
  bool ExtendedKey(QKeyEvent* event);
  void ColumnsMoved(int from, int to);

  std::unique_ptr<TSortGrid> m_ownGrid;
  TSortGrid* m_grid;
  bool m_proportional = true;
  int m_defaultColWidth = 64, m_defaultRowHeight = 24;
  std::vector<int> m_colWidths;
  std::vector<int> m_rowHeights;  // only rows given a height of their own; the rest default
  int m_leftCol = 1, m_topRow = 1;

  enum class TDrag { None, Header, SizeColumn, SizeRow, Marking };
  TDrag m_drag = TDrag::None;
  int m_pressCol = -1, m_dragIndex = -1, m_dragStart = 0, m_dragSize = 0, m_lastMarkRow = -1;
  bool m_settingBars = false;
  bool m_navigating = false;  // a navigation key without Shift is down
  QLineEdit* m_editor = nullptr;
  int m_editCol = 0, m_editRow = 0;
};
