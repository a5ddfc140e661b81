// The player model's answers to the engine's notifications.
#include <utility>

#include "AlbumSession.h"
#include "XaudioPlayer.h"

// The engine reports the end when the song's last sound is about to be heard, so the next
// song, opened and played at once, follows it without a gap.
void TAlbumSession::XAudioNotifyPlayerState(int32_t State) {
  Playing = State == XA_PLAYER_STATE_PLAYING;
  emit PlayerStateReported(State);
  if (State == XA_PLAYER_STATE_EOF) FeedNextSong();
}

// The reports about a song fed and not heard yet wait until it is; the position stays for an
// offset beyond its range.
void TAlbumSession::XAudioNotifyInputPosition(uint32_t Offset) {
  if (Offset > uint32_t(kPositionRange)) return;
  if (SongFed())
    fed_.Position = int(Offset);
  else
    SetPosition(int(Offset));
}

void TAlbumSession::XAudioNotifyInputTimecode(uint8_t Hours, uint8_t Minutes, uint8_t Seconds,
                                              uint8_t Fractions) {
  const uint32_t elapsed = Hours * 3600u + Minutes * 60u + Seconds;
  const qint64 hundredths = qint64(elapsed) * 100 + Fractions;
  if (SongFed()) {
    fed_.Timecode = hundredths;
  } else {
    elapsedSeconds_ = int(elapsed);
    emit TimecodeReported(hundredths);
  }
}

void TAlbumSession::XAudioNotifyInputDuration(uint32_t Duration) {
  if (SongFed()) {
    fed_.Duration = Duration;
    return;
  }
  duration_ = Duration;
  emit DurationReported(Duration);
  if (const uint32_t second = std::exchange(resumeSecond_, 0); second > 0) {
    // A second at or past the end (the file changed meanwhile) starts the song over.
    if (second < Duration) SeekTo(second, Duration);
    elapsedSeconds_ = second < Duration ? int(second) : 0;
  }
  if (std::exchange(resumePlay_, false)) engine_->Play();
}

void TAlbumSession::Start() {
  if (resumeSecond_ > 0)
    resumePlay_ = true;
  else
    engine_->Play();
}

// A newly opened song starts at the session's level, heard or not.
void TAlbumSession::XAudioNotifyInputStreamInfo(uint16_t Bitrate, uint8_t Mode) {
  SendVolume();
  if (SongFed())
    fed_.StreamInfo = {Bitrate, Mode};
  else
    emit StreamInfoReported(Bitrate, Mode == XA_STREAM_MODE_SINGLE_CHANNEL);
}

// A name other than the song opened last is a song a user's choice has dropped since.
void TAlbumSession::XAudioNotifyInputHeard(const std::string& Name) {
  if (SongFed() && Name == fed_.Path) ShowFedSong();
}

void TAlbumSession::ShowFedSong() {
  if (!SongFed()) return;
  const TFedSong fed = std::exchange(fed_, {});
  const std::string& root = SourceRoot();
  const int row = fed.Path.rfind(root, 0) == 0 ? RowOf(fed.Path.substr(root.size())) : 0;
  if (row == 0) return;
  CurrentRow = row;
  songRow_ = row;
  position_ = 0;
  const int disc = DiscOf(row);
  const bool newTitle = fed.Show != TShow::Song && DiscTitleOf(disc) != discTitle_;
  if (newTitle) discTitle_ = DiscTitleOf(disc);
  // The song's title and time before the disc's list and picture, which may take a while.
  if (newTitle && fed.Show == TShow::Disc) emit DiscTitleChanged(true);
  emit TimeCleared();
  if (fed.Duration) XAudioNotifyInputDuration(*fed.Duration);
  if (fed.StreamInfo)
    emit StreamInfoReported(fed.StreamInfo->first,
                            fed.StreamInfo->second == XA_STREAM_MODE_SINGLE_CHANNEL);
  if (fed.Position) SetPosition(*fed.Position);
  elapsedSeconds_ = fed.Timecode ? int(*fed.Timecode / 100) : 0;
  if (fed.Timecode) emit TimecodeReported(*fed.Timecode);
  emit SongChanged();
  if (newTitle && fed.Show == TShow::DiscTitle) emit DiscTitleChanged(false);
  if (fed.Show == TShow::Disc) emit DiscLoaded(disc);
}

// The engine reports only changes of the level, so answering with the session's level
// cannot start an endless exchange.
void TAlbumSession::XAudioNotifyOutputPcmLevel() { SendVolume(); }

void TAlbumSession::XAudioNotifyCodecQuality(uint8_t Quality) {
  emit CodecQualityReported(Quality);
}

// The song stays current and nothing is retried; the text names the song that failed by
// its path within the source.
void TAlbumSession::XAudioNotifyError(const std::string& Msg) {
  ShowFedSong();
  engine_->Stop();
  emit SongFailed("Error " + Msg + " " + CurrentSongName());
}

// A song that broke off after some sound has ended there and the album goes on.
// It names the song decoded, which may be one fed and not heard yet.
void TAlbumSession::XAudioNotifyDebug(uint8_t Level, const std::string& Msg) {
  if (Level != XA_DEBUG_LEVEL_INPUT_DAMAGED) return;
  const std::string name = SongFed() ? fed_.Path.substr(SourceRoot().size()) : CurrentSongName();
  emit SongDamaged("Error " + Msg + " " + name);
}
