#include "SortGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

// A grid whose data rows hold the given texts in column 0 and their row number in column 1.
TSortGrid Grid(const std::vector<std::string>& keys, int cols = 2) {
  TSortGrid grid(cols, int(keys.size()) + 1);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    grid.SetCells(0, int(i) + 1, keys[i]);
    grid.SetCells(1, int(i) + 1, std::to_string(i + 1));
  }
  return grid;
}

std::vector<std::string> Column(const TSortGrid& grid, int col) {
  std::vector<std::string> out;
  for (int r = 1; r < grid.RowCount(); ++r) out.push_back(grid.Cells(col, r));
  return out;
}

std::string MarkList(const TSortGrid& grid) {
  std::string marks;
  for (int r = 0; r < grid.RowCount(); ++r) marks += grid.IsMarked(r) ? 'Y' : 'N';
  return marks;
}

using Texts = std::vector<std::string>;

TEST(SortGrid, ClearLeavesOneEmptyRowAndKeepsTheHeader) {
  TSortGrid tab = Grid({"1", "2", "3"});
  tab.SetCells(0, 0, "Disc");
  tab.Clear();
  EXPECT_EQ(tab.RowCount(), 2);
  EXPECT_EQ(tab.Cells(0, 1), "");
  EXPECT_EQ(tab.Cells(1, 1), "");
  EXPECT_EQ(tab.Cells(0, 0), "Disc");
  // Cells outside the grid read as empty and ignore writes.
  tab.SetCells(7, 9, "x");
  EXPECT_EQ(tab.Cells(7, 9), "");
}

TEST(SortGrid, InsertAndDeleteRowsFireTheirEvents) {
  TSortGrid tab(4, 2);
  std::vector<std::string> events;
  tab.OnRowInsert = [&](TSortGrid*, int i) { events.push_back("insert " + std::to_string(i)); };
  tab.OnRowDelete = [&](TSortGrid*, int i) { events.push_back("delete " + std::to_string(i)); };
  tab.SetCells(0, 1, "old");
  tab.InsertRow(2);  // an append
  tab.SetCells(0, 2, "song");
  tab.InsertRow(1);  // in front: the new row is empty and the others move down
  EXPECT_EQ(Column(tab, 0), (Texts{"", "old", "song"}));
  tab.DeleteRow(1);
  tab.DeleteRow(1);
  EXPECT_EQ(Column(tab, 0), (Texts{"song"}));
  tab.DeleteRow(1);  // never the last data row
  tab.InsertRow(5);  // out of range
  EXPECT_EQ(tab.RowCount(), 2);
  EXPECT_EQ(events, (Texts{"insert 2", "insert 1", "delete 1", "delete 1"}));
}

TEST(SortGrid, AppendRowIsAnInsertAtTheEndWithItsTexts) {
  TSortGrid built(4, 2), appended(4, 2);
  std::vector<std::string> events;
  appended.OnRowInsert = [&](TSortGrid*, int i) {
    events.push_back("insert " + std::to_string(i));
  };
  appended.OnSizeChanged = [&](TSortGrid*, int, int rows) {
    events.push_back("size " + std::to_string(rows));
  };
  const std::vector<Texts> rows = {{"1", "1", "Disc/01 Song.mp3"},
                                   {"1", "02", "Disc/02 Song.mp3", "title"},
                                   {"12", "3"},
                                   {"", "4", "x", "y"}};
  for (const Texts& row : rows) {
    const int at = built.RowCount();
    built.InsertRow(at);
    for (std::size_t c = 0; c < row.size(); ++c) built.SetCells(int(c), at, row[c]);
  }
  appended.AppendRow({"1", "1", "Disc/01 Song.mp3"});
  appended.AppendRow({"1", "02", "Disc/02 Song.mp3", "title"});
  appended.AppendRow({"12", "3"});
  appended.AppendRow({"", "4", "x", "y", "beyond the last column"});
  ASSERT_EQ(appended.RowCount(), built.RowCount());
  for (int c = 0; c < 5; ++c) EXPECT_EQ(Column(appended, c), Column(built, c)) << "column " << c;
  EXPECT_EQ(events, (Texts{"size 2", "insert 2", "size 3", "insert 3", "size 4", "insert 4",
                           "size 5", "insert 5"}));
  EXPECT_EQ(MarkList(appended), MarkList(built));

  // Unlike an empty inserted row, an appended row is sorted into place by its texts.
  TSortGrid sorted = Grid({"b", "d"});
  sorted.SortOptions.SortStyle = ssNormal;
  sorted.UpdateOnSizeChange = true;
  sorted.AppendRow({"c", "3"});
  EXPECT_EQ(Column(sorted, 0), (Texts{"b", "c", "d"}));
  EXPECT_EQ(Column(sorted, 1), (Texts{"1", "3", "2"}));
}

