// ReplayGain on the main window: the stored choices reach the engine at start, at every
// change and whenever Shuffle changes what auto means; the engine's answer becomes the hint
// of the time display.
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
  SendReplayGain();
}

void TForm1::SendReplayGain() {
  static constexpr int kAuto = 3;
  static constexpr int kEngineMode[] = {XA_REPLAYGAIN_OFF, XA_REPLAYGAIN_TRACK,
                                        XA_REPLAYGAIN_ALBUM};
  // Shuffle spreads an album's songs apart, so each plays at its own level; any other order
  // keeps the album's.
  const int mode = ReplayGainMode == kAuto
                       ? (Session.Shuffle ? XA_REPLAYGAIN_TRACK : XA_REPLAYGAIN_ALBUM)
                       : kEngineMode[ReplayGainMode];
  const std::array<int, 3> wanted{mode, ReplayGainPreamp * 10, ReplayGainUntagged * 10};
  if (wanted == sentReplayGain_) return;
  sentReplayGain_ = wanted;
  XAudio->SetPlayerEnvironmentInteger(XA_ENVIRONMENT_REPLAYGAIN_PREAMP, wanted[1]);
  XAudio->SetPlayerEnvironmentInteger(XA_ENVIRONMENT_REPLAYGAIN_UNTAGGED, wanted[2]);
  XAudio->SetPlayerEnvironmentInteger(XA_ENVIRONMENT_REPLAYGAIN, mode);
  // Switched off, the engine says nothing more, so the last gain must not stay on show.
  if (mode == XA_REPLAYGAIN_OFF) CurrTime->setToolTip(QString());
}

void TForm1::XAudioNotifyEnvironmentString(const std::string& Name, const std::string& Value) {
  if (Name == XA_ENVIRONMENT_REPLAYGAIN && sentReplayGain_[0] != XA_REPLAYGAIN_OFF)
    CurrTime->setToolTip(ToQString(Value));
}
