// Loading and unloading the album: the scan of the source root into the album table and
// the disc list, and the empty "NO CD LOADED" state.
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <charconv>
#include <chrono>

#include "CoolButton.h"
#include "FEJpeg.h"
#include "FileLabel.h"
#include "Form1.h"
#include "Form2.h"
#include "GradProgress.h"
#include "ListText.h"
#include "RunLabel.h"
#include "SortGridView.h"
#include "SourceCheck.h"
#include "VolumeLayer.h"
#include "WPopupMenu.h"
#include "XaudioPlayer.h"

void TForm1::ConnectAlbum() {
  TSortGridView::UseWaitCursor();
  TAB.SetFixedCols(0);  // the album table has no header column
  TAB.SortOptions.SortStyle = ssNumeric;
  TAB.SortOptions.SortDirection = sdAscending;
  TAB.SortOptions.SortCaseSensitive = false;
  Scanner.ChosenSource = [this] { return Form2 ? Form2->CurrDir->FileName() : std::string(); };
  // A walk of a whole disk takes seconds: the window goes on repainting, input waits.
  Scanner.OnFolder = [last = std::chrono::steady_clock::time_point()]() mutable {
    const auto now = std::chrono::steady_clock::now();
    if (now - last < std::chrono::milliseconds(50)) return;
    last = now;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };

  AutoPTimer = new QTimer(this);
  AutoPTimer->setInterval(2000);
  connect(AutoPTimer, &QTimer::timeout, this, &TForm1::AutoPTimerTimer);
  TimerSelector = new QTimer(this);
  TimerSelector->setInterval(5000);
  connect(TimerSelector, &QTimer::timeout, this, &TForm1::TimerSelectorTimer);

  ejbtn->OnClick = [this](QObject*) { ejbtnClick(); };
  MenuItem7 = new QAction(QStringLiteral("&Open Source..."), MAINmenu2);
  MenuItem7->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
  MAINmenu2->insertAction(SelectSkin1, MenuItem7);
  connect(MenuItem7, &QAction::triggered, this, &TForm1::MenuItem7Click);

  CDlbl->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) { CDlblMouseUp(); };
  Songlbl->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) { SonglblMouseUp(); };
  for (QListWidget* list : {CDList, SongList}) {
    list->viewport()->setMouseTracking(true);
    list->viewport()->installEventFilter(this);
    list->installEventFilter(this);
  }
  for (QLabel* label : {PanelSELDisc, PanelSELsong, imgMiniCD, imgMiniSong}) {
    label->installEventFilter(this);
    label->setCursor(Qt::PointingHandCursor);
  }
  for (TRunLabel* label : {CDlbl, Songlbl}) label->setCursor(Qt::PointingHandCursor);
}

std::string TForm1::SongPath(int row) const {
  if (row < 1 || row >= TAB.RowCount() || TAB.Cells(2, row).empty()) return {};
  return SourceRoot() + TAB.Cells(2, row);
}

std::string TForm1::CurrentSongName() const {
  return CurrentRow >= 1 && CurrentRow < TAB.RowCount() ? TAB.Cells(2, CurrentRow) : std::string();
}

std::string TForm1::SongFolder(int row) const {
  const std::string& relative = TAB.Cells(2, row);
  return SourceRoot() + relative.substr(0, relative.rfind('/') + 1);
}

int TForm1::DiscOf(int row) const {
  const std::string& cell = TAB.Cells(0, row);
  int disc = 0;
  const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), disc);
  return error == std::errc() && end == cell.data() + cell.size() ? disc : 0;
}

int TForm1::FirstRowOf(int disc) const {
  int r = 1;
  while (r < TAB.RowCount() && DiscOf(r) != disc) ++r;
  return r;
}

void TForm1::LoadAlbum() {
  const TLoadGuard guard(loading_);
  XAudio->Stop();
  CurrTime->setText(QStringLiteral("Scan"));
  Totlbl->clear();
  PosBar->SetPosition(0);
  TAB.Clear();
  SongList->clear();
  CDList->clear();
  SerialNumber = CalcolaSN(platform::Volumes().VolumeRoot(SourceRoot()));
  sourceDevice_ = SourceDevice(SourceRoot());
  QCoreApplication::processEvents();
  CreaTAB();
  if (!AlbumLoaded()) {
    ScaricaAlbum();
    return;
  }
  // The first load after start-up reopens the remembered song; a remembered row that holds
  // no song of this table (the source changed meanwhile) starts at the first disc instead.
  if (FirstStart && LastRow >= 1 && LastRow < TAB.RowCount()) {
    CaricaCD(DiscOf(LastRow));
    CaricaSong(LastRow);
    CurrentRow = LastRow;
  } else {
    CaricaCD(1);
    CaricaSong(CurrentRow);
  }
  if (AutoStart) XAudio->Play();
}

void TForm1::CreaTAB() {
  std::vector<std::string> discs;
  Scanner.CreaTAB(discs);
  AddListTexts(CDList, discs);
}

std::string TForm1::CalcolaSN(const std::string& root) const {
  return TAlbumScanner::CalcolaSN(root);
}

void TForm1::ScaricaAlbum() {
  XAudio->Stop();
  XAudio->InputClose();
  SerialNumber = "empty";
  CDlbl->StopRun(true);
  Songlbl->StopRun(true);
  CDlbl->SetCaption("NO CD LOADED");
  Songlbl->SetCaption("NO SONG LOADED");
  CDlbl->StartRun(0, 0);
  Songlbl->StartRun(0, 0);
  ClearTime();
  Totlbl->setText(QStringLiteral("00:00"));
  CDList->clear();
  SongList->clear();
  TAB.Clear();
  CurrentRow = 1;
  // The micro window shows the same empty state.
  AggiornaMicroWindow();
  emit SongChanged();
  try {
    CDImage->LoadFromFile(DefaultPicture());
  } catch (const std::exception&) {
  }
}

std::string TForm1::DefaultPicture() const {
  const std::string folder = FindIgnoringCase(SkinFolderOf(SkinName));
  return InSkinsRoots(folder) ? FindIgnoringCase(folder + "IMG-default.bmp") : std::string();
}
