#include "AlbumSession.h"

#include <QCoreApplication>
#include <algorithm>
#include <charconv>
#include <utility>

#include "CaseInsensitive.h"
#include "SongTitle.h"
#include "XaudioPlayer.h"

TAlbumSession::TAlbumSession(QObject* parent) : QObject(parent) {
  TAB.SetFixedCols(0);  // the album table has no header column
  TAB.SortOptions.SortStyle = ssNumeric;
  TAB.SortOptions.SortDirection = sdAscending;
  TAB.SortOptions.SortCaseSensitive = false;
}

void TAlbumSession::Bind(TXaudioPlayer* engine) {
  engine_ = engine;
  engine->OnNotifyPlayerState = [this](TXaudioPlayer*, int32_t state) {
    XAudioNotifyPlayerState(state);
  };
  engine->OnNotifyInputPosition = [this](TXaudioPlayer*, uint32_t offset, uint32_t) {
    XAudioNotifyInputPosition(offset);
  };
  engine->OnNotifyInputTimecode = [this](TXaudioPlayer*, uint8_t h, uint8_t m, uint8_t s,
                                         uint8_t f) { XAudioNotifyInputTimecode(h, m, s, f); };
  engine->OnNotifyInputDuration = [this](TXaudioPlayer*, uint32_t duration) {
    XAudioNotifyInputDuration(duration);
  };
  engine->OnNotifyInputStreamInfo = [this](TXaudioPlayer*, uint8_t, uint8_t, uint16_t bitrate,
                                           uint16_t, uint8_t mode) {
    XAudioNotifyInputStreamInfo(bitrate, mode);
  };
  engine->OnNotifyOutputPcmLevel = [this](TXaudioPlayer*, uint8_t) {
    XAudioNotifyOutputPcmLevel();
  };
  engine->OnNotifyCodecQuality = [this](TXaudioPlayer*, uint8_t quality) {
    XAudioNotifyCodecQuality(quality);
  };
  engine->OnNotifyError = [this](TXaudioPlayer*, uint8_t, int16_t, const std::string& msg) {
    XAudioNotifyError(msg);
  };
  engine->OnNotifyDebug = [this](TXaudioPlayer*, uint8_t, uint8_t level, const std::string& msg) {
    XAudioNotifyDebug(level, msg);
  };
  engine->OnNotifyPlayerEnvironmentString = [this](TXaudioPlayer*, const std::string& name,
                                                   const std::string& value) {
    emit EnvironmentReported(name, value);
  };
  engine->OnNotifyProgress = [this](TXaudioPlayer*, uint8_t source, uint8_t code, int16_t,
                                    const std::string& msg) {
    if (source == XA_SOURCE_OUTPUT && code == XA_PROGRESS_INPUT_HEARD) XAudioNotifyInputHeard(msg);
  };
}

// ---- The table ----

std::string TAlbumSession::SongPath(int row) const {
  if (row < 1 || row >= TAB.RowCount() || TAB.Cells(2, row).empty()) return {};
  return SourceRoot() + TAB.Cells(2, row);
}

std::string TAlbumSession::CurrentSongName() const {
  return CurrentRow >= 1 && CurrentRow < TAB.RowCount() ? TAB.Cells(2, CurrentRow) : std::string();
}

std::string TAlbumSession::SongFolder(int row) const {
  const std::string& relative = TAB.Cells(2, row);
  return SourceRoot() + relative.substr(0, relative.rfind('/') + 1);
}

int TAlbumSession::DiscOf(int row) const {
  const std::string& cell = TAB.Cells(0, row);
  int disc = 0;
  const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), disc);
  return error == std::errc() && end == cell.data() + cell.size() ? disc : 0;
}

int TAlbumSession::FirstRowOf(int disc) const {
  int r = 1;
  while (r < TAB.RowCount() && DiscOf(r) != disc) ++r;
  return r;
}

int TAlbumSession::RowOf(const std::string& relative) const {
  if (relative.empty()) return 0;
  for (int r = 1; r < TAB.RowCount(); ++r)
    if (TAB.Cells(2, r) == relative) return r;
  return 0;
}

int TAlbumSession::RememberedRow() const {
  if (const int row = RowOf(LastSong); row > 0) return row;
  return LastRow >= 1 && LastRow < TAB.RowCount() && DiscOf(LastRow) > 0 ? LastRow : 0;
}

