// Navigation in the album table: the next-song decision at the end of a song, Next and
// Previous Song, Next and Previous Disc. The order of play is the order of the rows.
#include <QCoreApplication>
#include <QListWidget>

#include "CaseInsensitive.h"
#include "Form1.h"
#include "ListText.h"
#include "RunLabel.h"
#include "XaudioPlayer.h"

// The playing flag is read after the move: a disc change lets the engine's report of its
// stop arrive, and then AutoStart alone decides.
void TForm1::MixProssimaCanzone() {
  const int last = TAB.RowCount() - 1;
  const int r = CurrentRow;
  if (!AlbumLoaded() || r < 1 || r > last) return;
  bool wrapped = false;
  if (r < last && TAB.Cells(0, r + 1) == TAB.Cells(0, r)) {
    CurrentRow = r + 1;
  } else if (r < last && Album) {
    CurrentRow = r + 1;
    const int disc = DiscOf(CurrentRow);
    // The next song is due: CaricaCD loads the picture itself, so it is loaded once.
    if (Shuffle) {
      if (CurrentPage() == "page1") CaricaIMG(SongFolder(CurrentRow));
      // Shuffled across discs, the song list stays as it is; only the disc title follows.
      CDlbl->SetCaption(platform::AsciiUpper(ListText(CDList, disc - 1)));
      RestartRun(CDlbl);
    } else {
      CaricaCD(disc);
    }
  } else {
    // The end of the disc, or of the whole table in Album mode: back to its first song,
    // which plays on only in Repeat mode.
    wrapped = true;
    CurrentRow = r < last || !Album ? r : 1;
    CaricaCD(DiscOf(CurrentRow));
  }
  CaricaSong(CurrentRow);
  if ((Playing || AutoStart) && (Repeat || !wrapped) && AlbumLoaded()) XAudio->Play();
}

void TForm1::fwdbtnClick() {
  if (!AlbumLoaded()) return;
  const int r = CurrentRow;
  const bool hasNext =
      r < TAB.RowCount() - 1 ? DiscOf(r) == DiscOf(r + 1) || Repeat || Album : Repeat;
  if (!hasNext) return;
  XAudio->Stop();
  MixProssimaCanzone();
}

// Never wraps round, and ignores Repeat mode and the playing flag.
void TForm1::rewbtnClick() {
  const int r = CurrentRow;
  if (!AlbumLoaded() || r <= 1 || r >= TAB.RowCount()) return;
  const bool sameDisc = TAB.Cells(0, r - 1) == TAB.Cells(0, r);
  if (!Album && !sameDisc) return;
  XAudio->Stop();
  CurrentRow = r - 1;
  if (!sameDisc) {
    CaricaCD(DiscOf(r - 1));
    // Loading the disc may have let the album be unloaded meanwhile.
    if (!AlbumLoaded() || r - 1 >= TAB.RowCount()) return;
    CurrentRow = r - 1;
  }
  CaricaSong(CurrentRow);
  if (AutoStart) XAudio->Play();
}

void TForm1::btnfwd2Click() { GoToDisc(+1); }

void TForm1::btnrew2Click() { GoToDisc(-1); }

// The discs of a table shuffled across discs have no first songs to go to.
void TForm1::GoToDisc(int step) {
  if (!AlbumLoaded() || (Album && Shuffle)) return;
  const int disc = DiscOf(CurrentRow) + step;
  if (disc < 1 || disc > CDList->count()) return;
  QCoreApplication::processEvents();
  CaricaCD(disc);
  if (!AlbumLoaded()) return;
  CaricaSong(CurrentRow);
  if (Playing || AutoStart) XAudio->Play();
}
