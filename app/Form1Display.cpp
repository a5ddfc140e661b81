// Display pages and window modes: the page buttons, the micro window, dragging the window
// by its background and the micro-window handles, and the close buttons.
#include <QCoreApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QStackedWidget>
#include <QWindow>
#include <algorithm>

#include "CaseInsensitive.h"
#include "CoolButton.h"
#include "Form1.h"
#include "QtText.h"
#include "RunLabel.h"
#include "WPopupMenu.h"

void TForm1::ShowPage(const std::string& name) {
  for (int i = 0; i < Display->count(); ++i) {
    QWidget* page = Display->widget(i);
    if (platform::EqualsIgnoringCase(page->objectName().toStdString(), name)) {
      Display->setCurrentWidget(page);
      return;
    }
  }
}

std::string TForm1::CurrentPage() const {
  return Display->currentWidget()->objectName().toStdString();
}

void TForm1::modeplaybtnClick() { ShowPage("Page0"); }

void TForm1::modeimagebtnClick() {
  ShowPage("page1");
  if (!Session.AlbumLoaded()) return;
  CaricaIMG(Session.SongFolder(Session.CurrentRow));
  QCoreApplication::processEvents();
}

void TForm1::modeequbtnClick() { ShowPage("page2"); }

void TForm1::DisplayPageChanged() { Display->setFocus(); }

bool TForm1::MicroMode() const { return !MicroPanel->isHidden(); }

// The window keeps its top-left corner and the page it showed.
void TForm1::Microview1Click() {
  if (MicroMode()) {
    setFixedSize(196, 170);
  } else {
    setFixedSize(209, 38);
  }
  MicroPanel->setHidden(MicroMode());
  MicroPanel->raise();
}

namespace {

// The label's font, narrowed step by step until text fits in room; as it was when it fits.
void SetFittedText(QLabel* label, const QString& text, int room) {
  QFont font = label->font();
  font.setStretch(QFont::AnyStretch);
  for (int stretch = 96; stretch >= 60 && QFontMetrics(font).horizontalAdvance(text) > room;
       stretch -= 4)
    font.setStretch(stretch);
  if (font != label->font()) label->setFont(font);
  label->setText(text);
}

}  // namespace

// The remaining time's minus sign makes "-00:23" in bold 24 px wider than the room inside
// the display's frame; it is narrowed rather than cut.
void TForm1::ShowTime(const QString& text) {
  const int frame = Page0->frameWidth();
  SetFittedText(CurrTime, text, CurrTime->width() - std::max(0, frame - CurrTime->x()));
  SetFittedText(lblDisplay2, text, lblDisplay2->width());
}

void TForm1::AggiornaMicroWindow() {
  MicroCD->setText(ToQString(CDlbl->Caption()));
  MicroCD->setToolTip(PlainToolTip(ToQString("DISC " + CDlbl->Caption())));
  MicroSong->setText(ToQString(Songlbl->Caption()));
  MicroSong->setToolTip(PlainToolTip(ToQString("SONG " + Songlbl->Caption())));
}

// With "AutoScroll CD title" on, the disc title crosses the label again as soon as it has
// left it; resting titles stay where they came to rest.
void TForm1::CDlblEnd() {
  if (CDlbl->RunMode() == rmNormal) RestartRun(CDlbl);
}

void TForm1::ConnectDragHandle(QWidget* handle) { handle->installEventFilter(this); }

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (IsSelectorControl(watched)) return SelectorEvent(watched, event);
  // The micro window's titles keep their hints without showing them.
  if (event->type() == QEvent::ToolTip && (watched == MicroCD || watched == MicroSong)) return true;
  const bool press = event->type() == QEvent::MouseButtonPress;
  const bool move = event->type() == QEvent::MouseMove;
  const bool release = event->type() == QEvent::MouseButtonRelease;
  const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
  if (!press && !move && !release && !doubleClick) return QWidget::eventFilter(watched, event);
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint at = mouse->position().toPoint();
  if (press) SfondoMouseDown(at.x(), at.y());
  // Wayland lets no program place its own window: the compositor moves it instead.
  if (press && mouse->button() == Qt::LeftButton &&
      QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && windowHandle())
    windowHandle()->startSystemMove();
  if (move) SfondoMouseMove(mouse->buttons() & Qt::LeftButton, at.x(), at.y());
  if (release) SfondoMouseUp(mouse->button() == Qt::RightButton, at.x(), at.y());
  // A double click on the time label only toggles the time twice.
  if (doubleClick && mouse->button() == Qt::LeftButton && watched != lblDisplay2) {
    Microview1Click();
    return true;
  }
  return false;
}

void TForm1::SfondoMouseDown(int x, int y) {
  dragX_ = x;
  dragY_ = y;
}

void TForm1::SfondoMouseMove(bool leftHeld, int x, int y) {
  if (leftHeld) move(pos() + QPoint(x - dragX_, y - dragY_));
}

// The area the window is kept in: the available part of the screen the window is on (the
// desktop without its panels), so that a dropped window never ends under a panel or on a
// monitor that is not there.
QRect TForm1::DragBounds() const {
  const QScreen* where = screen();
  return where ? where->availableGeometry() : QRect(pos(), size());
}

void TForm1::SfondoMouseUp(bool rightButton, int x, int y) {
  const QRect bounds = DragBounds();
  int left = this->x();
  int top = this->y();
  // Right and bottom last: a window larger than the screen ends at its right or bottom edge.
  if (left < bounds.left()) left = bounds.left();
  if (top < bounds.top()) top = bounds.top();
  if (left > bounds.x() + bounds.width() - width()) left = bounds.x() + bounds.width() - width();
  if (top > bounds.y() + bounds.height() - height()) top = bounds.y() + bounds.height() - height();
  move(left, top);
  if (rightButton && MicroMode()) menubtnMouseUp(x, y);
}

// Closing a window hidden to the tray does not end the program as closing the last shown
// window does; the program ends all the same.
void TForm1::closebtnClick() {
  const bool hidden = !isVisible();
  if (close() && hidden && QGuiApplication::quitOnLastWindowClosed()) QCoreApplication::exit(0);
}

void TForm1::menubtnMouseUp(int x, int y) {
  MAINmenu2->popup(QPoint(this->x() + x + menubtn->x(), this->y() + y + menubtn->y()));
}
