// The equalizer page: eight band sliders dragged with the mouse, the enable switch and its
// label, "Zero", and the record that carries the bands to the engine.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <algorithm>
#include <iterator>

#include "EventHook.h"
#include "ExtProgressBar.h"
#include "Form1.h"
#include "XaudioPlayer.h"

namespace {

// The first of the engine's 32 bands under each slider; the groups widen towards the treble
// (1, 1, 2, 2, 2, 6, 6 and 12 bands).
constexpr std::array<int, 9> kFirstBand{0, 1, 2, 4, 6, 8, 14, 20, 32};

}  // namespace

void TForm1::ConnectEqualizer() {
  for (int i = 0; i < 8; ++i) {
    const int band = i + 1;
    TrackBar[i]->OnMouseMove = [this, band](QObject*, TShiftState shift, int, int y) {
      TrackBarMouseMove(band, shift, y);
    };
    TrackBar[i]->OnMouseUp = [this, band](QObject*, TMouseButton button, TShiftState, int, int y) {
      TrackBarMouseUp(band, button, y);
    };
  }
  connect(Zerobtn, &QPushButton::clicked, this, &TForm1::ZerobtnClick);
  TEventHook::Attach(AbilitaEQU, {QEvent::MouseButtonRelease},
                     [this](QEvent*) { AbilitaEQUMouseUp(); });
  TEventHook::Attach(EQUlbl, {QEvent::MouseButtonRelease}, [this](QEvent*) { EQUlblMouseUp(); });
  EQUlbl->setCursor(Qt::PointingHandCursor);
  CreatePresetMenus();
}

void TForm1::TrackBarMouseMove(int band, TShiftState shift, int y) {
  if (shift & ssLeft) MuoviEQU(band, y);
}

// The right or middle button puts the band back to 0.
void TForm1::TrackBarMouseUp(int band, TMouseButton button, int y) {
  MuoviEQU(band, button == mbLeft ? y : 40);
}

// One unit a pixel, unscaled: rows below 80 and points dragged outside the slider are
// taken as the nearest bound by the slider itself.
void TForm1::MuoviEQU(int band, int y) {
  if (band >= 1 && band <= 8) TrackBar[band - 1]->SetPosition(40 - y);
  UpdateEqualizer();
}

XA_EqualizerInfo TForm1::EqualizerRecord() const {
  XA_EqualizerInfo record{};
  for (int slider = 0; slider < 8; ++slider) {
    const auto value = static_cast<signed char>(TrackBar[slider]->Position());
    for (int band = kFirstBand[slider]; band < kFirstBand[slider + 1]; ++band)
      record.left[band] = value;
  }
  std::copy(std::begin(record.left), std::end(record.left), std::begin(record.right));
  return record;
}

void TForm1::UpdateEqualizer() {
  for (TExtProgressBar* slider : TrackBar)
    slider->setToolTip(QString::number(slider->Position()) + QLatin1Char('%'));
  if (!AbilitaEQU->isChecked()) {
    XAudio->SetCodecEqualizer(nullptr);
    return;
  }
  const XA_EqualizerInfo record = EqualizerRecord();
  XAudio->SetCodecEqualizer(&record);
  XAudio->GetCodecEqualizer();
}

void TForm1::ZerobtnClick() {
  for (TExtProgressBar* slider : TrackBar) slider->SetPosition(0);
  UpdateEqualizer();
  Display->setFocus();
}

// Runs after the box has toggled itself (a left click does that).
void TForm1::AbilitaEQUMouseUp() {
  if (AbilitaEQU->isChecked())
    UpdateEqualizer();
  else
    XAudio->SetCodecEqualizer(nullptr);
  Display->setFocus();
}

void TForm1::EQUlblMouseUp() {
  AbilitaEQU->toggle();
  AbilitaEQUMouseUp();
}
