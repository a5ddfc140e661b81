// Paints one cell of the sort grid's view by its format record: the brush, the 3-D edge,
// the text placed by the alignments, and in the header row the cut texts and the sort
// column's arrow.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include "SortComparer.h"
#include "SortGridFormat.h"

class QFontMetrics;
class QPainter;

class TSortGridPainter {
 public:
  // The room the sort column's header keeps for its arrow.
  static constexpr int kArrowSpace = 12;

  struct TCell {
    QRect Rect;
    QString Text;
    bool Header = false;      // row 0
    bool SortColumn = false;  // the header cell of SortCol
    TSortDirection Direction = sdAscending;
    bool VertEdges = false;  // the bevel's left and right edges
    bool HorzEdges = false;  // the bevel's top and bottom edges
  };

  static void Paint(QPainter& painter, const TCell& cell, const TFormatOptions& format);

  // text cut to fit width, ending in two full stops and keeping at least three characters.
  static QString CutText(const QString& text, const QFontMetrics& metrics, int width);
  // The top-left corner of a text of the given size in rect.
  static QPoint TextPlace(const QRect& rect, QSize text, TAlignment horz, TAlignmentVert vert);
  // The 8 x 7 arrow of the sort column's header: "UP" ascending, "DOWN" descending.
  static const QImage& Arrow(TSortDirection direction);
};
