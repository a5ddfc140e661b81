// TAlbumSession: the player without its window. It owns the album table and its scanner,
// the current and remembered rows, the play modes, volume and position, and the engine's
// notifications; it makes the next-song decisions and says through signals what changed, so
// the window, the media-controls service and the keys all drive the same state.
#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AlbumScanner.h"
#include "FileLister.h"
#include "MP3Tag.h"
#include "ShuffleRandom.h"
#include "SortGrid.h"

class TXaudioPlayer;

class TAlbumSession : public QObject {
  Q_OBJECT

 public:
  explicit TAlbumSession(QObject* parent = nullptr);

  // The engine this session plays on; its notifications come here from now on.
  void Bind(TXaudioPlayer* engine);

  // The album table: disc, track, path relative to the source root, display title; row 0
  // is the header, and the album counts as loaded while the disc cell of row 1 is filled.
  TSortGrid TAB{4, 2};
  // Walks the source root into TAB; its SourceRoot is the folder text the paths are
  // relative to, exactly as chosen.
  TAlbumScanner Scanner{TAB};
  TShuffleRandom Random;
  // The row of the loaded song; 1 when nothing is loaded.
  int CurrentRow = 1;
  // The row a load that reopens the remembered song goes to.
  int LastRow = 1;
  // The remembered song by its path relative to the source root; where it names a song of
  // the table it wins over LastRow, whatever order the rows were in when it was kept.
  std::string LastSong;
  // The second within the remembered song a reopening load starts at.
  int LastSecond = 0;
  // Follows the engine's reports.
  bool Playing = false;
  bool Album = false;
  bool Shuffle = false;
  bool Repeat = false;
  bool Program = false;
  // A loaded song starts playing at once.
  bool AutoStart = true;

  // ---- The table ----
  const std::string& SourceRoot() const { return Scanner.SourceRoot; }
  bool AlbumLoaded() const { return !TAB.Cells(0, 1).empty(); }
  // Source root followed by the relative path of row; empty for a row without a song.
  std::string SongPath(int row) const;
  std::string CurrentSongPath() const { return SongPath(CurrentRow); }
  // The current song's path relative to the source (column 2).
  std::string CurrentSongName() const;
  // Source root followed by the folder part (up to the last "/") of row's relative path.
  std::string SongFolder(int row) const;
  // The disc number of row; 0 for a row without a song.
  int DiscOf(int row) const;
  // The first row of disc; RowCount() of the table when the disc has none.
  int FirstRowOf(int disc) const;
  // The disc list as the scan named the discs ("1. Name"); disc 1 is the first.
  const std::vector<std::string>& Discs() const { return discs_; }
  int DiscCount() const { return int(discs_.size()); }
  // The title shown for the loaded disc, upper case; empty while none is loaded.
  const std::string& DiscTitle() const { return discTitle_; }
  // The row last opened in the engine; 0 when none is. At the end of a song it is the next
  // song, fed early, while CurrentRow stays on the song still heard.
  int SongRow() const { return songRow_; }
  // The row of the song whose path relative to the source root is relative; 0 when none.
  int RowOf(const std::string& relative) const;
  // The row a reopening load goes to: LastSong's, else LastRow when it holds a song, else 0.
  int RememberedRow() const;
  // Where row stands with the rows in disc and track order, as a new scan lists them.
  int SortedRow(int row) const;
  // Whether a song fed at the end of the one before waits to be heard.
  bool SongFed() const { return !fed_.Path.empty(); }
  // The folder's own picture: its first *.jpg, else its first *.bmp; empty when it has none.
  std::string DiscPicture(const std::string& folder);
  // Reads row's title from its tags into the table.
  void CaricaTitolo(int row);

  // ---- Loading ----
  // True while a load runs: it lets pending events run, and they may start another.
  bool Loading() const { return loading_ > 0; }
  // Counts as a load while it lives.
  struct TLoadGuard {
    explicit TLoadGuard(int& depth) : Depth(++depth) {}
    ~TLoadGuard() { --Depth; }
    int& Depth;
  };
  [[nodiscard]] TLoadGuard HoldLoading() { return TLoadGuard(loading_); }
  // Scans the source root into the table and loads its first disc, or the remembered song
  // (at LastSecond) when reopen is set and the table holds it; plays when AutoStart is on.
  void LoadAlbum(bool reopen);
  // Back to no album: the engine stopped and closed, the table empty.
  void ScaricaAlbum();
  // Makes disc's first row current and reads its titles; another disc stops the engine.
  void CaricaCD(int disc);
  // Opens row's song in the engine.
  void CaricaSong(int row);
  // Asks the owner to open path as "open with" does: a song's folder becomes the chosen
  // source and the song plays; a folder plays from its first song.
  void RequestOpen(const std::string& path) { emit OpenRequested(path); }

  // ---- Transport ----
  // Play/Restart: a playing song starts over.
  void PlayOrRestart();
  // Pause/Stop: a playing song pauses, any other stops.
  void PauseOrStop();
  void Stop();
  // The position on 0..kPositionRange; outside it the position stays where it is.
  static constexpr int kPositionRange = 400;
  int Position() const { return position_; }
  void SetPosition(int position);
  // Seeks to Position.
  void SeekToPosition();
  // Seeks to offset of range (in any unit), keeping Position in step.
  void SeekTo(uint32_t offset, uint32_t range);
  // The output level 0..100; other values leave it as it is.
  int Volume() const { return volume_; }
  void SetVolume(int volume);
  // The open song's duration in seconds from the engine's last report.
  uint32_t Duration() const { return duration_; }
  // Whole seconds played of the open song, as the engine last reported them.
  int ElapsedSeconds() const { return elapsedSeconds_; }
  // ReplayGain: the mode (0 off, 1 track, 2 album, 3 auto: album gain in album order, track
  // gain shuffled) and the pre-amps in dB of tagged and untagged songs. The engine gets them
  // now and again whenever Shuffle changes what auto means.
  void SetReplayGain(int mode, int preamp, int untagged);
  // The engine's mode last sent, XA_REPLAYGAIN_*; -1 before the first choices.
  int ReplayGainSent() const { return sentReplayGain_[0]; }

