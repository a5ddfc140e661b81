// Loading a disc (its song list, title and picture) and a song (opened in the decoder, its
// title shown), and the lazy song titles.
#include <QCoreApplication>
#include <QListWidget>

#include "CaseInsensitive.h"
#include "FEJpeg.h"
#include "Form1.h"
#include "ID3v2Tag.h"
#include "ListText.h"
#include "RunLabel.h"
#include "SongTitle.h"
#include "XaudioPlayer.h"

void TForm1::RestartRun(TRunLabel* label) {
  label->StopRun(true);
  label->StartRun(0, 0);
}

void TForm1::CaricaCD(int disc) {
  if (disc < 1 || disc > CDList->count()) return;
  const TLoadGuard guard(loading_);
  const std::string entry = platform::AsciiUpper(ListText(CDList, disc - 1));
  // The disc already loaded goes on playing; another one stops it first.
  if (CDlbl->Caption() != entry) {
    XAudio->Stop();
    CDlbl->SetCaption(entry);
    Songlbl->SetCaption("LOADING DISC...");
    RestartRun(CDlbl);
    QCoreApplication::processEvents();
  }
  SongList->clear();
  int r = FirstRowOf(disc);
  // The events handled above may have unloaded the album meanwhile.
  if (r >= TAB.RowCount()) return;
  CurrentRow = r;
  for (; r < TAB.RowCount() && DiscOf(r) == disc; ++r) {
    if (TAB.Cells(3, r).empty()) CaricaTitolo(r);
    AddListText(SongList, TAB.Cells(3, r));
  }
  AggiornaMicroWindow();
  if (CurrentPage() == "page1") CaricaIMG(SongFolder(CurrentRow));
}

void TForm1::CaricaSong(int row) {
  const std::string path = SongPath(row);
  if (path.empty()) return;
  ClearTime();
  XAudio->InputOpen(path);
  if (TAB.Cells(3, row).empty()) CaricaTitolo(row);
  if (Songlbl->Caption() != TAB.Cells(3, row)) {
    Songlbl->SetCaption(TAB.Cells(3, row));
    RestartRun(Songlbl);
  }
  AggiornaMicroWindow();
  emit SongChanged();
}

void TForm1::CaricaTitolo(int row) {
  TAB.SetCells(3, row, SongTitle(MP3Tag, SourceRoot() + TAB.Cells(2, row), TAB.Cells(1, row)));
}

std::string TForm1::DiscPicture(const std::string& folder) {
  for (const char* mask : {"*.jpg", "*.bmp"}) {
    IMGfiles.Mask = mask;
    IMGfiles.SetDirectory(folder);
    if (!IMGfiles.Items().empty()) return folder + IMGfiles.Items().front();
  }
  return {};
}

void TForm1::CaricaIMG(const std::string& folder) {
  // Any failure leaves the picture shown before.
  try {
    std::string picture = DiscPicture(folder);
    if (picture.empty() && LoadEmbeddedCover(folder)) return;
    if (picture.empty()) picture = DefaultPicture();
    CDImage->LoadFromFile(picture);
  } catch (const std::exception&) {
  }
}

bool TForm1::LoadEmbeddedCover(const std::string& folder) {
  IMGfiles.Mask = "*.mp3";
  IMGfiles.SetDirectory(folder);
  if (IMGfiles.Items().empty()) return false;
  const std::string song = folder + IMGfiles.Items().front();
  TID3v2Tag tag(song);
  if (tag.Cover().empty()) return false;
  try {
    CDImage->LoadFromData(tag.TakeCover(), song);
    return true;
  } catch (const std::exception&) {
    return false;  // a broken picture gives way to the skin's default one
  }
}
