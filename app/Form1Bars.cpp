// The position and volume bars: seeking and volume by mouse, and the two operations the
// keyboard shares with them.
#include <cmath>

#include "Form1.h"
#include "GradProgress.h"

namespace {

// The bar value under pixel x: the bars are 146 pixels wide and map 147 pixels onto their
// range, so the pixel just right of the last one still reaches the maximum.
int BarValue(int x, int maxValue) { return int(std::lround(x * double(maxValue) / 147)); }

}  // namespace

void TForm1::SeekToBar() {
  Session.SetPosition(PosBar->Position());
  Session.SeekToPosition();
}

// Outside the bar the position stays and the seek goes to where it stands.
void TForm1::PosBarMouseMove(TShiftState Shift, int X, int) {
  if (!(Shift & ssLeft)) return;
  PosBar->SetPosition(BarValue(X, PosBar->MaxValue()));
  SeekToBar();
}

void TForm1::PosBarMouseDown(TMouseButton, TShiftState Shift, int X, int Y) {
  PosBarMouseMove(Shift | ssLeft, X, Y);
}

void TForm1::VolumeUpdate(int value) { Session.SetVolume(value); }

void TForm1::VolBarMouseMove(TShiftState Shift, int X, int) {
  if (Shift & ssLeft) VolumeUpdate(BarValue(X, VolBar->MaxValue()));
}

void TForm1::VolBarMouseDown(TMouseButton, TShiftState Shift, int X, int Y) {
  VolBarMouseMove(Shift | ssLeft, X, Y);
}