TEST(SortGrid, ExchangeAndMoveRows) {
  TSortGrid tab = Grid({"a", "b", "c", "d", "e", "f"});
  tab.ExchangeRows(3, 3);
  EXPECT_EQ(Column(tab, 0), (Texts{"a", "b", "c", "d", "e", "f"}));
  tab.ExchangeRows(1, 5);
  EXPECT_EQ(Column(tab, 0), (Texts{"e", "b", "c", "d", "a", "f"}));
  tab.ExchangeRows(6, 2);
  EXPECT_EQ(Column(tab, 0), (Texts{"e", "f", "c", "d", "a", "b"}));
  EXPECT_EQ(Column(tab, 1), (Texts{"5", "6", "3", "4", "1", "2"}));  // whole rows move
  tab.MoveRow(1, 4);
  EXPECT_EQ(Column(tab, 0), (Texts{"f", "c", "d", "e", "a", "b"}));
  tab.MoveRow(6, 2);
  EXPECT_EQ(Column(tab, 0), (Texts{"f", "b", "c", "d", "e", "a"}));
  tab.ExchangeRows(1, 9);  // out of range: nothing
  EXPECT_EQ(Column(tab, 0), (Texts{"f", "b", "c", "d", "e", "a"}));
}

TEST(SortGrid, NumericSortIsStableAndLeavesTheHeader) {
  TSortGrid tab = Grid({"2", "1", "2", "1"});
  tab.SortOptions.SortStyle = ssNumeric;
  tab.SetCells(0, 0, "header");
  tab.SortByColumn(0);
  EXPECT_EQ(Column(tab, 0), (Texts{"1", "1", "2", "2"}));
  EXPECT_EQ(Column(tab, 1), (Texts{"2", "4", "1", "3"}));
  EXPECT_EQ(tab.Cells(0, 0), "header");

  TSortGrid discs = Grid({"10", "9", "1"});
  discs.SortOptions.SortStyle = ssNumeric;
  discs.SortByColumn(0);
  EXPECT_EQ(Column(discs, 0), (Texts{"1", "9", "10"}));
}

TEST(SortGrid, SortingTrackThenDiscRestoresAlbumOrder) {
  TSortGrid tab(4, 1 + 60);
  for (int r = 1; r <= 60; ++r) {
    tab.SetCells(0, r, std::to_string((r - 1) / 6 + 1));
    tab.SetCells(1, r, std::to_string((r - 1) % 6 + 1));
    tab.SetCells(2, r, "song " + std::to_string(r));
  }
  std::mt19937 random(7);
  for (int r = 1; r <= 60; ++r) tab.ExchangeRows(r, 1 + int(random() % 60));
  tab.SortOptions.SortStyle = ssNumeric;
  tab.SortByColumn(1);
  tab.SortByColumn(0);
  for (int r = 1; r <= 60; ++r) EXPECT_EQ(tab.Cells(2, r), "song " + std::to_string(r));
}

// Every data row's cells, joined, in row order.
Texts Rows(const TSortGrid& grid) {
  Texts rows;
  for (int r = 1; r < grid.RowCount(); ++r) {
    std::string row;
    for (int c = 0; c < grid.ColCount(); ++c) row += grid.Cells(c, r) + "|";
    rows.push_back(row);
  }
  return rows;
}

