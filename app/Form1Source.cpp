// Choosing the source: the Open Source command, the drive lists, and the two-second check
// that unloads a vanished source and plays a newly inserted CD.
#include <QCoreApplication>
#include <filesystem>

#include "FileLabel.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "RunLabel.h"
#include "SourceCheck.h"
#include "VolumeLayer.h"
#include "XaudioPlayer.h"
#include "phComboBox.h"

void TForm1::FillDriveLists() {
  if (!Form2) return;
  Form2->CDROMs->clear();
  Form2->HardDisks->clear();
  if (Form3) {
    Form3->AutoPlayCD->clear();
    Form3->AutoPlayCD->SetImages(Form2->Images());
    Form3->AutoPlayCD->SetImageIndex(1);
  }
  platform::VolumeLayer& volumes = platform::Volumes();
  for (const std::string& drive : volumes.CdRomDrives()) {
    Form2->CDROMs->AddItem(drive);
    if (Form3) Form3->AutoPlayCD->AddItem(drive);
  }
  for (const std::string& drive : volumes.HardDisks()) Form2->HardDisks->AddItem(drive);
  Form2->CDROMs->SetItemIndex(Form2->CDROMs->count() > 0 ? 0 : -1);
  Form2->HardDisks->SetItemIndex(Form2->HardDisks->count() > 0 ? 0 : -1);
  if (Form3) Form3->AutoPlayCD->SetItemIndex(Form3->AutoPlayCD->count() > 0 ? 0 : -1);
}

void TForm1::OpenSource(const std::string& root, bool reopen) {
  Session.Scanner.SourceRoot = root;
  QCoreApplication::processEvents();
  LoadAlbum(reopen);
  if (Session.AlbumLoaded()) Session.ShuffleControl();
}

bool TForm1::OpenFile(const std::string& path) {
  std::error_code error;
  const bool folder = std::filesystem::is_directory(path, error);
  // A folder is the source itself; a song's folder is everything up to its last "/".
  const std::size_t slash = path.rfind('/');
  const std::string source =
      folder ? (path.ends_with('/') ? path : path + "/") : path.substr(0, slash + 1);
  if (!SourceReadable(source)) return false;
  if (Form2) Form2->CurrDir->SetFileName(source);
  Session.LastSong = folder ? std::string() : path.substr(slash + 1);
  Session.LastRow = 1;
  Session.LastSecond = 0;
  OpenSource(source, true);
  // Asked for by name, the song plays even with AutoStart off.
  if (Session.AlbumLoaded() && !Session.AutoStart) Session.PlayOrRestart();
  return true;
}

void TForm1::ejbtnClick() {
  // The dialog's own event loop must not run in the middle of a load.
  if (!Form2 || Loading()) return;
  const std::string remembered = Form2->CurrDir->FileName();
  if (Form2->exec() == 1) {
    OpenSource(Form2->CurrDir->FileName());
  } else {
    Form2->CurrDir->SetFileName(remembered);
  }
}

void TForm1::AutoPTimerTimer() {
  // Both steps wait while a load lets events run: it is changing the album they look at.
  if (Loading()) return;
  const bool dialogShowing = Form2 && Form2->isVisible();
  if (!dialogShowing && CDlbl->Caption() != "NO CD LOADED" && !SourceStillThere()) ScaricaAlbum();
  if (!AutoPlay || !Form3 || !Form2) return;
  // The drive is a mount point: its name is kept as the file system spells it.
  const std::string drive = Form3->AutoPlayCD->Text();
  if (drive.empty()) return;
  const std::string serial = CalcolaSN(drive);
  if (serial == "0" || Session.Playing || serial == SerialNumber) return;
  const auto guard = Session.HoldLoading();
  AutoPlay = false;
  Session.Scanner.FindDiscFolders(drive);
  // A disc without MP3 folders is walked once and then left alone.
  if (Session.Scanner.TMPlist().empty()) return;
  XAudio->Stop();
  Form2->CurrDir->SetFileName(drive);
  OpenSource(drive);
  AutoPlay = true;
}

bool TForm1::SourceStillThere() {
  return sourceWatch_.StillThere(Session.SourceRoot(), sourceDevice_, SerialNumber);
}
