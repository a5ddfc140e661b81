// The player model on the fake engine, without a window: the play order, the reopened song,
// the engine's notifications and the volume.
#include "AlbumSession.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <set>

#include "FakeXaudioEngine.h"
#include "XaudioPlayer.h"

namespace {

using Lines = std::vector<std::string>;

// Two discs: A with a1..a3, B with b1 and b2.
class SessionTest : public ::testing::Test {
 protected:
  SessionTest() {
    for (const char* name : {"A/a1", "A/a2", "A/a3", "B/b1", "B/b2"}) {
      const std::filesystem::path path = root + name + ".mp3";
      std::filesystem::create_directories(path.parent_path());
      // A few bytes of "audio" and an ID3v1 tag whose title is the song's name.
      std::string tag(128, '\0');
      tag.replace(0, 3, "TAG");
      tag.replace(3, 2, path.stem().string());
      std::ofstream(path) << std::string(72, 'a') << tag;
    }
    session.Bind(&player);
    session.Scanner.SourceRoot = root;
    Load();
  }

  void Load(bool reopen = false) {
    session.LoadAlbum(reopen);
    engine.ClearCommands();
  }
  // The song of row: its file name without ".mp3".
  std::string Name(int row) const {
    const std::string& path = session.TAB.Cells(2, row);
    return path.substr(path.rfind('/') + 1, 2);
  }
  std::string Current() const { return Name(session.CurrentRow); }
  Lines Order() const {
    Lines names;
    for (int r = 1; r < session.TAB.RowCount(); ++r) names.push_back(Name(r));
    return names;
  }
  // Makes name the loaded song, as picking it in the selectors would, and forgets the
  // commands that took.
  void GoTo(const std::string& name) {
    int row = 1;
    while (row < session.TAB.RowCount() - 1 && Name(row) != name) ++row;
    session.CaricaCD(session.DiscOf(row));
    session.CurrentRow = row;
    session.CaricaSong(row);
    engine.ClearCommands();
  }
  void Report(int32_t state) {
    engine.PostPlayerState(state);
    ASSERT_TRUE(engine.WaitDrained());
  }
  // The end of input, then the first sound of the song opened at it heard.
  void EndOfSong() {
    Report(XA_PLAYER_STATE_EOF);
    Heard(session.SongPath(session.SongRow()));
  }
  void Heard(const std::string& path) {
    engine.PostInputHeard(path);
    ASSERT_TRUE(engine.WaitDrained());
  }
  // The transport commands sent since the last call: "stop", "play" and the song opened.
  Lines Log() {
    Lines log;
    for (const FakeXaudioCommand& c : engine.Commands()) {
      if (c.Code == XA_MSG_COMMAND_STOP) log.push_back("stop");
      if (c.Code == XA_MSG_COMMAND_PLAY) log.push_back("play");
      if (c.Code == XA_MSG_COMMAND_INPUT_OPEN) {
        const std::string& path = *c.Texts.at(0);
        log.push_back("open " + path.substr(path.rfind('/') + 1, 2));
      }
    }
    engine.ClearCommands();
    return log;
  }