TEST(SortGrid, SortsLikeAStableSortWhetherOrNotTheRowsAreInOrder) {
  // Few distinct keys, so ties abound; numbers, numbers written as text, unreadable texts,
  // and letters in both cases.
  const Texts keys{"1", "2", "10", "02", "x", "", "B", "b", "a"};
  TSortComparer reader;
  std::mt19937 random(11);
  for (int round = 0; round < 60; ++round) {
    const TSortStyle style = round % 2 ? ssNumeric : ssNormal;
    const TSortDirection direction = round % 4 < 2 ? sdAscending : sdDescending;
    const int rows = 1 + int(random() % 40);
    Texts column;
    for (int i = 0; i < rows; ++i) column.push_back(keys[random() % keys.size()]);
    const auto less = [&](const std::string& a, const std::string& b) {
      if (style == ssNumeric) {
        return TSortComparer::CompareValues(reader.ReadValue(a, style), reader.ReadValue(b, style),
                                            direction) < 0;
      }
      std::string x = a, y = b;
      for (std::string* t : {&x, &y})
        for (char& ch : *t) ch = char(std::tolower(ch));
      return direction == sdAscending ? x < y : y < x;
    };
    // Every third table starts in order already.
    if (round % 3 == 0) std::stable_sort(column.begin(), column.end(), less);
    TSortGrid tab = Grid(column);
    tab.SortOptions.SortStyle = style;
    tab.SortOptions.SortDirection = direction;
    std::vector<int> expected(rows);
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](int a, int b) { return less(column[a], column[b]); });
    tab.SortByColumn(0);
    Texts want;
    for (int i : expected) want.push_back(column[i] + "|" + std::to_string(i + 1) + "|");
    ASSERT_EQ(Rows(tab), want) << "round " << round;
  }
}

TEST(SortGrid, InSortOrderTellsWhenSortingTrackThenDiscWouldMoveNoRow) {
  // disc, track, path; disc 2 holds two rows with equal keys.
  TSortGrid tab(3, 7);
  const Texts discs{"1", "1", "2", "2", "2", "10"}, tracks{"1", "2", "1", "3", "3", "1"};
  for (int r = 1; r <= 6; ++r) {
    tab.SetCells(0, r, discs[r - 1]);
    tab.SetCells(1, r, tracks[r - 1]);
    tab.SetCells(2, r, "song " + std::to_string(r));
  }
  tab.SortOptions.SortStyle = ssNumeric;
  const auto sortsToItself = [](TSortGrid grid) {
    const Texts before = Rows(grid);
    grid.SortByColumn(1);
    grid.SortByColumn(0);
    return Rows(grid) == before;
  };
  EXPECT_TRUE(tab.InSortOrder({1, 0}));
  EXPECT_TRUE(sortsToItself(tab));
  // As text, "10" goes before "2".
  tab.SortOptions.SortStyle = ssNormal;
  EXPECT_FALSE(tab.InSortOrder({1, 0}));
  EXPECT_FALSE(sortsToItself(tab));
  tab.SortOptions.SortStyle = ssAutomatic;
  EXPECT_FALSE(tab.InSortOrder({1, 0}));
  tab.SortOptions.SortStyle = ssNumeric;
  // Out of order within a disc, and across discs.
  tab.ExchangeRows(3, 4);
  EXPECT_FALSE(tab.InSortOrder({1, 0}));
  EXPECT_FALSE(sortsToItself(tab));
  tab.ExchangeRows(3, 4);
  tab.ExchangeRows(2, 3);
  EXPECT_FALSE(tab.InSortOrder({1, 0}));
  tab.ExchangeRows(2, 3);
  // A secondary column takes part: sorting by 0 also sorts by 2 within equal discs, where
  // a number goes before a text that does not read as one.
  tab.SecondaryIndex = "2";
  tab.SetCells(2, 2, "9");
  EXPECT_FALSE(tab.InSortOrder({1, 0}));
  EXPECT_FALSE(sortsToItself(tab));
  tab.SecondaryIndex.clear();
  EXPECT_TRUE(tab.InSortOrder({1, 0}));
  tab.SortOptions.SortDirection = sdDescending;
  EXPECT_FALSE(tab.InSortOrder({1, 0}));
  tab.SortByColumn(1);
  tab.SortByColumn(0);
  EXPECT_TRUE(tab.InSortOrder({1, 0}));
  EXPECT_TRUE(sortsToItself(tab));
}

