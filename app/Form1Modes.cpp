// The play-order modes: the Repeat, Shuffle, Program and Album toggles with their labels,
// and the order of the album table's rows that Shuffle and Album ask for.
#include <QLabel>

#include "ClickWatcher.h"
#include "CoolButton.h"
#include "Form1.h"
#include "XaudioPlayer.h"

void TForm1::ConnectPlayOrder() {
  // Each mode label acts like its button.
  const struct {
    TCoolButton* Button;
    QLabel* Label;
    void (TForm1::*Handler)();
  } toggles[] = {{repeatbtn, replbl, &TForm1::repeatbtnClick},
                 {shufflebtn, shufflelbl, &TForm1::shufflebtnClick},
                 {progbtn, Programlbl, &TForm1::progbtnClick},
                 {modemodebtn, Albumlbl, &TForm1::modemodebtnClick}};
  for (const auto& toggle : toggles) {
    const auto handler = toggle.Handler;
    toggle.Button->OnClick = [this, handler](QObject*) { (this->*handler)(); };
    (new TClickWatcher(toggle.Label))->OnClick = [this, handler](QObject*) { (this->*handler)(); };
  }
  for (TCoolButton* button : {fwdbtn, btnfwd1})
    button->OnClick = [this](QObject*) { fwdbtnClick(); };
  for (TCoolButton* button : {rewbtn, btnrew1})
    button->OnClick = [this](QObject*) { rewbtnClick(); };
  btnfwd2->OnClick = [this](QObject*) { btnfwd2Click(); };
  btnrew2->OnClick = [this](QObject*) { btnrew2Click(); };
  // Auto ReplayGain follows Shuffle, once the settings have sent the first choices.
  connect(this, &TForm1::PlayOrderChanged, this, [this] {
    if (sentReplayGain_[0] >= 0) SendReplayGain();
  });
}

void TForm1::ColorModeLabel(QLabel* label, bool on) {
  SetTextColor(label, on ? Colors.MediumText : Colors.LowText);
}

void TForm1::repeatbtnClick() {
  Repeat = !Repeat;
  ColorModeLabel(replbl, Repeat);
  emit PlayOrderChanged();
}

void TForm1::shufflebtnClick() {
  Shuffle = !Shuffle;
  ColorModeLabel(shufflelbl, Shuffle);
  ShuffleControl();
  emit PlayOrderChanged();
}

// Program mode is shown but has no rule of its own.
void TForm1::progbtnClick() {}

void TForm1::modemodebtnClick() {
  Album = !Album;
  ColorModeLabel(Albumlbl, Album);
  if (AlbumLoaded()) ShuffleControl();
  emit PlayOrderChanged();
}

void TForm1::ShuffleAlbum(int start) {
  Random.Randomize();
  // Every position swaps with one drawn from the whole range; the order of the draws is
  // what makes a given seed give a given order.
  const int count = TAB.RowCount();
  for (int i = start; i < count; ++i)
    TAB.ExchangeRows(i, start + int(Random.Random(uint32_t(count - start))));
}

int TForm1::FindRow(int from, int col, const std::string& text) const {
  int r = from;
  while (r < TAB.RowCount() && TAB.Cells(col, r) != text) ++r;
  return r < TAB.RowCount() ? r : from;
}

// The current song stays loaded and current; only the rows around it move.
void TForm1::ShuffleControl() {
  if (!AlbumLoaded() || CurrentRow < 1 || CurrentRow >= TAB.RowCount()) return;
  const int disc = DiscOf(CurrentRow);
  const std::string discText = TAB.Cells(0, CurrentRow);
  const std::string track = TAB.Cells(1, CurrentRow);
  if (Shuffle && Album) {
    TAB.ExchangeRows(1, CurrentRow);
    ShuffleAlbum(2);
    CurrentRow = 1;
  } else if (Shuffle) {
    ShuffleAlbum(1);
    TAB.SortByColumn(0);
    const int first = FindRow(1, 0, discText);
    TAB.ExchangeRows(first, FindRow(first, 1, track));
    CaricaCD(disc);
  } else {
    // A table already in disc and track order, as a new source loads it, needs no sort by
    // track: the sort by disc then finds every row in place.
    if (!TAB.InSortOrder({1, 0})) TAB.SortByColumn(1);
    TAB.SortByColumn(0);
    CaricaCD(disc);
    while (CurrentRow + 1 < TAB.RowCount() && DiscOf(CurrentRow + 1) == disc &&
           TAB.Cells(1, CurrentRow) != track)
      ++CurrentRow;
  }
  emit PlayOrderChanged();
  if (!Playing && AutoStart) XAudio->Play();
}
