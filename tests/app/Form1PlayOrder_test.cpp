// Play order over the fake engine: which song the end of a song, Next and Previous Song and
// Next and Previous Disc move to, what they send to the engine, and how the shuffle modes
// reorder the album table.
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <set>

#include "AlbumTest.h"
#include "CoolButton.h"
#include "RunLabel.h"

namespace {

using Lines = std::vector<std::string>;

// Two discs: A with a1..a3, B with b1 and b2; each song's tag title is its name.
class PlayOrderTest : public AlbumTest {
 protected:
  PlayOrderTest() {
    music = disk + "/Music";
    for (const char* name : {"a1", "a2", "a3", "b1", "b2"})
      WriteFiles(music,
                 {{std::string(name[0] == 'a' ? "A/" : "B/") + name + ".mp3", Tagged(name)}});
    Load(music);
    engine.ClearCommands();
  }

  // The song of row: its file name without ".mp3".
  std::string Name(int row) const {
    const std::string& path = form->TAB.Cells(2, row);
    return path.substr(path.rfind('/') + 1, 2);
  }
  std::string Current() const { return Name(form->CurrentRow); }
  Lines Order() const {
    Lines names;
    for (int r = 1; r < form->TAB.RowCount(); ++r) names.push_back(Name(r));
    return names;
  }
  // Makes name the loaded song, as picking it in the selectors would, and forgets the
  // commands that took.
  void GoTo(const std::string& name) {
    int row = 1;
    while (row < form->TAB.RowCount() - 1 && Name(row) != name) ++row;
    form->CaricaCD(form->DiscOf(row));
    form->CurrentRow = row;
    form->CaricaSong(row);
    engine.ClearCommands();
  }
  void Report(int32_t state) {
    engine.PostPlayerState(state);
    ASSERT_TRUE(engine.WaitDrained());
  }
  void EndOfSong() { Report(XA_PLAYER_STATE_EOF); }

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