TEST(SortGrid, CellsRewrittenManyTimesKeepTheirTexts) {
  TSortGrid tab(4, 101);
  tab.SearchOptions.SearchText = "7";
  for (int round = 0; round < 50; ++round) {
    tab.SetFiltered(false);
    for (int r = 1; r <= 100; ++r) tab.SetCells(3, r, "title " + std::to_string(r * 1000 + round));
    // Rows move between rewrites, and some are set aside by a filter meanwhile.
    tab.ExchangeRows(1 + round, 100 - round);
    tab.SetFiltered(true);
    for (int r = 1; r < tab.RowCount(); ++r) tab.SetCells(2, r, "kept " + std::to_string(round));
  }
  tab.SetFiltered(false);
  std::vector<std::string> titles = Column(tab, 3);
  std::sort(titles.begin(), titles.end());
  Texts want;
  for (int r = 1; r <= 100; ++r) want.push_back("title " + std::to_string(r * 1000 + 49));
  std::sort(want.begin(), want.end());
  EXPECT_EQ(titles, want);
}

TEST(SortGrid, SortWithoutTwoDataRowsChangesNothing) {
  TSortGrid tab = Grid({"b"});
  std::vector<std::string> events;
  tab.OnBeginSort = [&](TSortGrid*, int c) { events.push_back("begin " + std::to_string(c)); };
  tab.OnEndSort = [&](TSortGrid*, int c) { events.push_back("end " + std::to_string(c)); };
  tab.SortOptions.SortStyle = ssAutomatic;
  tab.SortByColumn(1);
  EXPECT_EQ(Column(tab, 0), (Texts{"b"}));
  EXPECT_EQ(events, (Texts{"begin 1"}));
  EXPECT_EQ(tab.SortOptions.SortStyle, ssAutomatic);  // nothing was examined
  EXPECT_FALSE(tab.Sorting());
}

TEST(SortGrid, TextSortFoldsCaseUnlessAskedAndKeepsTiesInBothDirections) {
  TSortGrid tab = Grid({"b", "B", "a", "A"});
  tab.SortOptions.SortStyle = ssNormal;
  tab.SortOptions.SortDirection = sdDescending;
  tab.SortByColumn(0);
  EXPECT_EQ(Column(tab, 1), (Texts{"1", "2", "3", "4"}));
  tab.SortOptions.SortCaseSensitive = true;
  tab.SortOptions.SortDirection = sdAscending;
  tab.SortByColumn(0);
  EXPECT_EQ(Column(tab, 0), (Texts{"A", "B", "a", "b"}));
}

TEST(SortGrid, AutomaticStyleIsDetectedAndKept) {
  TSortGrid tab = Grid({"10", "2", "1"});
  tab.SortOptions.SortStyle = ssAutomatic;
  tab.SortByColumn(0);
  EXPECT_EQ(Column(tab, 0), (Texts{"1", "2", "10"}));
  EXPECT_EQ(tab.SortOptions.SortStyle, ssNumeric);
  EXPECT_EQ(tab.DetectSortStyle(1), ssNumeric);
  tab.SetCells(1, 2, "two");
  EXPECT_EQ(tab.DetectSortStyle(1), ssNormal);
}

TEST(SortGrid, HeaderClicksChooseTheDirection) {
  TSortGrid tab = Grid({"b", "c", "a"});
  tab.SortOptions.SortStyle = ssNormal;
  tab.ClickHeader(0, false);  // column 0 is the sort column of a new grid: reversed
  EXPECT_EQ(Column(tab, 0), (Texts{"c", "b", "a"}));
  tab.ClickHeader(0, false);
  EXPECT_EQ(Column(tab, 0), (Texts{"a", "b", "c"}));
  tab.ClickHeader(0, false);
  EXPECT_EQ(Column(tab, 0), (Texts{"c", "b", "a"}));
  tab.ClickHeader(1, false);  // another column: ascending
  EXPECT_EQ(Column(tab, 1), (Texts{"1", "2", "3"}));
  EXPECT_EQ(tab.SortOptions.SortDirection, sdAscending);
  tab.ClickHeader(1, true);
  tab.ClickHeader(1, true);  // the right button always sorts descending
  EXPECT_EQ(Column(tab, 1), (Texts{"3", "2", "1"}));
}

