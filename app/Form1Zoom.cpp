// The whole-number zoom of the window: the "Zoom" choice of the main menu. main() applies the
// setting before any window exists; a choice in the menu applies at once, the music playing on.
#include <QActionGroup>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <string>

#include "Form1.h"
#include "WPopupMenu.h"
#include "WindowZoom.h"

void TForm1::CreateZoomMenu() {
  ZoomMenu = MAINmenu2->addMenu(QStringLiteral("Zoom"));
  auto* choices = new QActionGroup(ZoomMenu);
  for (int zoom = TWindowZoom::kMin; zoom <= TWindowZoom::kMax; ++zoom) {
    QAction* choice = ZoomMenu->addAction(QStringLiteral("%1x").arg(zoom));
    choice->setCheckable(true);
    choice->setData(zoom);
    choices->addAction(choice);
    connect(choice, &QAction::triggered, this, [this, zoom] { ZoomClick(zoom); });
  }
  ShowZoom();
}

void TForm1::ShowZoom() {
  for (QAction* choice : ZoomMenu->actions()) choice->setChecked(choice->data().toInt() == Zoom);
}

void TForm1::ZoomClick(int zoom) {
  Zoom = std::clamp(zoom, TWindowZoom::kMin, TWindowZoom::kMax);
  ShowZoom();
  // Once the menu that chose it has closed.
  QTimer::singleShot(0, this, &TForm1::ApplyZoom);
}

void TForm1::ApplyZoom() {
  if (Zoom == WindowZoom) return;
  if (!TWindowZoom::Change(ScreenZoom * Zoom)) {
    ShowMessage("Sonavera is drawn at zoom " + std::to_string(Zoom) + "x from its next start.");
    return;
  }
  WindowZoom = Zoom;
  // A disc's picture is decoded for the pixels it covers: again, for the new ones.
  if (CurrentPage() == "page1" && Session.AlbumLoaded())
    CaricaIMG(Session.SongFolder(Session.CurrentRow));
}
