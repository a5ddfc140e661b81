// The sort grid view's mouse, keyboard and in-place editor.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>

#include "QtText.h"
#include "SortGridView.h"

namespace {
constexpr int kSizingZone = 3;  // pixels either side of a line that grab it
}

int TSortGridView::SizingLine(const TSortGridAxis& axis, int along, int across, int fixedExtent) {
  if (across < 0 || across >= fixedExtent) return -1;
  for (const auto& [i, start] : axis.OnScreen()) {
    if (std::abs(along - (start + axis.Size(i))) <= kSizingZone) return i;
  }
  return -1;
}

int TSortGridView::SizingColumn(QPoint at) const {
  return SizingLine(Cols(), at.x(), at.y(), Rows().FixedExtent());
}

int TSortGridView::SizingRow(QPoint at) const {
  return SizingLine(Rows(), at.y(), at.x(), Cols().FixedExtent());
}

void TSortGridView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (m_editor) HideEditor(true);
  const QPoint at = event->position().toPoint();
  const bool left = event->button() == Qt::LeftButton;
  int line = -1;
  if (left && (Options & goColSizing) && (line = SizingColumn(at)) >= 0) {
    m_drag = TDrag::SizeColumn;
    m_dragIndex = line, m_dragStart = at.x(), m_dragSize = ColWidths(line);
    return;
  }
  if (left && (Options & goRowSizing) && (line = SizingRow(at)) >= 0) {
    m_drag = TDrag::SizeRow;
    m_dragIndex = line, m_dragStart = at.y(), m_dragSize = RowHeights(line);
    return;
  }
  const QPoint cell = MouseCell(at);
  if (cell.x() < 0 || cell.y() < 0) return;
  if (cell.y() < m_grid->FixedRows()) {
    m_drag = TDrag::Header;
    m_pressCol = cell.x();
    return;
  }
  if (!left || !m_grid->CanSelect(cell.x(), cell.y())) return;
  m_grid->SetCurrentCell(cell.x(), cell.y());
  if (MultiSelect) {
    TRowMarks& marks = m_grid->Marks();
    if (event->modifiers() & Qt::ControlModifier) {
      marks.Toggle(cell.y());
    } else if (event->modifiers() & Qt::ShiftModifier) {
      marks.MarkRangeTo(cell.y());
    } else {
      marks.MarkOnly(cell.y());
    }
  }
  m_drag = TDrag::Marking;
  m_lastMarkRow = cell.y();
  ScrollIntoView();
}

void TSortGridView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  switch (m_drag) {
    case TDrag::SizeColumn:
      SetColWidths(m_dragIndex, m_dragSize + at.x() - m_dragStart);
      return;
    case TDrag::SizeRow:
      SetRowHeights(m_dragIndex, m_dragSize + at.y() - m_dragStart);
      return;
    case TDrag::Marking: {
      const QPoint cell = MouseCell(at);
      if (!m_grid->CanSelect(cell.x(), cell.y()) || cell.y() == m_lastMarkRow) return;
      if (MultiSelect) {
        // Every row passed, also those a fast move jumped over.
        const int step = cell.y() > m_lastMarkRow ? 1 : -1;
        for (int r = m_lastMarkRow; r != cell.y() + step; r += step) m_grid->Marks().Mark(r);
      }
      m_lastMarkRow = cell.y();
      m_grid->SetCurrentCell(cell.x(), cell.y());
      ScrollIntoView();
      return;
    }
    case TDrag::Header:
      return;
    case TDrag::None:
      break;
  }
  const bool sizing = ((Options & goColSizing) && SizingColumn(at) >= 0);
  const bool rowSizing = ((Options & goRowSizing) && SizingRow(at) >= 0);
  viewport()->setCursor(sizing ? Qt::SplitHCursor : rowSizing ? Qt::SplitVCursor : Qt::ArrowCursor);
}

void TSortGridView::mouseReleaseEvent(QMouseEvent* event) {
  const TDrag drag = std::exchange(m_drag, TDrag::None);
  if (drag != TDrag::Header) return;
  const QPoint cell = MouseCell(event->position().toPoint());
  if (cell.y() == 0 && cell.x() == m_pressCol) {
    m_grid->ClickHeader(cell.x(), event->button() == Qt::RightButton);
  } else if ((Options & goColMoving) && cell.x() >= m_grid->FixedCols() &&
             m_pressCol >= m_grid->FixedCols() && cell.x() != m_pressCol) {
    ColumnsMoved(m_pressCol, cell.x());
  }
}

void TSortGridView::ColumnsMoved(int from, int to) {
  const auto f = m_colWidths.begin() + from, t = m_colWidths.begin() + to;
  if (from < to) {
    std::rotate(f, f + 1, t + 1);
  } else {
    std::rotate(t, f, f + 1);
  }
  m_grid->MoveColumn(from, to);
  if (OnColumnWidthsChanged) OnColumnWidthsChanged(this);
}

void TSortGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint cell = MouseCell(event->position().toPoint());
  if (event->button() == Qt::LeftButton && m_grid->CanSelect(cell.x(), cell.y())) {
    m_grid->SetCurrentCell(cell.x(), cell.y());
    ShowEditor();
    return;
  }
  mousePressEvent(event);
}

bool TSortGridView::Navigate(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const int lastRow = m_grid->RowCount() - 1, lastCol = m_grid->ColCount() - 1;
  int col = m_grid->Col(), row = m_grid->Row();
  switch (event->key()) {
    case Qt::Key_Up:
      --row;
      break;
    case Qt::Key_Down:
      ++row;
      break;
    case Qt::Key_Left:
      --col;
      break;
    case Qt::Key_Right:
      ++col;
      break;
    case Qt::Key_PageUp:
      row -= std::max(VisibleRowCount(), 1);
      break;
    case Qt::Key_PageDown:
      row += std::max(VisibleRowCount(), 1);
      break;
    case Qt::Key_Home:
      (ctrl ? row : col) = 0;
      break;
    case Qt::Key_End:
      (ctrl ? row : col) = ctrl ? lastRow : lastCol;
      break;
    default:
      return false;
  }
  row = std::clamp(row, m_grid->FixedRows(), lastRow);
  col = std::clamp(col, m_grid->FixedCols(), lastCol);
  m_grid->SetCurrentCell(col, row);
  if (MultiSelect) {
    if (event->modifiers() & Qt::ShiftModifier) {
      m_grid->Marks().MarkRangeTo(row);
    } else {
      m_grid->Marks().ClearMarks();
      m_navigating = true;
    }
  }
  ScrollIntoView();
  return true;
}

bool TSortGridView::ExtendedKey(QKeyEvent* event) {
  const auto mods =
      event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  const bool insert = event->key() == Qt::Key_Insert, remove = event->key() == Qt::Key_Delete;
  if (!insert && !remove) return false;
  if (mods == Qt::ControlModifier) {
    if (insert) {
      m_grid->InsertRow(m_grid->Row());
    } else if (m_grid->RowCount() > 2) {
      m_grid->DeleteRow(m_grid->Row());
    }
    return true;
  }
  if (mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
    const int col = m_grid->Col();
    if (insert) {
      m_colWidths.insert(m_colWidths.begin() + col, m_defaultColWidth);
      m_grid->InsertColumn(col);
    } else if (m_grid->ColCount() > 1) {
      m_colWidths.erase(m_colWidths.begin() + col);
      m_grid->DeleteColumn(col);
    }
    return true;
  }
  return false;
}

void TSortGridView::keyPressEvent(QKeyEvent* event) {
  if (ExtendedKeys && ExtendedKey(event)) return;
  if (Navigate(event)) return;
  const int key = event->key();
  if ((Options & goEditing) &&
      (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter)) {
    ShowEditor();
    return;
  }
  const QString text = event->text();
  if (text.size() == 1 && text[0].isPrint() &&
      !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    // The first byte of the letter as the cells hold it.
    m_grid->GoToLetter(FromQString(text)[0]);
    viewport()->update();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void TSortGridView::keyReleaseEvent(QKeyEvent* event) {
  if (m_navigating && !event->isAutoRepeat()) {
    m_navigating = false;
    m_grid->Marks().MarkOnly(m_grid->Row());
    viewport()->update();
    return;
  }
  QAbstractScrollArea::keyReleaseEvent(event);
}

void TSortGridView::ShowEditor() {
  const int col = m_grid->Col(), row = m_grid->Row();
  if (!(Options & goEditing) || m_editor || !m_grid->CanSelect(col, row)) return;
  ScrollIntoView();
  m_editCol = col, m_editRow = row;
  m_editor = new QLineEdit(viewport());
  m_editor->setFrame(false);
  m_editor->setText(ToQString(m_grid->Cells(col, row)));
  m_editor->setGeometry(CellRect(col, row));
  m_editor->installEventFilter(this);
  m_editor->show();
  m_editor->setFocus();
  m_editor->selectAll();
}

void TSortGridView::HideEditor(bool store) {
  QLineEdit* editor = std::exchange(m_editor, nullptr);
  if (!editor) return;
  editor->removeEventFilter(this);
  if (store) {
    const std::string text = FromQString(editor->text());
    if (text != m_grid->Cells(m_editCol, m_editRow)) {
      m_grid->SetCells(m_editCol, m_editRow, text);
      m_grid->SetModified(true);
    }
  }
  editor->hide();
  editor->deleteLater();
  setFocus();
  viewport()->update();
}

bool TSortGridView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_editor) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        HideEditor(key != Qt::Key_Escape);
        return true;
      }
    } else if (event->type() == QEvent::FocusOut) {
      HideEditor(true);
    }
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}
