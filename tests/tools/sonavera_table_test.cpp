// The table viewer shows what the player's scanner makes of a folder tree.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <string>

#include "SortGridView.h"
#include "TableWindow.h"
#include "ToolRun.h"

namespace {

void Write(const QString& path, const QByteArray& bytes = {}) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

// An ID3v1 trailer naming the title.
QByteArray Tagged(const QByteArray& title) {
  QByteArray tag("TAG");
  tag += title.leftJustified(30, '\0') + QByteArray(125 - 30, '\0');
  return QByteArray(200, 'x') + tag;
}

class SonaveraTable : public testing::Test {
 protected:
  void SetUp() override {
    root = QFile::encodeName(dir.path() + "/Music").toStdString();
    const QString q = dir.path() + "/Music";
    Write(q + "/Zeta/01 first.mp3", Tagged("Opening"));
    Write(q + "/Zeta/02 second.mp3");
    Write(q + "/alpha/b song.mp3");
    Write(q + "/alpha/a song.MP3");
    Write(q + "/alpha/cover.jpg");
    Write(q + "/mid/deep/x.mp3");
    window.Scan(root);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  std::string Rows(int lastCol) {
    std::string out;
    for (int r = 1; r < window.Table().RowCount(); ++r) {
      for (int c = 0; c <= lastCol; ++c)
        out += window.Table().Cells(c, r) + (c < lastCol ? "\t" : "\n");
    }
    return out;
  }
  void ClickHeader(int col) {
    QTest::mouseClick(window.Grid->viewport(), Qt::LeftButton, {},
                      window.Grid->CellRect(col, 0).center());
  }

  QTemporaryDir dir;
  std::string root;
  TTableWindow window;
};

TEST_F(SonaveraTable, ShowsTheScannersRowsWithThePlayersTitles) {
  const TToolRun scan =
      RunTool(SONAVERA_BINARY_DIR "/bin/sonavera-scan", {QFile::decodeName(root.c_str())});
  ASSERT_EQ(scan.status, 0) << scan.err;
  const std::size_t from = scan.out.find("\n\n") + 2;
  const std::size_t to = scan.out.rfind('\n', scan.out.size() - 2) + 1;
  EXPECT_EQ(Rows(2), scan.out.substr(from, to - from));
  EXPECT_EQ(window.Table().RowCount(), 6);
  std::string titles;
  for (int r = 1; r < 6; ++r) titles += window.Table().Cells(3, r) + "|";
  EXPECT_EQ(titles, "1. a song|2. b song|1. x|1. Opening|2. 02 second|");
  EXPECT_EQ(window.Status->text().toStdString().substr(0, 17), "3 discs, 5 songs,");
}

TEST_F(SonaveraTable, HeaderClicksSortAndTheFilterHidesOtherRows) {
  ClickHeader(1);  // Track, ascending
  EXPECT_EQ(Rows(1), "1\t1\n2\t1\n3\t1\n1\t2\n3\t2\n");
  ClickHeader(3);  // Title, as text
  ClickHeader(3);  // and reversed
  EXPECT_EQ(window.Table().Cells(3, 1), "2. b song");
  ClickHeader(0);  // stable: each disc keeps the title order
  EXPECT_EQ(Rows(1), "1\t2\n1\t1\n2\t1\n3\t2\n3\t1\n");

  QTest::keyClicks(window.SearchText, "SONG");
  EXPECT_EQ(window.Table().Row(), 1);  // the first row holding it
  QTest::keyClick(window.SearchText, Qt::Key_Return);
  EXPECT_EQ(window.Table().Row(), 2);
  window.Filter->click();
  EXPECT_EQ(window.Table().RowCount(), 3);
  EXPECT_NE(window.Status->text().indexOf("(2 shown)"), -1);
  window.CaseSensitive->click();  // "SONG" is in no row now
  EXPECT_EQ(window.Table().RowCount(), 2);
  EXPECT_EQ(window.Table().Cells(0, 1), "");
  window.Filter->click();
  EXPECT_EQ(window.Table().RowCount(), 6);
  EXPECT_EQ(Rows(1), "1\t2\n1\t1\n2\t1\n3\t2\n3\t1\n");
}

// Without "Match case" every letter the locale knows is folded; a filter that matches
// nothing shows no row at all and says so.
TEST_F(SonaveraTable, SearchFoldsEveryLetterAndNoMatchShowsNoRow) {
  const std::string savedLocale = setlocale(LC_CTYPE, nullptr);
  ASSERT_TRUE(setlocale(LC_CTYPE, "C.UTF-8"));
  const QString q = dir.path() + "/Umlaut";
  Write(q + "/Disc/01 plain.mp3");
  Write(q + QString::fromUtf8("/Disc/02 Über den Wolken.mp3"));
  window.Scan(QFile::encodeName(q).toStdString());
  window.SearchText->setText(QString::fromUtf8("über"));
  EXPECT_EQ(window.Table().Row(), 2);
  window.Filter->click();
  EXPECT_EQ(window.Table().RowCount(), 2);
  EXPECT_EQ(window.Table().Cells(1, 1), "2");
  EXPECT_EQ(window.Grid->RowHeights(1), window.Grid->DefaultRowHeight());

  window.CaseSensitive->click();
  EXPECT_EQ(window.Table().Cells(0, 1), "");
  EXPECT_EQ(window.Grid->RowHeights(1), 0);
  EXPECT_NE(window.Status->text().indexOf("(no match)"), -1) << window.Status->text().toStdString();
  window.Filter->click();
  EXPECT_EQ(window.Table().RowCount(), 3);
  EXPECT_EQ(window.Grid->RowHeights(1), window.Grid->DefaultRowHeight());
  setlocale(LC_CTYPE, savedLocale.c_str());
}

TEST(SonaveraTableTool, RefusesAMissingFolder) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  const TToolRun r = RunTool(SONAVERA_BINARY_DIR "/bin/sonavera-table", {"/no/such/folder"}, env);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("/no/such/folder"), std::string::npos) << r.err;
}

}  // namespace