TEST(SortGrid, TypingALetterFindsTheNextRowStartingWithIt) {
  TSortGrid tab = Grid({"apple", "Bee", "avocado", "banana"});
  tab.GoToCell(1, 1);
  std::vector<int> rows;
  for (char c : {'b', 'B', 'a', 'z'}) rows.push_back(tab.GoToLetter(c) ? tab.Row() : -1);
  EXPECT_EQ(rows, (std::vector<int>{2, 4, 1, -1}));  // "a" wraps round to the top
  EXPECT_EQ(tab.Col(), 1);
}

TEST(SortGrid, SecondaryColumnsBreakTiesOfThePrimary) {
  // disc, track, title
  TSortGrid tab(3, 5);
  const Texts discs{"2", "1", "2", "1"}, tracks{"1", "2", "2", "1"};
  for (int r = 1; r <= 4; ++r) {
    tab.SetCells(0, r, discs[r - 1]);
    tab.SetCells(1, r, tracks[r - 1]);
    tab.SetCells(2, r, "row " + std::to_string(r));
  }
  std::vector<int> ended;
  tab.OnEndSort = [&](TSortGrid*, int c) { ended.push_back(c); };
  tab.SortOptions.SortStyle = ssNumeric;
  tab.SecondaryIndex = "1, 0, x, 9";  // the primary and unknown columns are passed over
  tab.SortByColumn(0);
  EXPECT_EQ(Column(tab, 2), (Texts{"row 4", "row 2", "row 1", "row 3"}));
  EXPECT_EQ(ended, (std::vector<int>{1, 0}));
  EXPECT_EQ(tab.SortOptions.SortCol, 0);
}

TEST(SortGrid, SizeChangesReportAndCanResort) {
  TSortGrid tab = Grid({"3", "1"});
  std::vector<std::string> sizes;
  tab.OnSizeChanged = [&](TSortGrid* g, int cols, int rows) {
    sizes.push_back(std::to_string(cols) + "x" + std::to_string(rows) + "->" +
                    std::to_string(g->ColCount()) + "x" + std::to_string(g->RowCount()));
  };
  tab.SortOptions.SortStyle = ssNormal;
  tab.UpdateOnSizeChange = true;
  tab.InsertRow(3);
  // The re-sort on the size change moved the new empty row to the front; no other row was
  // taken for it and emptied.
  EXPECT_EQ(Column(tab, 0), (Texts{"", "1", "3"}));
  tab.SetCells(0, 1, "2");
  tab.SetColCount(3);
  EXPECT_EQ(Column(tab, 0), (Texts{"1", "2", "3"}));
  tab.UpdateOnSizeChange = false;
  tab.Clear();  // the update batch keeps the sort off
  EXPECT_EQ(sizes, (Texts{"2x3->2x4", "2x4->3x4", "3x4->3x2"}));
}

TEST(SortGrid, UpdatesBatchTheChangeNotice) {
  TSortGrid tab = Grid({"b", "a"});
  int changes = 0;
  tab.OnChanged = [&](TSortGrid*) { ++changes; };
  tab.SetCells(0, 1, "c");
  EXPECT_EQ(changes, 1);
  tab.BeginUpdate();
  tab.SetCells(0, 1, "d");
  tab.InsertRow(1);
  tab.SortByColumn(0);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(tab.UpdateOnSizeChange);
  tab.EndUpdate();
  EXPECT_EQ(changes, 2);
  tab.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(changes, 2);
}

