// Start-up and shutdown of the main window.
#include <QCloseEvent>
#include <QTimer>

#include "Form1.h"
#include "GradProgress.h"
#include "RunLabel.h"
#include "XaudioPlayer.h"

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (firstShowDone_) return;
  FormShow();
  // The first activation follows the first show once the window is up.
  QTimer::singleShot(0, this, &TForm1::FormActivate);
}

void TForm1::FormShow() {
  firstShowDone_ = true;
  FillDriveLists();
  XAudio->SetCodecQuality(0);
  PosBar->SetPosition(PosBar->MaxValue());
  // Reading the settings ends with the colours of the skin they name.
  LeggiSkinINI(SkinsRoot + SkinName + "/Colors.ini");
  LoadSkin(SkinsRoot + SkinName + "/");
  Assegnacolori();
  VolBar->setToolTip(QStringLiteral("Volume: %1%").arg(VolBar->Position()));
  AutoPTimer->start();
}

void TForm1::FormActivate() {
  if (FirstStart) Inizializza();
}

void TForm1::Inizializza() {
  Songlbl->StartRun(0, 0);
  CDlbl->StartRun(0, 0);
  FirstStart = false;
}

void TForm1::closeEvent(QCloseEvent* event) {
  XAudio->Stop();
  XAudio->Exit();
  event->accept();
}
