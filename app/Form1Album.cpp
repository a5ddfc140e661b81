// Loading and unloading the album: the scan of the source root into the album table and
// the disc list, and the empty "NO CD LOADED" state.
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
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

void TForm1::ConnectAlbum() {
  TSortGridView::UseWaitCursor();
  Session.Scanner.ChosenSource = [this] {
    return Form2 ? Form2->CurrDir->FileName() : std::string();
  };
  // A walk of a whole disk takes seconds: the window goes on repainting, input waits.
  Session.Scanner.OnFolder = [last = std::chrono::steady_clock::time_point()]() mutable {
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

// The source's serial text and device are taken before the scan: the scan lets events run,
// and the two-second check compares them.
void TForm1::LoadAlbum(bool reopen) {
  SerialNumber = CalcolaSN(platform::Volumes().VolumeRoot(Session.SourceRoot()));
  sourceDevice_ = SourceDevice(Session.SourceRoot());
  Session.LoadAlbum(FirstStart || reopen);
}

void TForm1::ScanStarted() {
  CurrTime->setText(QStringLiteral("Scan"));
  Totlbl->clear();
  PosBar->SetPosition(0);
  SongList->clear();
  CDList->clear();
}

std::string TForm1::CalcolaSN(const std::string& root) const {
  return TAlbumScanner::CalcolaSN(root);
}

void TForm1::ScaricaAlbum() { Session.ScaricaAlbum(); }

void TForm1::AlbumUnloaded() {
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
  // The micro window shows the same empty state.
  AggiornaMicroWindow();
  try {
    CDImage->LoadFromFile(DefaultPicture());
  } catch (const std::exception&) {
  }
}

std::string TForm1::DefaultPicture() const {
  const std::string folder = FindIgnoringCase(SkinFolderOf(SkinName));
  return InSkinsRoots(folder) ? FindIgnoringCase(folder + "IMG-default.bmp") : std::string();
}
