#include "SortGridView.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <unordered_set>
#include <utility>
#include <vector>

#include "QtText.h"
#include "SortGridPainter.h"

namespace {
constexpr int kLine = 1;  // grid line width
}

TSortGridView::TSortGridView(TSortGrid* grid, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_ownGrid(grid ? nullptr : std::make_unique<TSortGrid>()),
      m_grid(grid ? grid : m_ownGrid.get()) {
  UseWaitCursor();
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  m_grid->OnChanged = [this](TSortGrid*) { GridChanged(); };
  m_grid->OnGoToCell = [this](TSortGrid*) { ScrollToCurrent(); };
  m_grid->OnCleared = [this](TSortGrid*) { AutoSizeColumns(); };
  m_leftCol = m_grid->FixedCols();
  m_topRow = m_grid->FixedRows();
  GridChanged();
}

TSortGridView::~TSortGridView() {
  m_grid->OnChanged = nullptr;
  m_grid->OnGoToCell = nullptr;
  m_grid->OnCleared = nullptr;
}

void TSortGridView::UseWaitCursor() {
  TSortGrid::ShowWaitCursor = [](bool on) {
    // Grids may outlive the application object.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    if (on) {
      QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
      QGuiApplication::restoreOverrideCursor();
    }
  };
}

void TSortGridView::SetProportionalScrollBars(bool on) {
  m_proportional = on;
  UpdateScrollBars();
}

void TSortGridView::SetDefaultRowHeight(int height) {
  m_defaultRowHeight = std::max(height, 0);
  m_rowHeights.clear();
  if (OnRowHeightsChanged) OnRowHeightsChanged(this);
  GridChanged();
}

int TSortGridView::ColWidths(int col) const {
  return col >= 0 && col < int(m_colWidths.size()) ? m_colWidths[col] : m_defaultColWidth;
}

void TSortGridView::SetColWidths(int col, int width) {
  if (col < 0 || col >= int(m_colWidths.size()) || m_colWidths[col] == std::max(width, 0)) return;
  m_colWidths[col] = std::max(width, 0);
  if (OnColumnWidthsChanged) OnColumnWidthsChanged(this);
  GridChanged();
}

int TSortGridView::RowHeights(int row) const {
  return row >= 0 && row < int(m_rowHeights.size()) && m_rowHeights[row] >= 0 ? m_rowHeights[row]
                                                                              : m_defaultRowHeight;
}

void TSortGridView::SetRowHeights(int row, int height) {
  if (row < 0 || row >= m_grid->RowCount() || RowHeights(row) == std::max(height, 0)) return;
  if (row >= int(m_rowHeights.size())) m_rowHeights.resize(row + 1, -1);
  m_rowHeights[row] = std::max(height, 0);
  if (OnRowHeightsChanged) OnRowHeightsChanged(this);
  GridChanged();
}

TSortGridAxis TSortGridView::Cols() const {
  return {m_grid->ColCount(),
          m_grid->FixedCols(),
          m_leftCol,
          viewport()->width(),
          kLine,
          [this](int c) { return ColWidths(c); }};
}

TSortGridAxis TSortGridView::Rows() const {
  return {m_grid->RowCount(),
          m_grid->FixedRows(),
          m_topRow,
          viewport()->height(),
          kLine,
          [this](int r) { return RowHeights(r); }};
}

QRect TSortGridView::CellRect(int col, int row) const {
  const int x = Cols().Start(col), y = Rows().Start(row);
  if (x < 0 || y < 0) return {};
  return {x, y, ColWidths(col), RowHeights(row)};
}

QPoint TSortGridView::MouseCell(QPoint at) const { return {Cols().At(at.x()), Rows().At(at.y())}; }

int TSortGridView::VisibleRowCount() const { return Rows().Visible(); }

void TSortGridView::UpdateScrollBars() {
  // The bars' own signals must pass (they show and hide the bars), but the values they
  // report while being set are not the view's.
  const bool wasSetting = std::exchange(m_settingBars, true);
  const TSortGridAxis cols = Cols(), rows = Rows();
  QScrollBar* v = verticalScrollBar();
  v->setRange(rows.Fixed, rows.LastFirst());
  v->setPageStep(m_proportional ? std::max(rows.Visible(), 1) : 1);
  v->setValue(m_topRow);
  QScrollBar* h = horizontalScrollBar();
  h->setRange(cols.Fixed, cols.LastFirst());
  h->setPageStep(m_proportional ? std::max(cols.Visible(), 1) : 1);
  h->setValue(m_leftCol);
  m_settingBars = wasSetting;
}

void TSortGridView::GridChanged() {
  m_colWidths.resize(m_grid->ColCount(), m_defaultColWidth);
  if (int(m_rowHeights.size()) > m_grid->RowCount()) m_rowHeights.resize(m_grid->RowCount());
  m_topRow = std::clamp(m_topRow, m_grid->FixedRows(), Rows().LastFirst());
  m_leftCol = std::clamp(m_leftCol, m_grid->FixedCols(), Cols().LastFirst());
  UpdateScrollBars();
  viewport()->update();
}

void TSortGridView::ScrollToCurrent() {
  m_leftCol = Cols().Reveal(m_grid->Col());
  const int top = std::min(m_grid->Row() - 1, m_grid->RowCount() - VisibleRowCount());
  m_topRow = std::clamp(top, m_grid->FixedRows(), Rows().LastFirst());
  UpdateScrollBars();
  viewport()->update();
}

void TSortGridView::ScrollIntoView() {
  m_leftCol = Cols().Reveal(m_grid->Col());
  m_topRow = Rows().Reveal(m_grid->Row());
  UpdateScrollBars();
  viewport()->update();
}