  // ---- Play order ----
  void ToggleRepeat();
  void ToggleShuffle();
  void ToggleAlbum();
  // Puts the rows in the order the play modes ask for, keeping the current song current.
  void ShuffleControl();
  // Shuffles rows start..RowCount-1 in place.
  void ShuffleAlbum(int start);
  // The next-song decision: at the end of a song, and for Next Song.
  void MixProssimaCanzone();
  // Whether Next Song and Previous Song would move anywhere now.
  bool HasNextSong() const;
  bool HasPreviousSong() const;
  void NextSong();
  void PreviousSong();
  // First song of the disc step away from the current one, when there is such a disc.
  void GoToDisc(int step);
  // Picks disc, or song index of the current disc, as the selectors do.
  void SelectDisc(int disc);
  void SelectSong(int index);

  // ---- The engine's notifications ----
  void XAudioNotifyPlayerState(int32_t State);
  void XAudioNotifyInputPosition(uint32_t Offset);
  void XAudioNotifyInputTimecode(uint8_t Hours, uint8_t Minutes, uint8_t Seconds,
                                 uint8_t Fractions);
  void XAudioNotifyInputDuration(uint32_t Duration);
  void XAudioNotifyInputStreamInfo(uint16_t Bitrate, uint8_t Mode);
  void XAudioNotifyOutputPcmLevel();
  void XAudioNotifyCodecQuality(uint8_t Quality);
  void XAudioNotifyError(const std::string& Msg);
  void XAudioNotifyDebug(uint8_t Level, const std::string& Msg);
  // The first sound of the input opened as Name is heard now.
  void XAudioNotifyInputHeard(const std::string& Name);

 signals:
  void PlayerStateReported(int state);  // the engine's player state, XA_PLAYER_STATE_*
  void TimecodeReported(qint64 hundredths);
  void DurationReported(qint64 seconds);
  void PositionChanged();
  void StreamInfoReported(int bitrate, bool mono);
  void CodecQualityReported(int quality);
  void EnvironmentReported(const std::string& name, const std::string& value);
  // A song failed to play (it stays current) or broke off after some sound; text names it.
  void SongFailed(const std::string& text);
  void SongDamaged(const std::string& text);
  // The elapsed time is back at the start of the song.
  void TimeCleared();
  void ScanStarted();
  // The scan has filled the table and the disc list.
  void AlbumScanned();
  void AlbumUnloaded();
  // DiscTitle changed; songListFollows: the disc's song list is about to be loaded too.
  void DiscTitleChanged(bool songListFollows);
  // Disc's rows have their titles and its first row is current.
  void DiscLoaded(int disc);
  void SongChanged();       // a song was loaded or the album unloaded
  void PlayOrderChanged();  // a mode toggled or the rows were reordered
  void VolumeChanged();
  void SeekRequested();
  void OpenRequested(const std::string& path);

 private:
  // Where the song after the current one is, and what of its disc the window must show.
  enum class TShow { Song, DiscTitle, Disc };
  struct TNext {
    int Row = 0;
    bool Wrapped = false;
    TShow Show = TShow::Song;
  };
  TNext NextRow() const;
  // At the end of a song: the next one is opened and played at once, so that it joins the
  // end without a gap, and shown when the engine says it is heard.
  void FeedNextSong();
  // The fed song becomes the current one, with the reports held for it.
  void ShowFedSong();
  // The uppercase title of disc; empty for a disc the scan did not name.
  std::string DiscTitleOf(int disc) const;
  void ReadTitles(int disc);
  // The first row from from on whose column col reads text; from when there is none.
  int FindRow(int from, int col, const std::string& text) const;
  // Sends the volume to the engine as its PCM level.
  void SendVolume();
  // Plays, or for a song reopened inside, once its length is known and it has been sought.
  void Start();
  // Sends the ReplayGain choices, auto resolved, when they differ from the last sent.
  void SendReplayGain();

  TXaudioPlayer* engine_ = nullptr;
  TMP3Tag tags_;
  TFileLister pictures_;
  std::vector<std::string> discs_;
  std::string discTitle_;
  int songRow_ = 0;
  // The song fed at the end of the one before, until it is heard: its path as opened, what
  // of its disc is to be shown, and the engine's reports about it, shown with it.
  struct TFedSong {
    std::string Path;
    TShow Show = TShow::Song;
    std::optional<uint32_t> Duration;
    std::optional<std::pair<uint16_t, uint8_t>> StreamInfo;
    std::optional<int> Position;
    std::optional<qint64> Timecode;
  };
  TFedSong fed_;
  int loading_ = 0;
  int volume_ = 50;
  int position_ = kPositionRange;
  uint32_t duration_ = 0;
  int elapsedSeconds_ = 0;
  // A reopened song waits for its length to be sought to this second; then it plays if
  // resumePlay_ is set.
  uint32_t resumeSecond_ = 0;
  bool resumePlay_ = false;
  std::array<int, 3> replayGain_{3, 0, 0};
  std::array<int, 3> sentReplayGain_{-1, 0, 0};
};
