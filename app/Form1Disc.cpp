// The loaded disc (its song list, title and picture) and song (its title) as the window
// shows them, and the disc pictures.
#include <QListWidget>

#include "FEJpeg.h"
#include "Form1.h"
#include "ListText.h"
#include "RunLabel.h"
#include "TrackTags.h"

void TForm1::RestartRun(TRunLabel* label) {
  label->StopRun(true);
  label->StartRun(0, 0);
}

void TForm1::DiscTitleChanged(bool songListFollows) {
  CDlbl->SetCaption(Session.DiscTitle());
  if (songListFollows) Songlbl->SetCaption("LOADING DISC...");
  RestartRun(CDlbl);
  // Shuffled across discs, the song list stays as it is; the picture follows the title.
  if (!songListFollows && CurrentPage() == "page1")
    CaricaIMG(Session.SongFolder(Session.CurrentRow));
}

void TForm1::CaricaCD(int disc) {
  SongList->clear();
  const TSortGrid& table = Session.TAB;
  for (int r = Session.FirstRowOf(disc); r < table.RowCount() && Session.DiscOf(r) == disc; ++r)
    AddListText(SongList, table.Cells(3, r));
  AggiornaMicroWindow();
  if (CurrentPage() == "page1") CaricaIMG(Session.SongFolder(Session.CurrentRow));
}

void TForm1::CaricaSong() {
  const std::string& title = Session.TAB.Cells(3, Session.SongRow());
  if (Session.SongRow() > 0 && Songlbl->Caption() != title) {
    Songlbl->SetCaption(title);
    RestartRun(Songlbl);
  }
  AggiornaMicroWindow();
}

void TForm1::CaricaIMG(const std::string& folder) {
  // Any failure leaves the picture shown before.
  try {
    std::string picture = Session.DiscPicture(folder);
    if (picture.empty() && LoadEmbeddedCover(folder)) return;
    if (picture.empty()) picture = DefaultPicture();
    CDImage->LoadFromFile(picture);
  } catch (const std::exception&) {
  }
}

bool TForm1::LoadEmbeddedCover(const std::string& folder) {
  auto [song, cover] = TTrackTags::FolderCover(folder);
  if (cover.empty()) return false;
  try {
    CDImage->LoadFromData(std::move(cover), song);
    return true;
  } catch (const std::exception&) {
    return false;  // a broken picture gives way to the skin's default one
  }
}