void TSortGridView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  GridChanged();
}

void TSortGridView::scrollContentsBy(int, int) {
  if (m_settingBars) return;
  m_topRow = verticalScrollBar()->value();
  m_leftCol = horizontalScrollBar()->value();
  if (m_editor) HideEditor(true);
  viewport()->update();
}

void TSortGridView::AutoSizeColumn(int col) {
  if (col < 0 || col >= m_grid->ColCount()) return;
  const QFontMetrics metrics(font());
  // Shaping a text is what costs: a column of 100,000 paths takes a second. Shaped, a text is
  // no wider than its characters' advances side by side, rounded (this font's kerning only
  // narrows), so only texts whose bound beats the widest so far are shaped, widest bound first,
  // each text once. Characters other than ASCII give no bound.
  const QFontMetricsF unshaped(font());
  std::array<double, 128> advance{};
  for (int c = 32; c < 127; ++c) advance[std::size_t(c)] = unshaped.horizontalAdvance(QChar(c));
  std::vector<std::pair<double, int>> bounds;  // bound, row
  for (int r = 0; r < m_grid->RowCount(); ++r) {
    const std::string text = m_grid->Cells(col, r);
    if (text.empty()) continue;
    // Rounded to the nearest pixel, with room for the sum's own rounding.
    double bound = 0.5 + 1.0 / 64;
    for (const char c : text) {
      const auto u = static_cast<unsigned char>(c);
      if (u < 32 || u >= 127) {
        bound = std::numeric_limits<double>::infinity();
        break;
      }
      bound += advance[u];
    }
    bounds.emplace_back(bound, r);
  }
  std::sort(bounds.begin(), bounds.end(), std::greater<>());
  int widest = -1;
  std::unordered_set<std::string> shaped;
  for (const auto& [bound, row] : bounds) {
    if (std::floor(bound) <= widest) break;
    std::string text = m_grid->Cells(col, row);
    if (!shaped.insert(text).second) continue;
    widest = std::max(widest, metrics.horizontalAdvance(ToQString(text)));
  }
  if (widest < 0) {
    SetColWidths(col, metrics.horizontalAdvance(QStringLiteral("xx")));
  } else {
    const int arrow = col == m_grid->SortOptions.SortCol ? TSortGridPainter::kArrowSpace : 0;
    SetColWidths(col, widest + arrow + metrics.horizontalAdvance(QLatin1Char('X')));
  }
}

void TSortGridView::AutoSizeColumns() {
  for (int c = 0; c < m_grid->ColCount(); ++c) AutoSizeColumn(c);
}

TFormatOptions TSortGridView::DefaultFormat(TGridDrawState state) const {
  const QPalette& p = palette();
  TFormatOptions f;
  if (state.Fixed) {
    f.Brush = p.button();
    f.FontColor = p.buttonText().color();
  } else if (state.Selected) {
    f.Brush = p.highlight();
    f.FontColor = p.highlightedText().color();
  } else {
    f.Brush = p.base();
    f.FontColor = p.text().color();
  }
  f.Font = font();
  f.AlignmentHorz = AlignmentHorz;
  f.AlignmentVert = AlignmentVert;
  f.Bevel = BevelStyle;
  const QColor light = p.light().color(), shadow = p.dark().color(), window = p.base().color();
  f.HighlightColor = BevelStyle == cbRaised ? light : BevelStyle == cbLowered ? shadow : window;
  f.ShadowColor = BevelStyle == cbRaised ? shadow : BevelStyle == cbLowered ? light : window;
  return f;
}

void TSortGridView::PaintCell(QPainter& painter, int col, int row, const QRect& rect) {
  TGridDrawState state;
  state.Fixed = col < m_grid->FixedCols() || row < m_grid->FixedRows();
  const bool current = col == m_grid->Col() && row == m_grid->Row();
  state.Selected = !state.Fixed && (current || (MultiSelect && m_grid->IsMarked(row)));
  state.Focused = current && hasFocus();
  TFormatOptions format = DefaultFormat(state);
  if (OnGetCellFormat) OnGetCellFormat(this, col, row, state, format);
  TSortGridPainter::TCell cell;
  cell.Rect = rect;
  cell.Text = ToQString(m_grid->Cells(col, row));
  cell.Header = row == 0;
  cell.SortColumn = row == 0 && col == m_grid->SortOptions.SortCol;
  cell.Direction = m_grid->SortOptions.SortDirection;
  cell.VertEdges = !state.Fixed && (Options & goFixedVertLine);
  cell.HorzEdges = !state.Fixed && (Options & goFixedHorzLine);
  TSortGridPainter::Paint(painter, cell, format);
  if (state.Focused) {
    painter.setPen(QPen(format.FontColor, 1, Qt::DotLine));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
}

void TSortGridView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QPalette& p = palette();
  painter.fillRect(viewport()->rect(), p.base());
  const int fixedCols = m_grid->FixedCols(), fixedRows = m_grid->FixedRows();
  const auto cols = Cols().OnScreen(), rows = Rows().OnScreen();
  for (const auto& [r, y] : rows) {
    for (const auto& [c, x] : cols) {
      const QRect rect(x, y, ColWidths(c), RowHeights(r));
      PaintCell(painter, c, r, rect);
      const bool fixed = c < fixedCols || r < fixedRows;
      const QColor line = fixed ? p.dark().color() : p.mid().color();
      if (Options & (fixed ? goFixedVertLine : goVertLine)) {
        painter.fillRect(x + rect.width(), y, kLine, rect.height() + kLine, line);
      }
      if (Options & (fixed ? goFixedHorzLine : goHorzLine)) {
        painter.fillRect(x, y + rect.height(), rect.width() + kLine, kLine, line);
      }
    }
  }
}
