// The engine's notifications as the main window shows them: player state, position, time,
// duration, stream information, levels and errors.
#include <QLabel>
#include <cstdio>

#include "Form1.h"
#include "GradProgress.h"
#include "QtText.h"
#include "RunLabel.h"
#include "XaudioPlayer.h"

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

// The engine reports the end when the song's last sound is about to be heard, so the next
// song, opened and played at once, follows it without a gap.
void TForm1::XAudioNotifyPlayerState(TXaudioPlayer*, int32_t State) {
  Playing = State == XA_PLAYER_STATE_PLAYING;
  emit PlayerStateReported(State);
  if (State == XA_PLAYER_STATE_EOF) MixProssimaCanzone();
}

void TForm1::XAudioNotifyInputState(TXaudioPlayer*, int32_t) {}

// The bar keeps its place for an offset beyond its range.
void TForm1::XAudioNotifyInputPosition(TXaudioPlayer*, uint32_t Offset, uint32_t) {
  if (Offset <= uint32_t(PosBar->MaxValue())) PosBar->SetPosition(int(Offset));
  // Positions come many times a second; most change nothing on screen.
  const QString tip = ToQString("Position: " + std::to_string(Offset / 4) + "%");
  if (tip != PosBar->toolTip()) PosBar->setToolTip(tip);
}

// The remaining time never goes below zero: a timecode past the reported duration shows
// -00:00 rather than a wrapped-round count.
void TForm1::XAudioNotifyInputTimecode(TXaudioPlayer*, uint8_t Hours, uint8_t Minutes,
                                       uint8_t Seconds, uint8_t Fractions) {
  const uint32_t elapsed = Hours * 3600u + Minutes * 60u + Seconds;
  emit TimecodeReported(qint64(elapsed) * 100 + Fractions);
  std::string text = MinutesSeconds(elapsed);
  if (ReverseTime) {
    const uint32_t duration = DurationMinutes * 60 + DurationSeconds;
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

void TForm1::XAudioNotifyInputDuration(TXaudioPlayer*, uint32_t Duration) {
  DurationMinutes = Duration / 60;
  DurationSeconds = Duration % 60;
  Totlbl->setText(ToQString(MinutesSeconds(Duration)));
  emit DurationReported(Duration);
}

// A newly opened song starts at the volume bar's level.
void TForm1::XAudioNotifyInputStreamInfo(TXaudioPlayer*, uint8_t, uint8_t, uint16_t Bitrate,
                                         uint16_t, uint8_t Mode) {
  Bitratelbl->setText(ToQString(std::to_string(Bitrate) + " KBs"));
  Stereolbl->setText(Mode == XA_STREAM_MODE_SINGLE_CHANNEL ? QStringLiteral("MONO")
                                                           : QStringLiteral("STEREO"));
  SendVolume();
}

// The engine reports only changes of the level, so answering with the bar's level cannot
// start an endless exchange.
void TForm1::XAudioNotifyOutputPcmLevel(TXaudioPlayer*, uint8_t) { SendVolume(); }

void TForm1::XAudioNotifyCodecQuality(TXaudioPlayer*, uint8_t Quality) {
  ShowMessage(std::to_string(Quality));
}

// The song stays current and nothing is retried; the message names the song that failed by
// its path within the source.
void TForm1::XAudioNotifyError(TXaudioPlayer*, uint8_t, int16_t, const std::string& Msg) {
  XAudio->Stop();
  ShowMessage("Error " + Msg + " " + CurrentSongName());
}

// A song that broke off after some sound has ended there and the album goes on, so its
// damage is told without stopping anything or waiting for an answer.
void TForm1::XAudioNotifyDebug(TXaudioPlayer*, uint8_t, uint8_t Level, const std::string& Msg) {
  if (Level == XA_DEBUG_LEVEL_INPUT_DAMAGED)
    ShowNote(this, "Error " + Msg + " " + CurrentSongName());
}
