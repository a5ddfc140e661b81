// The order of the album table's rows for the play modes.
#include "Form1.h"
#include "XaudioPlayer.h"

// Album order: discs ascending, tracks ascending within each disc; the current song stays
// current and is not reloaded.
void TForm1::ShuffleControl() {
  if (!AlbumLoaded()) return;
  const int disc = DiscOf(CurrentRow);
  const std::string track = TAB.Cells(1, CurrentRow);
  TAB.SortByColumn(1);
  TAB.SortByColumn(0);
  CaricaCD(disc);
  while (CurrentRow + 1 < TAB.RowCount() && DiscOf(CurrentRow + 1) == disc &&
         TAB.Cells(1, CurrentRow) != track)
    ++CurrentRow;
  if (!Playing && AutoStart) XAudio->Play();
}
