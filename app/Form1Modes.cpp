// The play-order modes: the Repeat, Shuffle, Program and Album toggles with their labels.
#include <QLabel>

#include "ClickWatcher.h"
#include "CoolButton.h"
#include "Form1.h"

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
}

void TForm1::ColorModeLabel(QLabel* label, bool on) {
  SetTextColor(label, on ? Colors.MediumText : Colors.LowText);
}

void TForm1::ColorModeLabels() {
  ColorModeLabel(replbl, Session.Repeat);
  ColorModeLabel(shufflelbl, Session.Shuffle);
  ColorModeLabel(Albumlbl, Session.Album);
}

void TForm1::repeatbtnClick() { Session.ToggleRepeat(); }

void TForm1::shufflebtnClick() { Session.ToggleShuffle(); }

// Program mode is shown but has no rule of its own.
void TForm1::progbtnClick() {}

void TForm1::modemodebtnClick() { Session.ToggleAlbum(); }