// Disc and track are numbers; a song ranks after every song of a lower disc, or of its own
// disc with a lower track.
int TAlbumSession::SortedRow(int row) const {
  const auto key = [this](int r) {
    const std::string& cell = TAB.Cells(1, r);
    int track = 0;
    std::from_chars(cell.data(), cell.data() + cell.size(), track);
    return std::pair(DiscOf(r), track);
  };
  const auto mine = key(row);
  int rank = 1;
  for (int r = 1; r < TAB.RowCount(); ++r)
    if (key(r) < mine) ++rank;
  return rank;
}

std::string TAlbumSession::DiscTitleOf(int disc) const {
  return disc >= 1 && disc <= DiscCount() ? platform::AsciiUpper(discs_[disc - 1]) : std::string();
}

void TAlbumSession::ReadTitles(int disc) {
  for (int r = FirstRowOf(disc); r < TAB.RowCount() && DiscOf(r) == disc; ++r)
    if (TAB.Cells(3, r).empty()) CaricaTitolo(r);
}

void TAlbumSession::CaricaTitolo(int row) {
  TAB.SetCells(3, row, SongTitle(tags_, SourceRoot() + TAB.Cells(2, row), TAB.Cells(1, row)));
}

std::string TAlbumSession::DiscPicture(const std::string& folder) {
  for (const char* mask : {"*.jpg", "*.bmp"}) {
    pictures_.Mask = mask;
    pictures_.SetDirectory(folder);
    if (!pictures_.Items().empty()) return folder + pictures_.Items().front();
  }
  return {};
}

// ---- Loading ----

void TAlbumSession::LoadAlbum(bool reopen) {
  const TLoadGuard guard(loading_);
  fed_ = {};
  engine_->Stop();
  position_ = 0;
  TAB.Clear();
  discs_.clear();
  emit ScanStarted();
  QCoreApplication::processEvents();
  Scanner.CreaTAB(discs_);
  emit AlbumScanned();
  if (!AlbumLoaded()) {
    ScaricaAlbum();
    return;
  }
  // A remembered song this table does not hold (the source changed meanwhile) starts at the
  // first disc instead.
  if (const int row = reopen ? RememberedRow() : 0; row > 0) {
    CaricaCD(DiscOf(row));
    CaricaSong(row);
    CurrentRow = row;
    resumeSecond_ = uint32_t(std::max(0, LastSecond));
  } else {
    CaricaCD(1);
    CaricaSong(CurrentRow);
  }
  if (AutoStart) Start();
}

void TAlbumSession::ScaricaAlbum() {
  engine_->Stop();
  engine_->InputClose();
  fed_ = {};
  discTitle_.clear();
  discs_.clear();
  TAB.Clear();
  CurrentRow = 1;
  songRow_ = 0;
  position_ = 0;
  emit AlbumUnloaded();
  emit SongChanged();
}

void TAlbumSession::CaricaCD(int disc) {
  if (disc < 1 || disc > DiscCount()) return;
  const TLoadGuard guard(loading_);
  const std::string title = DiscTitleOf(disc);
  // The disc already loaded goes on playing; another one stops it first.
  if (discTitle_ != title) {
    engine_->Stop();
    discTitle_ = title;
    emit DiscTitleChanged(true);
    QCoreApplication::processEvents();
  }
  const int r = FirstRowOf(disc);
  // The events handled above may have unloaded the album meanwhile.
  if (r >= TAB.RowCount()) return;
  CurrentRow = r;
  ReadTitles(disc);
  emit DiscLoaded(disc);
}

void TAlbumSession::CaricaSong(int row) {
  const std::string path = SongPath(row);
  if (path.empty()) return;
  // A song fed and not heard yet is dropped with the sound before this one.
  fed_ = {};
  position_ = 0;
  elapsedSeconds_ = 0;
  resumeSecond_ = 0;
  resumePlay_ = false;
  emit TimeCleared();
  engine_->InputOpen(path);
  songRow_ = row;
  if (TAB.Cells(3, row).empty()) CaricaTitolo(row);
  emit SongChanged();
}

// ---- Transport ----

// The playing flag follows the engine's reports, so a Stop sent here is not seen yet and
// the Play after it restarts the song.
void TAlbumSession::PlayOrRestart() {
  if (!AlbumLoaded()) return;
  // The restart drops the old song's tail: what plays is the song fed after it.
  if (Playing) ShowFedSong();
  if (Playing) engine_->Stop();
  engine_->Play();
}

// A first press pauses; a second one, once the engine has reported the pause, stops.
void TAlbumSession::PauseOrStop() {
  if (Playing)
    engine_->Pause();
  else
    Stop();
}

// What was still to be heard of the old song is dropped: a Play plays the song fed after it.
void TAlbumSession::Stop() {
  ShowFedSong();
  engine_->Stop();
  position_ = 0;
  elapsedSeconds_ = 0;
  emit TimeCleared();
}

