// Transport: Play/Restart and Pause/Stop, the time-direction switch, and the wiring of the
// buttons, time labels and bars to this window.
#include <QLabel>

#include "ClickWatcher.h"
#include "CoolButton.h"
#include "Form1.h"
#include "GradProgress.h"

void TForm1::ConnectTransport() {
  for (TCoolButton* button : {Playbtn, btnPlay2})
    button->OnClick = [this](QObject*) { PlaybtnClick(); };
  for (TCoolButton* button : {Stopbtn, btnStop2})
    button->OnClick = [this](QObject*) { StopbtnClick(); };
  for (QLabel* label : {CurrTime, lblDisplay2})
    (new TClickWatcher(label))->OnClick = [this](QObject*) { CurrTimeClick(); };

  PosBar->OnMouseDown = [this](QObject*, TMouseButton button, TShiftState shift, int x, int y) {
    PosBarMouseDown(button, shift, x, y);
  };
  PosBar->OnMouseMove = [this](QObject*, TShiftState shift, int x, int y) {
    PosBarMouseMove(shift, x, y);
  };
  VolBar->OnMouseDown = [this](QObject*, TMouseButton button, TShiftState shift, int x, int y) {
    VolBarMouseDown(button, shift, x, y);
  };
  VolBar->OnMouseMove = [this](QObject*, TShiftState shift, int x, int y) {
    VolBarMouseMove(shift, x, y);
  };

  ConnectSession();
}

void TForm1::PlaybtnClick() { Session.PlayOrRestart(); }

void TForm1::StopbtnClick() { Session.PauseOrStop(); }

void TForm1::ClearTime() {
  CurrTime->setText(QStringLiteral("00:00"));
  lblDisplay2->setText(QStringLiteral("00:00"));
  PosBar->SetPosition(0);
}

void TForm1::CurrTimeClick() { ReverseTime = !ReverseTime; }