TEST(SortGrid, ColumnOperationsMirrorTheRowOnes) {
  TSortGrid tab(3, 2);
  for (int c = 0; c < 3; ++c) tab.SetCells(c, 1, std::string(1, char('a' + c)));
  std::vector<std::string> events;
  tab.OnColumnInsert = [&](TSortGrid*, int i) { events.push_back("insert " + std::to_string(i)); };
  tab.OnColumnDelete = [&](TSortGrid*, int i) { events.push_back("delete " + std::to_string(i)); };
  tab.SortOptions.SortCol = 1;  // column "b"
  tab.InsertColumn(0);
  EXPECT_EQ(tab.SortOptions.SortCol, 2);
  tab.MoveColumn(2, 0);
  EXPECT_EQ(tab.SortOptions.SortCol, 0);
  tab.ExchangeColumns(0, 3);
  EXPECT_EQ(tab.SortOptions.SortCol, 3);
  std::string row;
  for (int c = 0; c < tab.ColCount(); ++c) row += tab.Cells(c, 1) + ",";
  EXPECT_EQ(row, "c,,a,b,");
  EXPECT_EQ(tab.Cells(tab.SortOptions.SortCol, 1), "b");
  tab.DeleteColumn(1);
  tab.DeleteColumn(2);
  tab.DeleteColumn(0);
  tab.DeleteColumn(0);  // the last column stays
  EXPECT_EQ(tab.ColCount(), 1);
  EXPECT_EQ(tab.Cells(0, 1), "a");
  EXPECT_EQ(events, (Texts{"insert 0", "delete 1", "delete 2", "delete 0"}));
}

TEST(SortGrid, SearchFindsTheNextRowHoldingTheText) {
  TSortGrid tab(3, 1);
  tab.SetRowCount(5);
  const Texts cells{"Alpha", "x", "x", "beta", "x", "x", "x", "x", "ALPHABET", "x", "x", "x"};
  for (int i = 0; i < 12; ++i) tab.SetCells(i % 3, i / 3 + 1, cells[i]);
  tab.SearchOptions.SearchText = "alpha";
  EXPECT_EQ(tab.Search(1), 1);
  EXPECT_EQ(tab.Search(2), 3);
  EXPECT_EQ(tab.Search(4), -1);
  EXPECT_EQ(tab.Col(), 2);  // where the last match was
  EXPECT_EQ(tab.Row(), 3);
  tab.SearchOptions.CaseSensitive = true;
  EXPECT_EQ(tab.Search(1), -1);
  tab.SearchOptions.SearchText = "Alpha";
  tab.SearchOptions.SearchCol = 2;
  EXPECT_EQ(tab.Search(1), -1);
  tab.SearchOptions.SearchCol = 0;
  EXPECT_EQ(tab.Search(1), 1);
}

TEST(SortGrid, FilterSetsRowsAsideAndBringsThemBack) {
  TSortGrid tab = Grid({"pop b", "rock", "pop a", "jazz", "POP c"});
  tab.SortOptions.SortStyle = ssNormal;
  tab.SearchOptions.SearchText = "pop";
  tab.SearchOptions.SearchCol = 0;
  tab.SetFiltered(true);
  EXPECT_TRUE(tab.Filtered());
  EXPECT_EQ(Column(tab, 0), (Texts{"pop a", "pop b", "POP c"}));
  tab.SetFiltered(false);
  EXPECT_EQ(Column(tab, 0), (Texts{"jazz", "pop a", "pop b", "POP c", "rock"}));

  tab.SearchOptions.SearchText = "blues";
  tab.SetFiltered(true);
  EXPECT_EQ(Column(tab, 0), (Texts{""}));  // nothing matched: one empty row
  tab.SetFiltered(false);
  EXPECT_EQ(Column(tab, 0), (Texts{"jazz", "pop a", "pop b", "POP c", "rock"}));
}

TEST(SortGrid, RowMarksFollowClicksAndStartOverOnRemoval) {
  TSortGrid tab = Grid({"a", "b", "c", "d", "e"});
  EXPECT_EQ(MarkList(tab), "NYNNNN");
  tab.Marks().MarkOnly(2);
  tab.Marks().Toggle(4);  // newly marked: the anchor
  EXPECT_EQ(tab.Marks().Anchor(), 4);
  tab.Marks().MarkRangeTo(3);
  EXPECT_EQ(MarkList(tab), "NNNYYN");
  tab.InsertRow(6);
  EXPECT_EQ(MarkList(tab), "NNNYYNN");
  tab.DeleteRow(6);
  EXPECT_EQ(MarkList(tab), "NYNNNN");
}

}  // namespace
