// Transport: Play/Restart and Pause/Stop, the time-direction switch, and the wiring of the
// buttons, time labels, bars and engine notifications to this window.
#include <QLabel>
#include <functional>

#include "ClickWatcher.h"
#include "CoolButton.h"
#include "Form1.h"
#include "GradProgress.h"
#include "XaudioPlayer.h"

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

  XAudio->OnNotifyPlayerState = std::bind_front(&TForm1::XAudioNotifyPlayerState, this);
  XAudio->OnNotifyInputState = std::bind_front(&TForm1::XAudioNotifyInputState, this);
  XAudio->OnNotifyInputPosition = std::bind_front(&TForm1::XAudioNotifyInputPosition, this);
  XAudio->OnNotifyInputTimecode = std::bind_front(&TForm1::XAudioNotifyInputTimecode, this);
  XAudio->OnNotifyInputDuration = std::bind_front(&TForm1::XAudioNotifyInputDuration, this);
  XAudio->OnNotifyInputStreamInfo = std::bind_front(&TForm1::XAudioNotifyInputStreamInfo, this);
  XAudio->OnNotifyOutputPcmLevel = std::bind_front(&TForm1::XAudioNotifyOutputPcmLevel, this);
  XAudio->OnNotifyCodecQuality = std::bind_front(&TForm1::XAudioNotifyCodecQuality, this);
  XAudio->OnNotifyError = std::bind_front(&TForm1::XAudioNotifyError, this);
  XAudio->OnNotifyDebug = std::bind_front(&TForm1::XAudioNotifyDebug, this);
  XAudio->OnNotifyPlayerEnvironmentString =
      std::bind_front(&TForm1::XAudioNotifyEnvironmentString, this);
}

// The playing flag follows the engine's reports, so a Stop sent here is not seen yet and
// the Play after it restarts the song.
void TForm1::PlaybtnClick() {
  if (!AlbumLoaded()) return;
  if (Playing) XAudio->Stop();
  XAudio->Play();
}

// A first press pauses; a second one, once the engine has reported the pause, stops.
void TForm1::StopbtnClick() {
  if (Playing) {
    XAudio->Pause();
    return;
  }
  XAudio->Stop();
  ClearTime();
}

void TForm1::ClearTime() {
  CurrTime->setText(QStringLiteral("00:00"));
  lblDisplay2->setText(QStringLiteral("00:00"));
  PosBar->SetPosition(0);
}

void TForm1::CurrTimeClick() { ReverseTime = !ReverseTime; }
