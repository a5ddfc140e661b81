#include "Form1.h"

std::string TForm1::CurrentSongPath() const {
  return Scanner.SourceRoot + TAB.Cells(2, CurrentRow);
}
