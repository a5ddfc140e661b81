// The keyboard: single-key commands acted on when the key is released, and the five Ctrl
// shortcuts acted on when it is pressed, whatever control has the focus. Every command is
// the same as its button or menu item; only the seek and volume steps are the keyboard's own.
#include "ARHotKey.h"
#include "CaseInsensitive.h"
#include "Form1.h"
#include "GradProgress.h"
#include "KeyPreview.h"

namespace {

// Virtual-key codes of the single-key commands.
enum : int {
  vkReturn = 13,
  vkSpace = 32,
  vkPrior = 33,
  vkNext = 34,
  vkEnd = 35,
  vkHome = 36,
  vkLeft = 37,
  vkUp = 38,
  vkRight = 39,
  vkDown = 40,
};

constexpr int kSeekStep = 10;
constexpr int kVolumeStep = 5;

}  // namespace

void TForm1::CreateHotKeys() {
  TKeyPreview::Of(this)->OnKeyUp = [this](int key, TShiftState shift) { FormKeyUp(key, shift); };
  const auto hotKey = [this](int code, void (TForm1::*handler)()) {
    auto* component = new TARHotKey(this);
    component->HotKey = code;
    if (handler) component->OnPressed = [this, handler](QObject*) { (this->*handler)(); };
    return component;
  };
  ARHotKey1 = hotKey(TARHotKey::scCtrl + 'O', &TForm1::ARHotKey1Pressed);
  ARHotKey2 = hotKey(TARHotKey::scCtrl + 'S', &TForm1::ARHotKey2Pressed);
  ARHotKey3 = hotKey(TARHotKey::scCtrl + 'P', &TForm1::ARHotKey3Pressed);
  ARHotKey4 = hotKey(TARHotKey::scCtrl + 'X', &TForm1::ARHotKey4Pressed);
  ARHotKey5 = hotKey(TARHotKey::scCtrl + 'M', &TForm1::Microview1Click);
}

void TForm1::ARHotKey1Pressed() { ejbtnClick(); }

void TForm1::ARHotKey2Pressed() { SelectSkin1Click(); }

void TForm1::ARHotKey4Pressed() { close(); }

// Shift, Ctrl and Alt are not looked at: Ctrl+R toggles repeat like R.
void TForm1::FormKeyUp(int Key, TShiftState) {
  // The preset name field takes its own typing; the selectors' lists their own keys.
  if (PresetEditing) return;
  const std::string page = CurrentPage();
  if (platform::EqualsIgnoringCase(page, "pagesong") ||
      platform::EqualsIgnoringCase(page, "pagedisc"))
    return;
  switch (Key) {
    case vkReturn:
      ejbtnClick();
      break;
    case vkSpace:
      Session.Playing ? StopbtnClick() : PlaybtnClick();
      break;
    case vkPrior:
      rewbtnClick();
      break;
    case vkNext:
      fwdbtnClick();
      break;
    case vkEnd:
      btnfwd2Click();
      break;
    case vkHome:
      btnrew2Click();
      break;
    case vkLeft:
      SeekStep(-kSeekStep);
      break;
    case vkRight:
      SeekStep(kSeekStep);
      break;
    case vkUp:
      VolumeUpdate(std::min(Session.Volume() + kVolumeStep, 100));
      break;
    case vkDown:
      VolumeUpdate(std::max(Session.Volume() - kVolumeStep, 0));
      break;
    case '1':
      modeplaybtnClick();
      break;
    case '2':
      modeimagebtnClick();
      break;
    case '3':
      modeequbtnClick();
      break;
    case 'A':
      modemodebtnClick();
      break;
    case 'P':
      progbtnClick();
      break;
    case 'R':
      repeatbtnClick();
      break;
    case 'S':
      shufflebtnClick();
      break;
    default:
      break;
  }
}

// Near either end the bar refuses the step and the seek goes where it stands.
void TForm1::SeekStep(int step) {
  if (!Session.Playing) return;
  Session.SetPosition(Session.Position() + step);
  Session.SeekToPosition();
}
