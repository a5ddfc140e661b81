// ReplayGain on the main window: the stored choices, handed to the session at start and at
// every change; the engine's answer becomes the hint of the time display.
#include <QLabel>
#include <algorithm>

#include "Form1.h"
#include "QtText.h"
#include "SettingsKeys.h"
#include "XaudioPlayer.h"

void TForm1::SetReplayGain(int mode, int preamp, int untagged) {
  using namespace settings;
  ReplayGainMode = mode >= 0 && mode < kReplayGainModes ? mode : kReplayGain.Default;
  ReplayGainPreamp = std::clamp(preamp, kPreampMin, kPreampMax);
  ReplayGainUntagged = std::clamp(untagged, kPreampMin, kPreampMax);
  Session.SetReplayGain(ReplayGainMode, ReplayGainPreamp, ReplayGainUntagged);
  // Switched off, the engine says nothing more, so the last gain must not stay on show.
  if (Session.ReplayGainSent() == XA_REPLAYGAIN_OFF) CurrTime->setToolTip(QString());
}

void TForm1::XAudioNotifyEnvironmentString(const std::string& Name, const std::string& Value) {
  if (Name == XA_ENVIRONMENT_REPLAYGAIN && Session.ReplayGainSent() != XA_REPLAYGAIN_OFF)
    CurrTime->setToolTip(ToQString(Value));
}