  QTemporaryDir dir;
  std::string root = dir.path().toStdString() + "/Music/";
  FakeXaudioEngine engine;
  TXaudioPlayer player{nullptr};
  TAlbumSession session;
  // The discs loaded: their numbers.
  QSignalSpy loaded{&session, &TAlbumSession::DiscLoaded};
};

TEST(SessionEmptyTableTest, TogglesOnlySetTheirFlagsAndNavigationDoesNothing) {
  FakeXaudioEngine engine;
  TXaudioPlayer player(nullptr);
  TAlbumSession session;
  session.Bind(&player);
  session.ToggleAlbum();
  session.ToggleShuffle();
  session.ToggleRepeat();
  for (void (TAlbumSession::*command)() :
       {&TAlbumSession::MixProssimaCanzone, &TAlbumSession::NextSong, &TAlbumSession::PreviousSong})
    (session.*command)();
  session.GoToDisc(1);
  session.GoToDisc(-1);
  EXPECT_TRUE(session.Album && session.Shuffle && session.Repeat);
  EXPECT_EQ(session.TAB.RowCount(), 2);
  EXPECT_EQ(engine.CommandCodes(), std::vector<int>{});
}

TEST_F(SessionTest, WithoutAlbumModePlayStaysInTheDiscAndWrapsToItsFirstSong) {
  GoTo("a1");
  EndOfSong();
  EXPECT_EQ(Log(), (Lines{"open a2", "play"}));
  EXPECT_EQ(session.TAB.Cells(3, session.SongRow()), "2. a2");
  session.AutoStart = false;
  EndOfSong();
  EXPECT_EQ(Log(), (Lines{"open a3"}));

  // The last song of disc A is not the last row; b2 is. Only Repeat mode plays on.
  for (const char* last : {"a3", "b2"}) {
    SCOPED_TRACE(last);
    const std::string first = last[0] == 'a' ? "a1" : "b1";
    for (bool repeat : {false, true}) {
      for (bool autoStart : {false, true}) {
        session.Repeat = repeat;
        session.AutoStart = autoStart;
        GoTo(last);
        EndOfSong();
        EXPECT_EQ(Current(), first);
        Lines expected{"open " + first};
        if (repeat && autoStart) expected.push_back("play");
        EXPECT_EQ(Log(), expected);
      }
    }
  }
}

TEST_F(SessionTest, AlbumModePlaysIntoTheNextDiscAndStopsAtTheTableEnd) {
  session.ToggleAlbum();
  GoTo("a3");
  EndOfSong();
  EXPECT_EQ(Current(), "b1");
  // The old song's input has ended: the next disc's song joins it without a Stop.
  EXPECT_EQ(Log(), (Lines{"open b1", "play"}));
  EXPECT_EQ(session.DiscTitle(), "2. B");
  EXPECT_EQ(loaded.takeLast().at(0).toInt(), 2);

  GoTo("b2");
  EndOfSong();
  EXPECT_EQ(session.CurrentRow, 1);
  EXPECT_EQ(Log(), (Lines{"stop", "open a1"}));
  EXPECT_EQ(session.DiscTitle(), "1. A");

  session.ToggleRepeat();
  GoTo("b2");
  EndOfSong();
  EXPECT_EQ(Log(), (Lines{"open a1", "play"}));
}

TEST_F(SessionTest, TheSongFedAtTheEndIsShownWhenHeardAndNavigationFollowsTheEar) {
  std::vector<std::string> shown;
  for (auto [signal, name] :
       {std::pair{&TAlbumSession::SongChanged, "song"}, {&TAlbumSession::TimeCleared, "00:00"}})
    QObject::connect(&session, signal, [&shown, name] { shown.push_back(name); });
  QObject::connect(&session, &TAlbumSession::DurationReported,
                   [&shown](qint64 s) { shown.push_back("length " + std::to_string(s)); });
  QObject::connect(&session, &TAlbumSession::DiscLoaded,
                   [&shown](int disc) { shown.push_back("disc " + std::to_string(disc)); });
  GoTo("a1");
  engine.PostDuration(100);
  Report(XA_PLAYER_STATE_PLAYING);
  shown.clear();
  // Fed at once, shown only when heard: the engine's reports about it wait as well.
  Report(XA_PLAYER_STATE_EOF);
  EXPECT_EQ(Log(), (Lines{"open a2", "play"}));
  engine.PostDuration(200);
  engine.PostTimecode(0, 0, 0);
  Report(XA_PLAYER_STATE_PLAYING);
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(session.Duration(), 100u);
  EXPECT_TRUE(shown.empty());
  Heard(root + "A/a3.mp3");
  EXPECT_EQ(Current(), "a1");
  Heard(session.SongPath(2));
  EXPECT_EQ(Current(), "a2");
  EXPECT_EQ(shown, (Lines{"00:00", "length 200", "song"}));

  // Next and Previous in the last moments of a song act on it, not on the song fed.
  Report(XA_PLAYER_STATE_EOF);
  session.PreviousSong();
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(Log(), (Lines{"open a3", "play", "stop", "open a1", "play"}));
  Heard(session.SongPath(3));
  EXPECT_EQ(Current(), "a1");
  Report(XA_PLAYER_STATE_EOF);
  session.NextSong();
  EXPECT_EQ(Current(), "a2");
  EXPECT_EQ(Log(), (Lines{"open a2", "play", "stop", "open a2", "play"}));

  // A song over before it is heard is shown when the next one is fed.
  GoTo("a1");
  Report(XA_PLAYER_STATE_EOF);
  Report(XA_PLAYER_STATE_EOF);
  EXPECT_EQ(Current(), "a2");
  EXPECT_EQ(Log(), (Lines{"open a2", "play", "open a3", "play"}));

  // Across discs, the song and its time are shown before the disc's list and picture.
  session.ToggleAlbum();
  GoTo("a3");
  shown.clear();
  Report(XA_PLAYER_STATE_EOF);
  EXPECT_EQ(session.DiscTitle(), "1. A");
  Heard(session.SongPath(session.SongRow()));
  EXPECT_EQ(session.DiscTitle(), "2. B");
  EXPECT_EQ(shown, (Lines{"00:00", "song", "disc 2"}));
  EXPECT_EQ(Log(), (Lines{"open b1", "play"}));

  // A Stop drops what was still to be heard: the fed song is what Play plays.
  Report(XA_PLAYER_STATE_EOF);
  session.Stop();
  EXPECT_EQ(Current(), "b2");
  EXPECT_EQ(Log(), (Lines{"open b2", "play", "stop"}));
}

TEST_F(SessionTest, NextSongStopsAndMovesOnlyWhereThereIsANextSong) {
  GoTo("a1");
  session.NextSong();
  EXPECT_EQ(Current(), "a2");
  EXPECT_EQ(Log(), (Lines{"stop", "open a2", "play"}));

  // The stop is not reported yet, so a playing song is followed by Play without AutoStart.
  session.AutoStart = false;
  Report(XA_PLAYER_STATE_PLAYING);
  session.NextSong();
  EXPECT_EQ(Log(), (Lines{"stop", "open a3", "play"}));

  // The last song of a disc has no next song without Repeat or Album mode.
  session.NextSong();
  EXPECT_EQ(Current(), "a3");
  EXPECT_EQ(Log(), Lines{});
  session.ToggleRepeat();
  session.NextSong();
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(Log(), (Lines{"stop", "open a1", "play"}));

  // The last row: only Repeat mode goes on, Album mode alone does not.
  session.ToggleRepeat();
  session.ToggleAlbum();
  GoTo("b2");
  session.NextSong();
  EXPECT_EQ(Log(), Lines{});
  session.ToggleRepeat();
  session.NextSong();
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(Log(), (Lines{"stop", "stop", "open a1", "play"}));
}

TEST_F(SessionTest, PreviousSongCrossesDiscsOnlyInAlbumModeAndNeverWraps) {
  GoTo("b1");
  session.PreviousSong();
  EXPECT_EQ(Current(), "b1");
  EXPECT_EQ(Log(), Lines{});

  GoTo("a2");
  session.PreviousSong();
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(Log(), (Lines{"stop", "open a1", "play"}));
  session.PreviousSong();
  EXPECT_EQ(Log(), Lines{});

  session.ToggleAlbum();
  session.AutoStart = false;
  GoTo("b1");
  session.PreviousSong();
  // Disc A is loaded and the current row stays on its last song, not its first.
  EXPECT_EQ(Current(), "a3");
  EXPECT_EQ(session.DiscTitle(), "1. A");
  EXPECT_EQ(loaded.takeLast().at(0).toInt(), 1);
  EXPECT_EQ(Log(), (Lines{"stop", "stop", "open a3"}));
}

TEST_F(SessionTest, NextAndPreviousDiscStopAtTheEndsAndWaitForUnshuffledDiscs) {
  GoTo("a2");
  session.GoToDisc(+1);
  EXPECT_EQ(Current(), "b1");
  EXPECT_EQ(Log(), (Lines{"stop", "open b1", "play"}));
  session.GoToDisc(+1);
  EXPECT_EQ(Log(), Lines{});

  session.GoToDisc(-1);
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(Log(), (Lines{"stop", "open a1", "play"}));
  session.GoToDisc(-1);
  EXPECT_EQ(Log(), Lines{});

  session.ToggleAlbum();
  session.ToggleShuffle();
  Log();
  const int row = session.CurrentRow;
  session.GoToDisc(+1);
  session.GoToDisc(-1);
  EXPECT_EQ(session.CurrentRow, row);
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(SessionTest, ShuffleAcrossDiscsLeadsWithTheCurrentSongAndUnshuffleFollowsIt) {
  GoTo("b1");
  Report(XA_PLAYER_STATE_PLAYING);
  session.ToggleAlbum();
  session.Random.Clock = [] { return 777u; };
  session.ToggleShuffle();
  // The song goes on playing: nothing is stopped, reopened or restarted.
  EXPECT_EQ(Log(), Lines{});
  EXPECT_EQ(session.CurrentRow, 1);
  EXPECT_EQ(Order(), (Lines{"b1", "a2", "a1", "a3", "b2"}));

  // Played through: a disc change shows that disc's title and keeps the song list.
  loaded.clear();
  EndOfSong();
  EXPECT_EQ(Current(), "a2");
  EXPECT_EQ(Log(), (Lines{"open a2", "play"}));
  EXPECT_EQ(session.DiscTitle(), "1. A");
  EXPECT_EQ(loaded.count(), 0);
  EndOfSong();
  EndOfSong();
  EndOfSong();
  EXPECT_EQ(Current(), "b2");
  EXPECT_EQ(session.DiscTitle(), "2. B");
  EXPECT_EQ(Log(), (Lines{"open a1", "play", "open a3", "play", "open b2", "play"}));
  EndOfSong();
  EXPECT_EQ(session.CurrentRow, 1);
  EXPECT_EQ(Log(), (Lines{"open b1"}));

  GoTo("a2");
  session.ToggleShuffle();
  EXPECT_EQ(Order(), (Lines{"a1", "a2", "a3", "b1", "b2"}));
  EXPECT_EQ(Current(), "a2");
  EXPECT_EQ(session.DiscTitle(), "1. A");
}

TEST_F(SessionTest, ShuffleWithinDiscsKeepsDiscsTogetherAndTheCurrentSongFirst) {
  GoTo("a3");
  // A stopped song starts with AutoStart; without it nothing is sent, the song stays.
  session.ToggleShuffle();
  session.ToggleShuffle();
  EXPECT_EQ(Log(), (Lines{"play", "play"}));
  session.AutoStart = false;
  // Different clocks give different orders; every one keeps the rules.
  for (uint32_t clock = 0; clock < 40; ++clock) {
    SCOPED_TRACE(clock);
    session.Random.Clock = [clock] { return clock * 7919; };
    session.ToggleShuffle();
    const Lines order = Order();
    EXPECT_EQ(Current(), "a3");
    EXPECT_EQ(session.CurrentRow, 1);
    EXPECT_EQ(std::set<std::string>(order.begin(), order.begin() + 3),
              (std::set<std::string>{"a1", "a2", "a3"}));
    EXPECT_EQ(std::set<std::string>(order.begin() + 3, order.end()),
              (std::set<std::string>{"b1", "b2"}));
    // The disc is loaded again in its new order.
    EXPECT_EQ(loaded.takeLast().at(0).toInt(), 1);
    session.ToggleShuffle();
    EXPECT_EQ(Order(), (Lines{"a1", "a2", "a3", "b1", "b2"}));
  }
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(SessionTest, ShuffleAlbumSwapsEachRowWithOneDrawnFromTheWholeRange) {
  session.Random.Clock = [] { return 12345u; };
  session.ShuffleAlbum(1);
  EXPECT_EQ(Order(), (Lines{"a3", "a1", "b1", "b2", "a2"}));
  session.ShuffleAlbum(1);
  EXPECT_EQ(Order(), (Lines{"b1", "a3", "b2", "a2", "a1"}));

  // The last row alone swaps with itself; past it nothing moves.
  const Lines before = Order();
  session.ShuffleAlbum(session.TAB.RowCount() - 1);
  session.ShuffleAlbum(session.TAB.RowCount());
  EXPECT_EQ(Order(), before);
}

TEST_F(SessionTest, AReopenedLoadOpensTheRememberedRowWhenTheTableHasIt) {
  session.LastRow = 5;
  session.LoadAlbum(true);
  EXPECT_EQ(Current(), "b2");
  EXPECT_EQ(session.DiscTitle(), "2. B");
  EXPECT_EQ(session.SongRow(), 5);
  EXPECT_EQ(Log(), (Lines{"stop", "stop", "open b2", "play"}));
  // A row the table does not have, or a load that does not reopen, starts at the first song.
  for (int row : {0, -4, 6}) {
    session.LastRow = row;
    session.LoadAlbum(true);
    EXPECT_EQ(Current(), "a1") << row;
  }
  session.LastRow = 5;
  session.AutoStart = false;
  session.LoadAlbum(false);
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(Log().back(), "open a1");
}

// The remembered song is found by its path in any row order, and a reopened song waits for
// its length before it is sought to its second and played.
TEST_F(SessionTest, AReopenedLoadFindsTheSongByPathAndResumesAtItsSecond) {
  session.Random.Clock = [] { return 12345u; };
  session.ShuffleAlbum(1);
  ASSERT_EQ(Order(), (Lines{"a3", "a1", "b1", "b2", "a2"}));
  EXPECT_EQ(session.RowOf("B/b2.mp3"), 4);
  EXPECT_EQ(session.SortedRow(4), 5) << "b2 is the last song in disc and track order";
  EXPECT_EQ(session.SortedRow(2), 1);
  EXPECT_EQ(session.RowOf("B/none.mp3"), 0);

  session.LastSong = "A/a2.mp3";
  session.LastRow = 5;
  session.LastSecond = 30;
  session.LoadAlbum(true);
  EXPECT_EQ(Current(), "a2") << "the path wins over the row";
  EXPECT_EQ(Log(), (Lines{"stop", "open a2"})) << "no play before the song is sought";
  engine.PostDuration(100);
  ASSERT_TRUE(engine.WaitDrained());
  const std::vector<FakeXaudioCommand> commands = engine.Commands();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].Code, XA_MSG_COMMAND_INPUT_SEEK);
  EXPECT_EQ(commands[0].Ints, (std::vector<int>{30, 100}));
  EXPECT_EQ(commands[1].Code, XA_MSG_COMMAND_PLAY);
  EXPECT_EQ(session.ElapsedSeconds(), 30);
  engine.ClearCommands();
  engine.PostDuration(100);
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_TRUE(engine.Commands().empty()) << "a second report of the length seeks nothing";

  // A path the table lacks falls back to the row; a second past the end starts over, and
  // another song opened meanwhile drops the wait.
  session.LastSong = "A/gone.mp3";
  session.LastSecond = 500;
  session.LoadAlbum(true);
  EXPECT_EQ(Current(), "b2");
  engine.ClearCommands();
  engine.PostDuration(100);
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_EQ(engine.CommandCodes(), (std::vector<int>{XA_MSG_COMMAND_PLAY}));
  session.LoadAlbum(true);
  session.AutoStart = false;
  session.SelectSong(0);
  engine.ClearCommands();
  engine.PostDuration(600);
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_TRUE(engine.Commands().empty());
}

TEST_F(SessionTest, ReplayGainIsSentOnceChosenAndAutoFollowsShuffle) {
  const auto sent = [this] {
    std::vector<int> modes;
    for (const FakeXaudioCommand& c : engine.Commands())
      if (c.Code == XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER &&
          c.Texts.at(0) == XA_ENVIRONMENT_REPLAYGAIN)
        modes.push_back(c.Ints.at(0));
    engine.ClearCommands();
    return modes;
  };
  // Before the first choices the engine keeps its own setting, whatever the order does.
  session.ToggleShuffle();
  EXPECT_EQ(sent(), std::vector<int>{});
  EXPECT_EQ(session.ReplayGainSent(), -1);
  session.SetReplayGain(3, 2, 0);
  session.ToggleShuffle();
  session.ToggleShuffle();
  EXPECT_EQ(sent(),
            (std::vector<int>{XA_REPLAYGAIN_TRACK, XA_REPLAYGAIN_ALBUM, XA_REPLAYGAIN_TRACK}));
  session.SetReplayGain(0, 2, 0);
  session.SetReplayGain(0, 2, 0);
  session.ToggleShuffle();
  EXPECT_EQ(sent(), std::vector<int>{XA_REPLAYGAIN_OFF});
}

TEST_F(SessionTest, NotificationsMoveThePositionAnswerWithTheVolumeAndNameFailedSongs) {
  QSignalSpy failed(&session, &TAlbumSession::SongFailed);
  QSignalSpy damaged(&session, &TAlbumSession::SongDamaged);
  const auto handled = [this] { ASSERT_TRUE(engine.WaitDrained()); };
  engine.PostPosition(399);
  engine.PostPosition(1000, 1000);
  handled();
  EXPECT_EQ(session.Position(), 399);

  // Out of range the volume stays; every new stream and level report gets it back.
  session.SetVolume(30);
  session.SetVolume(101);
  session.SetVolume(-1);
  EXPECT_EQ(session.Volume(), 30);
  engine.ClearCommands();
  engine.PostStreamInfo(64);
  engine.PostPcmLevel(80);
  handled();
  ASSERT_EQ(engine.Commands().size(), 2u);
  for (const FakeXaudioCommand& c : engine.Commands()) {
    EXPECT_EQ(c.Code, XA_MSG_SET_OUTPUT_VOLUME);
    EXPECT_EQ(c.Ints, (std::vector<int>{255, 30, 255}));
  }

  // A failed song stops and is named; a damaged one is only named.
  engine.ClearCommands();
  engine.PostError("cannot read the file");
  handled();
  EXPECT_EQ(Log(), Lines{"stop"});
  ASSERT_EQ(failed.count(), 1);
  EXPECT_EQ(failed[0][0].value<std::string>(), "Error cannot read the file A/a1.mp3");
  XA_Message debug{XA_MSG_NOTIFY_DEBUG, {}};
  debug.data.debug.level = XA_DEBUG_LEVEL_INPUT_DAMAGED;
  debug.data.debug.message = engine.Text("junk");
  engine.Post(debug);
  handled();
  EXPECT_EQ(Log(), Lines{});
  ASSERT_EQ(damaged.count(), 1);
  EXPECT_EQ(damaged[0][0].value<std::string>(), "Error junk A/a1.mp3");
}

}  // namespace