void TAlbumSession::SetPosition(int position) {
  if (position < 0 || position > kPositionRange || position == position_) return;
  position_ = position;
  emit PositionChanged();
}

// A seek moves in the song opened last, so a song fed and not heard yet is shown first.
void TAlbumSession::SeekToPosition() {
  ShowFedSong();
  engine_->InputSeek(uint32_t(position_), kPositionRange);
  emit SeekRequested();
}

void TAlbumSession::SeekTo(uint32_t offset, uint32_t range) {
  if (range == 0) return;
  ShowFedSong();
  SetPosition(int(uint64_t(offset) * kPositionRange / range));
  engine_->InputSeek(offset, range);
}

void TAlbumSession::SetVolume(int volume) {
  if (volume >= 0 && volume <= 100) volume_ = volume;
  SendVolume();
  emit VolumeChanged();
}

// Only the PCM level follows; master level and balance stay as they are.
void TAlbumSession::SendVolume() {
  engine_->SetOutputVolume(XA_VOLUME_UNCHANGED, uint8_t(volume_), XA_VOLUME_UNCHANGED);
}

void TAlbumSession::SetReplayGain(int mode, int preamp, int untagged) {
  replayGain_ = {mode, preamp, untagged};
  SendReplayGain();
}

void TAlbumSession::SendReplayGain() {
  static constexpr int kEngineMode[] = {XA_REPLAYGAIN_OFF, XA_REPLAYGAIN_TRACK,
                                        XA_REPLAYGAIN_ALBUM};
  // Shuffle spreads an album's songs apart, so each plays at its own level; any other order
  // keeps the album's. Any other mode counts as auto.
  const int chosen = replayGain_[0];
  const int mode = chosen >= 0 && chosen < 3 ? kEngineMode[chosen]
                   : Shuffle                 ? XA_REPLAYGAIN_TRACK
                                             : XA_REPLAYGAIN_ALBUM;
  const std::array<int, 3> wanted{mode, replayGain_[1] * 10, replayGain_[2] * 10};
  if (wanted == sentReplayGain_) return;
  sentReplayGain_ = wanted;
  engine_->SetPlayerEnvironmentInteger(XA_ENVIRONMENT_REPLAYGAIN_PREAMP, wanted[1]);
  engine_->SetPlayerEnvironmentInteger(XA_ENVIRONMENT_REPLAYGAIN_UNTAGGED, wanted[2]);
  engine_->SetPlayerEnvironmentInteger(XA_ENVIRONMENT_REPLAYGAIN, mode);
}

// ---- Play order ----

void TAlbumSession::ToggleRepeat() {
  Repeat = !Repeat;
  emit PlayOrderChanged();
}

void TAlbumSession::ToggleShuffle() {
  Shuffle = !Shuffle;
  // Auto ReplayGain follows Shuffle, once the first choices are made.
  if (ReplayGainSent() >= 0) SendReplayGain();
  ShuffleControl();
  emit PlayOrderChanged();
}

void TAlbumSession::ToggleAlbum() {
  Album = !Album;
  if (AlbumLoaded()) ShuffleControl();
  emit PlayOrderChanged();
}

void TAlbumSession::ShuffleAlbum(int start) {
  Random.Randomize();
  // Every position swaps with one drawn from the whole range; the order of the draws is
  // what makes a given seed give a given order.
  const int count = TAB.RowCount();
  for (int i = start; i < count; ++i)
    TAB.ExchangeRows(i, start + int(Random.Random(uint32_t(count - start))));
}

int TAlbumSession::FindRow(int from, int col, const std::string& text) const {
  int r = from;
  while (r < TAB.RowCount() && TAB.Cells(col, r) != text) ++r;
  return r < TAB.RowCount() ? r : from;
}

// The current song stays loaded and current; only the rows around it move.
void TAlbumSession::ShuffleControl() {
  ShowFedSong();
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
  songRow_ = CurrentRow;
  emit PlayOrderChanged();
  if (!Playing && AutoStart) Start();
}

TAlbumSession::TNext TAlbumSession::NextRow() const {
  const int last = TAB.RowCount() - 1;
  const int r = CurrentRow;
  if (r < last && TAB.Cells(0, r + 1) == TAB.Cells(0, r)) return {r + 1, false, TShow::Song};
  // Shuffled across discs, the song list stays as it is; only the disc title follows.
  if (r < last && Album) return {r + 1, false, Shuffle ? TShow::DiscTitle : TShow::Disc};
  // The end of the disc, or of the whole table in Album mode: back to its first song,
  // which plays on only in Repeat mode.
  return {FirstRowOf(DiscOf(r < last || !Album ? r : 1)), true, TShow::Disc};
}

