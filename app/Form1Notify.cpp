// The engine's reports as the main window shows them: position, time, duration and stream
// information.
#include <QLabel>
#include <cstdio>

#include "Form1.h"
#include "GradProgress.h"
#include "QtText.h"
#include "RunLabel.h"

namespace {

// Minutes and seconds below 100 minutes, an hour or more as its whole minutes (75:12).
// From 100 minutes on, hours and minutes (1h40, 9h05), and from 10 hours on hours alone
// (12h): five characters fill the narrow total-time label.
std::string MinutesSeconds(uint32_t totalSeconds) {
  char text[32];
  const unsigned minutes = totalSeconds / 60;
  if (minutes < 100)
    std::snprintf(text, sizeof text, "%02u:%02u", minutes, unsigned(totalSeconds % 60));
  else if (minutes < 600)
    std::snprintf(text, sizeof text, "%uh%02u", minutes / 60, minutes % 60);
  else
    std::snprintf(text, sizeof text, "%uh", minutes / 60);
  return text;
}

}  // namespace

// Positions come many times a second; most change nothing on screen.
void TForm1::XAudioNotifyInputPosition() {
  PosBar->SetPosition(Session.Position());
  const QString tip = ToQString("Position: " + std::to_string(Session.Position() / 4) + "%");
  if (tip != PosBar->toolTip()) PosBar->setToolTip(tip);
}

// The remaining time never goes below zero: a timecode past the reported duration shows
// -00:00 rather than a wrapped-round count.
void TForm1::XAudioNotifyInputTimecode(qint64 hundredths) {
  const uint32_t elapsed = uint32_t(hundredths / 100);
  std::string text = MinutesSeconds(elapsed);
  if (ReverseTime) {
    const uint32_t duration = Session.Duration();
    text = "-" + MinutesSeconds(duration > elapsed ? duration - elapsed : 0);
  }
  // Timecodes come many times a second: only a new second is measured and drawn.
  const QString shown = ToQString(text);
  if (shown != CurrTime->text() || shown != lblDisplay2->text()) ShowTime(shown);
  std::string hint = Songlbl->Caption() + " / " + text;
  if (hint == TrayHint) return;
  TrayHint = std::move(hint);
  UpdateTrayHint();
}

void TForm1::XAudioNotifyInputDuration(qint64 Duration) {
  Totlbl->setText(ToQString(MinutesSeconds(uint32_t(Duration))));
}

void TForm1::XAudioNotifyInputStreamInfo(int Bitrate, bool mono) {
  Bitratelbl->setText(ToQString(std::to_string(Bitrate) + " KBs"));
  Stereolbl->setText(mono ? QStringLiteral("MONO") : QStringLiteral("STEREO"));
}
