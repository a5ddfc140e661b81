// The disc and song selectors: opened from the titles, picked by mouse or Enter, closed by
// Escape, a click on their header or the auto-close timer.
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

#include "CaseInsensitive.h"
#include "Form1.h"
#include "ListText.h"
#include "RunLabel.h"
#include "XaudioPlayer.h"

namespace {

// The highlighted entry; -1 when none is.
int Highlighted(const QListWidget* list) {
  const QListWidgetItem* item = list->currentItem();
  return item && item->isSelected() ? list->row(item) : -1;
}

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

bool TForm1::IsSelectorControl(QObject* watched) const {
  return watched == CDList || watched == SongList || watched == CDList->viewport() ||
         watched == SongList->viewport() || watched == PanelSELDisc || watched == PanelSELsong ||
         watched == imgMiniCD || watched == imgMiniSong;
}

bool TForm1::SelectorEvent(QObject* watched, QEvent* event) {
  const bool discList = watched == CDList || watched == CDList->viewport();
  const bool songList = watched == SongList || watched == SongList->viewport();
  switch (event->type()) {
    case QEvent::MouseMove:
      if (discList || songList) CDListMouseMove();
      break;
    case QEvent::MouseButtonRelease:
      if (discList) {
        CDListMouseUp();
      } else if (songList) {
        SongListMouseUp();
      } else {
        PanelSELDiscClick();
      }
      break;
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->isAutoRepeat()) break;
      if (watched == CDList) CDListKeyUp(key->key());
      if (watched == SongList) SongListKeyUp(key->key());
      break;
    }
    default:
      break;
  }
  return false;
}

void TForm1::OpenSelector(QListWidget* list, const std::string& caption, bool upperCase,
                          const char* page) {
  if ((Session.Shuffle && Session.Album) || list->count() == 0) return;
  int i = 0;
  for (; i < list->count(); ++i) {
    const std::string entry = ListText(list, i);
    if ((upperCase ? platform::AsciiUpper(entry) : entry) == caption) break;
  }
  list->clearSelection();
  if (i < list->count()) {
    list->setCurrentRow(i);
  } else {
    list->setCurrentItem(nullptr);
  }
  ShowPage(page);
  TimerSelector->start();
  list->setFocus();
}

void TForm1::CDlblMouseUp() { OpenSelector(CDList, CDlbl->Caption(), true, "pagedisc"); }

void TForm1::SonglblMouseUp() { OpenSelector(SongList, Songlbl->Caption(), false, "pagesong"); }

void TForm1::CloseSelector() {
  TimerSelector->stop();
  ShowPage("Page0");
}

// A pick with nothing highlighted does nothing; the selector stays open until it closes.
void TForm1::CDSelect() {
  const int index = Highlighted(CDList);
  if (index < 0) return;
  CloseSelector();
  Session.SelectDisc(index + 1);
  AggiornaMicroWindow();
}

void TForm1::SongSelect() {
  const int index = Highlighted(SongList);
  if (index < 0) return;
  CloseSelector();
  Session.SelectSong(index);
  AggiornaMicroWindow();
}

void TForm1::CDListMouseUp() { CDSelect(); }

void TForm1::SongListMouseUp() { SongSelect(); }

void TForm1::CDListKeyUp(int key) {
  TimerSelector->start();
  if (IsEnter(key)) CDSelect();
  if (key == Qt::Key_Escape) CloseSelector();
}

void TForm1::SongListKeyUp(int key) {
  TimerSelector->start();
  if (IsEnter(key)) SongSelect();
  if (key == Qt::Key_Escape) CloseSelector();
}

void TForm1::CDListMouseMove() { TimerSelector->start(); }

void TForm1::PanelSELDiscClick() { CloseSelector(); }

void TForm1::TimerSelectorTimer() { CloseSelector(); }