// The playing flag is read after the move: a disc change lets the engine's report of its
// stop arrive, and then AutoStart alone decides.
void TAlbumSession::MixProssimaCanzone() {
  if (!AlbumLoaded() || CurrentRow < 1 || CurrentRow >= TAB.RowCount()) return;
  const TNext next = NextRow();
  const int disc = DiscOf(next.Row);
  CurrentRow = next.Row;
  if (next.Show == TShow::DiscTitle) {
    discTitle_ = DiscTitleOf(disc);
    emit DiscTitleChanged(false);
  } else if (next.Show == TShow::Disc) {
    CaricaCD(disc);
  }
  CaricaSong(CurrentRow);
  if ((Playing || AutoStart) && (Repeat || !next.Wrapped) && AlbumLoaded()) engine_->Play();
}

// The titles are read after the song is fed, while its first sound is on its way. The
// engine has ended the old song's input, so no Stop is needed for another disc.
void TAlbumSession::FeedNextSong() {
  // A song shorter than the end's lead ends before it is heard; it is by now.
  ShowFedSong();
  if (!AlbumLoaded() || CurrentRow < 1 || CurrentRow >= TAB.RowCount()) return;
  const TNext next = NextRow();
  const std::string path = SongPath(next.Row);
  // A song that does not play is shown at once: nothing of it is on its way.
  if (!(Playing || AutoStart) || (next.Wrapped && !Repeat) || path.empty()) {
    MixProssimaCanzone();
    return;
  }
  engine_->InputOpen(path);
  engine_->Play();
  resumeSecond_ = 0;
  resumePlay_ = false;
  songRow_ = next.Row;
  fed_ = TFedSong{path, next.Show, {}, {}, {}, {}};
  if (next.Show == TShow::Disc)
    ReadTitles(DiscOf(next.Row));
  else if (TAB.Cells(3, next.Row).empty())
    CaricaTitolo(next.Row);
}

// The last song of a disc has a next one only in Album or Repeat mode, the last row only in
// Repeat mode.
bool TAlbumSession::HasNextSong() const {
  const int r = CurrentRow;
  if (!AlbumLoaded() || r < 1 || r >= TAB.RowCount()) return false;
  return r < TAB.RowCount() - 1 ? DiscOf(r) == DiscOf(r + 1) || Repeat || Album : Repeat;
}

// Never wraps round, and ignores Repeat mode and the playing flag.
bool TAlbumSession::HasPreviousSong() const {
  const int r = CurrentRow;
  if (!AlbumLoaded() || r <= 1 || r >= TAB.RowCount()) return false;
  return Album || TAB.Cells(0, r - 1) == TAB.Cells(0, r);
}

// Next and Previous act on the song heard; a song fed after it is dropped with its tail.
void TAlbumSession::NextSong() {
  if (!HasNextSong()) return;
  fed_ = {};
  engine_->Stop();
  MixProssimaCanzone();
}

void TAlbumSession::PreviousSong() {
  if (!HasPreviousSong()) return;
  fed_ = {};
  const int r = CurrentRow;
  const bool sameDisc = TAB.Cells(0, r - 1) == TAB.Cells(0, r);
  engine_->Stop();
  CurrentRow = r - 1;
  if (!sameDisc) {
    CaricaCD(DiscOf(r - 1));
    // Loading the disc may have let the album be unloaded meanwhile.
    if (!AlbumLoaded() || r - 1 >= TAB.RowCount()) return;
    CurrentRow = r - 1;
  }
  CaricaSong(CurrentRow);
  if (AutoStart) engine_->Play();
}

// The discs of a table shuffled across discs have no first songs to go to.
void TAlbumSession::GoToDisc(int step) {
  if (!AlbumLoaded() || (Album && Shuffle)) return;
  const int disc = DiscOf(CurrentRow) + step;
  if (disc < 1 || disc > DiscCount()) return;
  fed_ = {};
  QCoreApplication::processEvents();
  CaricaCD(disc);
  if (!AlbumLoaded()) return;
  CaricaSong(CurrentRow);
  if (Playing || AutoStart) engine_->Play();
}

void TAlbumSession::SelectDisc(int disc) {
  fed_ = {};
  CaricaCD(disc);
  CaricaSong(CurrentRow);
  if (Playing || AutoStart) engine_->Play();
}

void TAlbumSession::SelectSong(int index) {
  fed_ = {};
  CurrentRow = FirstRowOf(DiscOf(CurrentRow)) + index;
  engine_->Stop();
  CaricaSong(CurrentRow);
  if (Playing || AutoStart) engine_->Play();
}
