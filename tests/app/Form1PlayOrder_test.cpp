// The play order as the window shows it: the navigation buttons and mode labels drive the
// session, and the disc title, song title and song list follow what it decides (the
// decisions themselves are tested on the session alone).
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include "AlbumTest.h"
#include "CoolButton.h"
#include "RunLabel.h"

namespace {

using Lines = std::vector<std::string>;

// Two discs: A with a1..a3, B with b1 and b2; each song's tag title is its name.
class PlayOrderTest : public AlbumTest {
 protected:
  PlayOrderTest() {
    const std::string music = disk + "/Music";
    for (const char* name : {"a1", "a2", "a3", "b1", "b2"})
      WriteFiles(music,
                 {{std::string(name[0] == 'a' ? "A/" : "B/") + name + ".mp3", Tagged(name)}});
    Load(music);
    engine.ClearCommands();
  }

  // What the play page and the song selector show: disc title, song title, song list.
  Lines Shown() const {
    Lines shown{form->CDlbl->Caption(), form->Songlbl->Caption()};
    for (const std::string& text : Texts(form->SongList)) shown.push_back(text);
    return shown;
  }
  // The end of input, then the first sound of the song fed at it heard.
  void EndOfSong() {
    engine.PostPlayerState(XA_PLAYER_STATE_EOF);
    ASSERT_TRUE(engine.WaitDrained());
    engine.PostInputHeard(form->Session.SongPath(form->Session.SongRow()));
    ASSERT_TRUE(engine.WaitDrained());
  }
};

TEST_F(PlayOrderTest, TheButtonsMoveAndTheTitlesAndSongListFollow) {
  const Lines discA{"1. A", "1. a1", "1. a1", "2. a2", "3. a3"};
  EXPECT_EQ(Shown(), discA);
  for (TCoolButton* next : {form->fwdbtn, form->btnfwd1}) QTest::mouseClick(next, Qt::LeftButton);
  EXPECT_EQ(form->Songlbl->Caption(), "3. a3");
  QTest::mouseClick(form->btnfwd2, Qt::LeftButton);
  EXPECT_EQ(Shown(), (Lines{"2. B", "1. b1", "1. b1", "2. b2"}));
  QTest::mouseClick(form->btnrew2, Qt::LeftButton);
  EXPECT_EQ(Shown(), discA);

  // Album mode plays into the next disc and steps back across it; the next disc is shown
  // when its first song is heard, not at the end of input.
  form->modemodebtnClick();
  form->fwdbtnClick();
  form->fwdbtnClick();
  engine.PostPlayerState(XA_PLAYER_STATE_EOF);
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_EQ(Shown(), (Lines{"1. A", "3. a3", "1. a1", "2. a2", "3. a3"}));
  engine.PostInputHeard(form->Session.SongPath(form->Session.SongRow()));
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_EQ(Shown(), (Lines{"2. B", "1. b1", "1. b1", "2. b2"}));
  for (TCoolButton* previous : {form->rewbtn, form->btnrew1})
    QTest::mouseClick(previous, Qt::LeftButton);
  EXPECT_EQ(Shown(), (Lines{"1. A", "2. a2", "1. a1", "2. a2", "3. a3"}));

  // Shuffled across discs, a new disc shows its title and keeps the song list.
  form->Session.Random.Clock = [] { return 777u; };
  form->shufflebtnClick();
  const Lines before = Shown();
  const Lines list(before.begin() + 2, before.end());
  for (int song = 0; song < 4; ++song) {
    EndOfSong();
    const Lines shown = Shown();
    EXPECT_EQ(shown[0], form->Session.DiscTitle());
    EXPECT_EQ(Lines(shown.begin() + 2, shown.end()), list);
  }
  EXPECT_EQ(form->CDlbl->Caption(), "2. B");

  // Shuffled within discs, the song list shows the disc in its new order.
  form->modemodebtnClick();
  const TSortGrid& table = form->Session.TAB;
  const int first = form->Session.FirstRowOf(2);
  EXPECT_EQ(Shown(), (Lines{"2. B", table.Cells(3, first), table.Cells(3, first),
                            table.Cells(3, first + 1)}));
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
  EXPECT_TRUE(form->Session.Repeat && form->Session.Album && form->Session.Shuffle);
  EXPECT_EQ(color(form->replbl), on);
  EXPECT_EQ(color(form->shufflelbl), on);
  QTest::mouseClick(form->repeatbtn, Qt::LeftButton);
  EXPECT_FALSE(form->Session.Repeat);
  EXPECT_EQ(color(form->replbl), off);

  const std::vector<std::string> order = Rows();
  engine.ClearCommands();
  QTest::mouseClick(form->progbtn, Qt::LeftButton);
  QTest::mouseClick(form->Programlbl, Qt::LeftButton);
  EXPECT_FALSE(form->Session.Program);
  EXPECT_EQ(color(form->Programlbl), off);
  EXPECT_EQ(Rows(), order);
  EXPECT_EQ(Codes(), std::vector<int>{});
}

}  // namespace
