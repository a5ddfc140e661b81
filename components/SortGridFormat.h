// What the sort grid's view draws a cell with: its draw state and the format record an
// OnGetCellFormat handler may change before the cell is painted.
#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <string>

#include "Runner.h"

// Horizontal placement is the same TAlignment as the running labels use.
enum TAlignmentVert { taTopJustify, taBottomJustify, taMiddle };
enum TCellBevelStyle { cbNone, cbRaised, cbLowered };

struct TGridDrawState {
  bool Selected = false;
  bool Focused = false;
  bool Fixed = false;
};

struct TFormatOptions {
  QBrush Brush;
  QFont Font;
  QColor FontColor;
  TAlignment AlignmentHorz = taLeftJustify;
  TAlignmentVert AlignmentVert = taTopJustify;
  TCellBevelStyle Bevel = cbNone;
  QColor HighlightColor;
  QColor ShadowColor;
  bool HideText = false;
};

// Stored for callers that print; the grid itself does not print.
struct TPrintOptions {
  std::string JobTitle;
  std::string PageTitle;
  int Copies = 0;
  int FromRow = 0;
  int ToRow = 0;
  int PreviewPage = 0;
};