  std::string music;
};

TEST_F(PlayOrderTest, WithoutAlbumModePlayStaysInTheDiscAndWrapsToItsFirstSong) {
  GoTo("a1");
  EndOfSong();
  EXPECT_EQ(Log(), (Lines{"open a2", "play"}));
  EXPECT_EQ(form->Songlbl->Caption(), "2. a2");
  form->AutoStart = false;
  EndOfSong();
  EXPECT_EQ(Log(), (Lines{"open a3"}));

  // The last song of disc A is not the last row; b2 is. Only Repeat mode plays on.
  for (const char* last : {"a3", "b2"}) {
    SCOPED_TRACE(last);
    const std::string first = last[0] == 'a' ? "a1" : "b1";
    for (bool repeat : {false, true}) {
      for (bool autoStart : {false, true}) {
        form->Repeat = repeat;
        form->AutoStart = autoStart;
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

TEST_F(PlayOrderTest, AlbumModePlaysIntoTheNextDiscAndStopsAtTheTableEnd) {
  form->modemodebtnClick();
  GoTo("a3");
  EndOfSong();
  EXPECT_EQ(Current(), "b1");
  // Another disc: loading it stops the engine first.
  EXPECT_EQ(Log(), (Lines{"stop", "open b1", "play"}));
  EXPECT_EQ(form->CDlbl->Caption(), "2. B");
  EXPECT_EQ(Texts(form->SongList), (Lines{"1. b1", "2. b2"}));

  GoTo("b2");
  EndOfSong();
  EXPECT_EQ(form->CurrentRow, 1);
  EXPECT_EQ(Log(), (Lines{"stop", "open a1"}));
  EXPECT_EQ(form->CDlbl->Caption(), "1. A");

  form->repeatbtnClick();
  GoTo("b2");
  EndOfSong();
  EXPECT_EQ(Log(), (Lines{"stop", "open a1", "play"}));
}

TEST_F(PlayOrderTest, NextSongStopsAndMovesOnlyWhereThereIsANextSong) {
  GoTo("a1");
  QTest::mouseClick(form->fwdbtn, Qt::LeftButton);
  EXPECT_EQ(Current(), "a2");
  EXPECT_EQ(Log(), (Lines{"stop", "open a2", "play"}));

  // The stop is not reported yet, so a playing song is followed by Play without AutoStart.
  form->AutoStart = false;
  Report(XA_PLAYER_STATE_PLAYING);
  QTest::mouseClick(form->btnfwd1, Qt::LeftButton);
  EXPECT_EQ(Log(), (Lines{"stop", "open a3", "play"}));

  // The last song of a disc has no next song without Repeat or Album mode.
  form->fwdbtnClick();
  EXPECT_EQ(Current(), "a3");
  EXPECT_EQ(Log(), Lines{});
  form->repeatbtnClick();
  form->fwdbtnClick();
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(Log(), (Lines{"stop", "open a1", "play"}));

  // The last row: only Repeat mode goes on, Album mode alone does not.
  form->repeatbtnClick();
  form->modemodebtnClick();
  GoTo("b2");
  form->fwdbtnClick();
  EXPECT_EQ(Log(), Lines{});
  form->repeatbtnClick();
  form->fwdbtnClick();
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(Log(), (Lines{"stop", "stop", "open a1", "play"}));
}

TEST_F(PlayOrderTest, PreviousSongCrossesDiscsOnlyInAlbumModeAndNeverWraps) {
  GoTo("b1");
  QTest::mouseClick(form->rewbtn, Qt::LeftButton);
  EXPECT_EQ(Current(), "b1");
  EXPECT_EQ(Log(), Lines{});

  GoTo("a2");
  QTest::mouseClick(form->btnrew1, Qt::LeftButton);
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(Log(), (Lines{"stop", "open a1", "play"}));
  form->rewbtnClick();
  EXPECT_EQ(Log(), Lines{});

  form->modemodebtnClick();
  form->AutoStart = false;
  GoTo("b1");
  form->rewbtnClick();
  // Disc A is loaded and the current row stays on its last song, not its first.
  EXPECT_EQ(Current(), "a3");
  EXPECT_EQ(form->CDlbl->Caption(), "1. A");
  EXPECT_EQ(Texts(form->SongList), (Lines{"1. a1", "2. a2", "3. a3"}));
  EXPECT_EQ(Log(), (Lines{"stop", "stop", "open a3"}));
}

TEST_F(PlayOrderTest, NextAndPreviousDiscStopAtTheEndsAndWaitForUnshuffledDiscs) {
  GoTo("a2");
  QTest::mouseClick(form->btnfwd2, Qt::LeftButton);
  EXPECT_EQ(Current(), "b1");
  EXPECT_EQ(Log(), (Lines{"stop", "open b1", "play"}));
  form->btnfwd2Click();
  EXPECT_EQ(Log(), Lines{});

  QTest::mouseClick(form->btnrew2, Qt::LeftButton);
  EXPECT_EQ(Current(), "a1");
  EXPECT_EQ(Log(), (Lines{"stop", "open a1", "play"}));
  form->btnrew2Click();
  EXPECT_EQ(Log(), Lines{});

  form->modemodebtnClick();
  form->shufflebtnClick();
  Log();
  const int row = form->CurrentRow;
  form->btnfwd2Click();
  form->btnrew2Click();
  EXPECT_EQ(form->CurrentRow, row);
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(PlayOrderTest, ShuffleAcrossDiscsLeadsWithTheCurrentSongAndUnshuffleFollowsIt) {
  GoTo("b1");
  Report(XA_PLAYER_STATE_PLAYING);
  form->modemodebtnClick();
  form->Random.Clock = [] { return 777u; };
  form->shufflebtnClick();
  // The song goes on playing: nothing is stopped, reopened or restarted.
  EXPECT_EQ(Log(), Lines{});
  EXPECT_EQ(form->CurrentRow, 1);
  EXPECT_EQ(Order(), (Lines{"b1", "a2", "a1", "a3", "b2"}));

  // Played through: a disc change shows that disc's title and keeps the song list.
  EndOfSong();
  EXPECT_EQ(Current(), "a2");
  EXPECT_EQ(Log(), (Lines{"open a2", "play"}));
  EXPECT_EQ(form->CDlbl->Caption(), "1. A");
  EXPECT_EQ(Texts(form->SongList), (Lines{"1. b1", "2. b2"}));
  EndOfSong();
  EndOfSong();
  EndOfSong();
  EXPECT_EQ(Current(), "b2");
  EXPECT_EQ(form->CDlbl->Caption(), "2. B");
  EXPECT_EQ(Log(), (Lines{"open a1", "play", "open a3", "play", "open b2", "play"}));
  EndOfSong();
  EXPECT_EQ(form->CurrentRow, 1);
  EXPECT_EQ(Log(), (Lines{"open b1"}));

  GoTo("a2");
  form->shufflebtnClick();
  EXPECT_EQ(Order(), (Lines{"a1", "a2", "a3", "b1", "b2"}));
  EXPECT_EQ(Current(), "a2");
  EXPECT_EQ(form->CDlbl->Caption(), "1. A");
}

TEST_F(PlayOrderTest, ShuffleWithinDiscsKeepsDiscsTogetherAndTheCurrentSongFirst) {
  GoTo("a3");
  // A stopped song starts with AutoStart; without it nothing is sent, the song stays.
  form->shufflebtnClick();
  form->shufflebtnClick();
  EXPECT_EQ(Log(), (Lines{"play", "play"}));
  form->AutoStart = false;
  // Different clocks give different orders; every one keeps the rules.
  for (uint32_t clock = 0; clock < 40; ++clock) {
    SCOPED_TRACE(clock);
    form->Random.Clock = [clock] { return clock * 7919; };
    form->shufflebtnClick();
    const Lines order = Order();
    EXPECT_EQ(Current(), "a3");
    EXPECT_EQ(form->CurrentRow, 1);
    EXPECT_EQ(std::set<std::string>(order.begin(), order.begin() + 3),
              (std::set<std::string>{"a1", "a2", "a3"}));
    EXPECT_EQ(std::set<std::string>(order.begin() + 3, order.end()),
              (std::set<std::string>{"b1", "b2"}));
    // The song list shows the disc in its new order.
    EXPECT_EQ(Texts(form->SongList),
              (Lines{form->TAB.Cells(3, 1), form->TAB.Cells(3, 2), form->TAB.Cells(3, 3)}));
    form->shufflebtnClick();
    EXPECT_EQ(Order(), (Lines{"a1", "a2", "a3", "b1", "b2"}));
  }
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(PlayOrderTest, ShuffleAlbumSwapsEachRowWithOneDrawnFromTheWholeRange) {
  form->Random.Clock = [] { return 12345u; };
  form->ShuffleAlbum(1);
  EXPECT_EQ(Order(), (Lines{"a3", "a1", "b1", "b2", "a2"}));
  form->ShuffleAlbum(1);
  EXPECT_EQ(Order(), (Lines{"b1", "a3", "b2", "a2", "a1"}));

  // The last row alone swaps with itself; past it nothing moves.
  const Lines before = Order();
  form->ShuffleAlbum(form->TAB.RowCount() - 1);
  form->ShuffleAlbum(form->TAB.RowCount());
  EXPECT_EQ(Order(), before);
}

TEST_F(PlayOrderTest, ModeLabelsToggleLikeTheirButtonsAndProgramModeStaysOff) {
  form->Colors.MediumText = 0x0000FF;
  form->Colors.LowText = 0xFF0000;
  form->Assegnacolori();
  const auto color = [](const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
  };
  const QColor on(255, 0, 0), off(0, 0, 255);

  QTest::mouseClick(form->replbl, Qt::LeftButton);
  QTest::mouseClick(form->Albumlbl, Qt::LeftButton);
  QTest::mouseClick(form->shufflelbl, Qt::LeftButton);
  EXPECT_TRUE(form->Repeat && form->Album && form->Shuffle);
  EXPECT_EQ(color(form->replbl), on);
  EXPECT_EQ(color(form->shufflelbl), on);
  QTest::mouseClick(form->repeatbtn, Qt::LeftButton);
  EXPECT_FALSE(form->Repeat);
  EXPECT_EQ(color(form->replbl), off);

  const Lines order = Order();
  Log();
  QTest::mouseClick(form->progbtn, Qt::LeftButton);
  QTest::mouseClick(form->Programlbl, Qt::LeftButton);
  EXPECT_FALSE(form->Program);
  EXPECT_EQ(color(form->Programlbl), off);
  EXPECT_EQ(Order(), order);
  EXPECT_EQ(Log(), Lines{});
}

TEST(PlayOrderEmptyTableTest, TogglesOnlySetTheirFlagsAndNavigationDoesNothing) {
  FakeXaudioEngine engine;
  TForm1 form(SONAVERA_SOURCE_DIR "/assets/runtime/");
  form.modemodebtnClick();
  form.shufflebtnClick();
  form.repeatbtnClick();
  for (void (TForm1::*command)() :
       {&TForm1::MixProssimaCanzone, &TForm1::fwdbtnClick, &TForm1::rewbtnClick,
        &TForm1::btnfwd2Click, &TForm1::btnrew2Click})
    (form.*command)();
  EXPECT_TRUE(form.Album && form.Shuffle && form.Repeat);
  EXPECT_EQ(form.TAB.RowCount(), 2);
  EXPECT_EQ(engine.CommandCodes(), std::vector<int>{});
}

}  // namespace
