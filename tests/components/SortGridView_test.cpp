#include "SortGridView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <string>
#include <vector>

#include "SortGridPainter.h"

namespace {

using Texts = std::vector<std::string>;

// A shown view over a grid with a header row, no fixed column, and the given texts in
// column 0 (column 1 holds each row's first place).
class GridView : public ::testing::Test {
 protected:
  void Make(const Texts& keys, int cols = 2) {
    grid = std::make_unique<TSortGrid>(cols, int(keys.size()) + 1);
    grid->SetFixedCols(0);
    for (int c = 0; c < cols; ++c) grid->SetCells(c, 0, "Head " + std::to_string(c));
    for (std::size_t i = 0; i < keys.size(); ++i) {
      grid->SetCells(0, int(i) + 1, keys[i]);
      grid->SetCells(1, int(i) + 1, std::to_string(i + 1));
    }
    view = std::make_unique<TSortGridView>(grid.get());
    QPalette p = view->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0, 0, 128));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Light, QColor(250, 250, 250));
    p.setColor(QPalette::Dark, QColor(100, 100, 100));
    p.setColor(QPalette::Button, QColor(200, 200, 200));
    view->setPalette(p);
    view->SetDefaultRowHeight(20);
    view->resize(300, 200);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
  }
  QWidget* Port() { return view->viewport(); }
  QPoint At(int col, int row) { return view->CellRect(col, row).center(); }
  void Click(int col, int row, Qt::KeyboardModifiers mods = {},
             Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(Port(), button, mods, At(col, row));
  }
  // A move with the left button held (QTest's moves carry no buttons).
  void DragTo(QPoint to) {
    QMouseEvent move(QEvent::MouseMove, to, Port()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(Port(), &move);
  }
  Texts Column(int col) {
    Texts out;
    for (int r = 1; r < grid->RowCount(); ++r) out.push_back(grid->Cells(col, r));
    return out;
  }
  std::string Marks() {
    std::string marks;
    for (int r = 1; r < grid->RowCount(); ++r) marks += grid->IsMarked(r) ? 'Y' : 'N';
    return marks;
  }
  QImage Shot() { return Port()->grab().toImage(); }

  std::unique_ptr<TSortGrid> grid;
  std::unique_ptr<TSortGridView> view;
};

TEST_F(GridView, HeaderClicksSortByTheirRules) {
  Make({"b", "c", "a"});
  grid->SortOptions.SortStyle = ssNormal;
  Click(1, 0);  // another column than SortCol: ascending
  EXPECT_EQ(Column(1), (Texts{"1", "2", "3"}));
  EXPECT_EQ(grid->SortOptions.SortCol, 1);
  Click(1, 0);  // the sort column again: reversed
  EXPECT_EQ(Column(1), (Texts{"3", "2", "1"}));
  Click(0, 0);
  EXPECT_EQ(Column(0), (Texts{"a", "b", "c"}));
  Click(0, 0, {}, Qt::RightButton);
  Click(0, 0, {}, Qt::RightButton);  // the right button always sorts descending
  EXPECT_EQ(Column(0), (Texts{"c", "b", "a"}));
  EXPECT_EQ(grid->SortOptions.SortDirection, sdDescending);

  // Pressed in one header and released in another: no sort.
  QTest::mousePress(Port(), Qt::LeftButton, {}, At(1, 0));
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, At(0, 0));
  EXPECT_EQ(Column(0), (Texts{"c", "b", "a"}));

  // Resizing a column by its header's edge does not sort.
  view->Options |= TSortGridView::goColSizing;
  int widthEvents = 0;
  view->OnColumnWidthsChanged = [&](TSortGridView*) { ++widthEvents; };
  const QRect r = view->CellRect(1, 0);
  const QPoint edge(r.right() + 1, r.center().y());
  QTest::mousePress(Port(), Qt::LeftButton, {}, edge);
  DragTo(edge - QPoint(10, 0));
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, edge - QPoint(10, 0));
  EXPECT_EQ(view->ColWidths(1), 54);
  EXPECT_GT(widthEvents, 0);
  EXPECT_EQ(grid->SortOptions.SortCol, 0);
}

TEST_F(GridView, DraggedColumnKeepsTheSortColumn) {
  Make({"b", "a"}, 3);
  view->Options |= TSortGridView::goColMoving;
  view->SetColWidths(1, 80);
  Click(1, 0);
  QTest::mousePress(Port(), Qt::LeftButton, {}, At(1, 0));
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, At(2, 0));
  EXPECT_EQ(grid->Cells(2, 0), "Head 1");
  EXPECT_EQ(grid->SortOptions.SortCol, 2);
  EXPECT_EQ(view->ColWidths(2), 80);  // the width went with it
}

TEST_F(GridView, TypedLetterMovesDownAndWraps) {
  Make({"apple", "Bee", "avocado", "banana"});
  Click(1, 1);
  std::vector<int> rows;
  for (char c : {'b', 'B', 'a', 'A', 'z'}) {
    QTest::keyClick(view.get(), c);
    rows.push_back(grid->Row());
  }
  EXPECT_EQ(rows, (std::vector<int>{2, 4, 1, 3, 3}));
  EXPECT_EQ(grid->Col(), 1);
}

TEST_F(GridView, MarksFollowClicksDragsAndKeys) {
  Make({"a", "b", "c", "d", "e", "f"});
  view->MultiSelect = true;
  EXPECT_EQ(Marks(), "YNNNNN");  // a new grid marks row 1
  Click(0, 2);
  EXPECT_EQ(Marks(), "NYNNNN");
  Click(0, 4, Qt::ControlModifier);  // newly marked: the anchor
  Click(0, 2, Qt::ControlModifier);  // unmarked again
  EXPECT_EQ(Marks(), "NNNYNN");
  Click(0, 6, Qt::ShiftModifier);  // the range from the anchor, other marks cleared
  EXPECT_EQ(Marks(), "NNNYYY");

  QTest::mousePress(Port(), Qt::LeftButton, {}, At(0, 1));
  DragTo(At(0, 3));  // the rows passed
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, At(0, 3));
  EXPECT_EQ(Marks(), "YYYNNN");

  QTest::keyPress(view.get(), Qt::Key_Down);
  EXPECT_EQ(Marks(), "NNNNNN");  // cleared while the key is down
  QTest::keyRelease(view.get(), Qt::Key_Down);
  EXPECT_EQ(Marks(), "NNNYNN");  // the new current row, now the anchor
  QTest::keyClick(view.get(), Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(view.get(), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Marks(), "NNNYYY");
  EXPECT_EQ(grid->Row(), 6);
}

TEST_F(GridView, ExtendedKeysInsertAndDeleteRowsAndColumns) {
  Make({"only"}, 3);
  Click(1, 1);
  QTest::keyClick(view.get(), Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(grid->RowCount(), 2);  // off: nothing
  view->ExtendedKeys = true;
  QTest::keyClick(view.get(), Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(grid->RowCount(), 2);  // one data row stays
  EXPECT_EQ(grid->Cells(0, 1), "only");
  QTest::keyClick(view.get(), Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(Column(0), (Texts{"", "only"}));
  QTest::keyClick(view.get(), Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(Column(0), (Texts{"only"}));

  view->SetColWidths(2, 90);
  QTest::keyClick(view.get(), Qt::Key_Insert, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(grid->ColCount(), 4);
  EXPECT_EQ(grid->Cells(2, 0), "Head 1");
  EXPECT_EQ(view->ColWidths(3), 90);
  for (int i = 0; i < 5; ++i) {
    QTest::keyClick(view.get(), Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
  }
  EXPECT_EQ(grid->ColCount(), 1);  // the last column stays
}

TEST_F(GridView, EditorStoresChangedTextsAndSetsTheModifiedFlag) {
  Make({"one", "two"});
  view->Options |= TSortGridView::goEditing;
  Click(0, 1);
  QTest::keyClick(view.get(), Qt::Key_F2);
  ASSERT_TRUE(view->EditorMode());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // the same text
  EXPECT_FALSE(grid->Modified());
  QTest::keyClick(view.get(), Qt::Key_F2);
  QTest::keyClicks(QApplication::focusWidget(), "uno");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(grid->Cells(0, 1), "one");
  EXPECT_FALSE(grid->Modified());
  QTest::mouseDClick(Port(), Qt::LeftButton, {}, At(0, 2));
  ASSERT_TRUE(view->EditorMode());
  QTest::keyClicks(QApplication::focusWidget(), "dos");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
  EXPECT_EQ(grid->Cells(0, 2), "dos");
  EXPECT_TRUE(grid->Modified());
  grid->Clear();
  EXPECT_FALSE(grid->Modified());
}

TEST_F(GridView, GoToCellPutsTheRowNearTheTop) {
  Texts keys;
  for (int i = 0; i < 100; ++i) keys.push_back(std::to_string(i));
  Make(keys);
  const int visible = view->VisibleRowCount();
  ASSERT_GT(visible, 3);
  view->GoToCell(1, 50);
  EXPECT_EQ(view->TopRow(), 49);
  EXPECT_EQ(grid->Row(), 50);
  view->GoToCell(-3, 100);
  EXPECT_EQ(view->TopRow(), 101 - visible);
  EXPECT_EQ(grid->Col(), 0);
  // Keys scroll only as far as shows the current row.
  QTest::keyClick(view.get(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(view->TopRow(), 1);
  QTest::keyClick(view.get(), Qt::Key_PageDown);
  EXPECT_EQ(grid->Row(), 1 + visible);
  EXPECT_EQ(view->TopRow(), 2);
  QTest::keyClick(view.get(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(grid->Row(), 100);
  EXPECT_EQ(view->TopRow(), 101 - visible);
  EXPECT_EQ(view->verticalScrollBar()->value(), 101 - visible);
  EXPECT_EQ(view->verticalScrollBar()->pageStep(), visible);
  EXPECT_FALSE(view->horizontalScrollBar()->isVisible());  // both columns fit
  view->SetProportionalScrollBars(false);
  EXPECT_EQ(view->verticalScrollBar()->pageStep(), 1);
}

TEST_F(GridView, AutoSizeFitsTheWidestTextAndTheArrow) {
  Make({"a", "a much longer text"}, 3);
  const QFontMetrics m(view->font());
  view->AutoSizeColumns();
  EXPECT_EQ(view->ColWidths(0), m.horizontalAdvance("a much longer text") + 12 +
                                    m.horizontalAdvance("X"));  // the sort column
  EXPECT_EQ(view->ColWidths(1), m.horizontalAdvance("Head 1") + m.horizontalAdvance("X"));
  grid->SetCells(2, 0, "");
  view->AutoSizeColumn(2);
  EXPECT_EQ(view->ColWidths(2), m.horizontalAdvance("xx"));
}

// Only a few texts are shaped; the width must still be the widest shaped one, whether it is
// widest by kerning, by wide letters, or by characters that have no bound.
TEST_F(GridView, AutoSizeFindsTheWidestAmongManyTexts) {
  Texts keys;
  for (int i = 0; i < 300; ++i) keys.push_back("Disc " + std::to_string(i) + "/Song.mp3");
  for (const char* text :
       {"AVAVAVAVAVAVAVAVAV", "WAWAWAWAWAWAW", "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiii",
        "To To To Ty Ty Ty Va Va", "WWWWWWWWWWWWWWW", "Dvořák ÆÆÆÆÆÆÆÆÆÆÆÆÆÆÆÆ"}) {
    keys.push_back(text);
    keys.push_back(text);
  }
  for (const Texts& order : {keys, Texts(keys.rbegin(), keys.rend())}) {
    Make(order);
    const QFontMetrics m(view->font());
    int widest = m.horizontalAdvance("Head 0");
    for (const std::string& k : order) {
      widest = std::max(widest, m.horizontalAdvance(QString::fromStdString(k)));
    }
    view->AutoSizeColumn(0);
    EXPECT_EQ(view->ColWidths(0), widest + 12 + m.horizontalAdvance("X"));
  }
}

// The bounds of the pixels of colour c inside rect.
QRect Ink(const QImage& img, const QRect& rect, QColor c) {
  QRect box;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      if (img.pixelColor(x, y) == c) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

TEST_F(GridView, TextSitsByTheAlignmentMargins) {
  Make({"HH"});
  view->SetColWidths(0, 120);
  view->SetDefaultRowHeight(40);
  view->OnGetCellFormat = [](TSortGridView*, int, int, TGridDrawState, TFormatOptions& f) {
    f.Brush = Qt::white;
    f.FontColor = Qt::red;
    f.Font.setStyleStrategy(QFont::NoAntialias);  // every inked pixel exactly red
  };
  const QRect cell = view->CellRect(0, 1);
  const QFontMetrics m(view->font());
  struct Case {
    TAlignment h;
    TAlignmentVert v;
  };
  for (const Case& k : {Case{taLeftJustify, taTopJustify}, Case{taRightJustify, taBottomJustify},
                        Case{taCenter, taMiddle}}) {
    view->AlignmentHorz = k.h;
    view->AlignmentVert = k.v;
    const QRect ink = Ink(Shot(), cell, Qt::red);
    ASSERT_FALSE(ink.isEmpty());
    const QPoint at =
        TSortGridPainter::TextPlace(cell, QSize(m.horizontalAdvance("HH"), m.height()), k.h, k.v);
    // The letter's ink starts within its side bearing of the place.
    EXPECT_NEAR(ink.left(), at.x(), 2) << k.h;
    EXPECT_GE(ink.top(), at.y()) << k.v;
    EXPECT_LE(ink.bottom(), at.y() + m.height()) << k.v;
  }
  EXPECT_EQ(TSortGridPainter::TextPlace(QRect(10, 20, 100, 50), QSize(30, 12), taLeftJustify,
                                        taTopJustify),
            QPoint(12, 22));
  EXPECT_EQ(TSortGridPainter::TextPlace(QRect(10, 20, 100, 50), QSize(30, 12), taRightJustify,
                                        taBottomJustify),
            QPoint(78, 55));
}

TEST_F(GridView, LongHeadersEndInTwoFullStops) {
  Make({"x"}, 3);
  const std::string text = "A heading far too long for its column";
  grid->SetCells(1, 0, text);
  view->SetColWidths(1, 70);
  const QFontMetrics m(view->font());
  const QString cut = TSortGridPainter::CutText(QString::fromStdString(text), m, 70 - 4);
  ASSERT_TRUE(cut.endsWith(".."));
  EXPECT_TRUE(QString::fromStdString(text).startsWith(cut.chopped(2)));
  EXPECT_LE(m.horizontalAdvance(cut), 66);
  EXPECT_EQ(TSortGridPainter::CutText("Abcdefgh", m, 1), "Abc..");  // three kept at least
  // What is drawn is the cut text: the same as a header that holds it whole.
  const QRect cell = view->CellRect(1, 0);
  const QImage cutShot = Shot().copy(cell);
  grid->SetCells(1, 0, cut.toStdString());
  EXPECT_EQ(Shot().copy(cell), cutShot);
}

TEST_F(GridView, SortColumnHeaderShowsItsArrow) {
  Make({"b", "a"});
  grid->SortOptions.SortStyle = ssNormal;
  const QColor arrow(64, 64, 64);
  auto arrowAt = [&](int col) {
    const QRect cell = view->CellRect(col, 0);
    const int y = cell.y() + (cell.height() - 7) / 2;
    return Ink(Shot(), QRect(cell.x() + 3, y, 8, 7), arrow).translated(-cell.x() - 3, -y);
  };
  Click(1, 0);
  EXPECT_EQ(arrowAt(1), QRect(0, 0, 8, 7));
  EXPECT_TRUE(arrowAt(0).isEmpty());
  // Ascending: two pixels at the top, a full bottom row; descending the other way up.
  const QRect c = view->CellRect(1, 0);
  const int y = c.y() + (c.height() - 7) / 2;
  const QImage shot = Shot();
  EXPECT_EQ(Ink(shot, QRect(c.x() + 3, y, 8, 1), arrow).width(), 2);
  EXPECT_EQ(Ink(shot, QRect(c.x() + 3, y + 6, 8, 1), arrow).width(), 8);
  Click(1, 0);
  const QImage down = Shot();
  EXPECT_EQ(Ink(down, QRect(c.x() + 3, y, 8, 1), arrow).width(), 8);
  EXPECT_EQ(Ink(down, QRect(c.x() + 3, y + 6, 8, 1), arrow).width(), 2);
}

TEST_F(GridView, MarkedRowsAndBevelsUseTheirColours) {
  Make({"a", "b", "c"});
  view->MultiSelect = true;
  Click(0, 1);
  Click(0, 3, Qt::ShiftModifier);
  const QImage shot = Shot();
  const QColor highlight = view->palette().highlight().color();
  for (int r = 1; r <= 3; ++r) {
    const QRect cell = view->CellRect(1, r);
    EXPECT_EQ(shot.pixelColor(cell.right() - 1, cell.bottom() - 1), highlight) << r;
  }
  Click(0, 2, Qt::ControlModifier);
  const QRect unmarked = view->CellRect(1, 2);
  EXPECT_EQ(Shot().pixelColor(unmarked.right() - 1, unmarked.bottom() - 1), QColor(Qt::white));

  const QColor light(250, 250, 250), dark(100, 100, 100);
  const QRect cell = view->CellRect(1, 2);
  view->BevelStyle = cbRaised;
  QImage raised = Shot();
  EXPECT_EQ(raised.pixelColor(cell.left(), cell.center().y()), light);
  EXPECT_EQ(raised.pixelColor(cell.center().x(), cell.top()), light);
  EXPECT_EQ(raised.pixelColor(cell.right(), cell.center().y()), dark);
  EXPECT_EQ(raised.pixelColor(cell.center().x(), cell.bottom()), dark);
  view->BevelStyle = cbLowered;
  QImage lowered = Shot();
  EXPECT_EQ(lowered.pixelColor(cell.left(), cell.center().y()), dark);
  EXPECT_EQ(lowered.pixelColor(cell.right(), cell.center().y()), light);
  // Without fixed vertical lines only the horizontal edges are drawn.
  view->Options &= ~TSortGridView::goFixedVertLine;
  lowered = Shot();
  EXPECT_EQ(lowered.pixelColor(cell.left(), cell.center().y()), QColor(Qt::white));
  EXPECT_EQ(lowered.pixelColor(cell.center().x(), cell.top()), dark);

  std::vector<TFormatOptions> seen;
  view->OnGetCellFormat = [&](TSortGridView*, int col, int row, TGridDrawState s,
                              TFormatOptions& f) {
    if (col == 1 && row == 2 && !s.Fixed) seen.push_back(f);
  };
  view->BevelStyle = cbNone;
  view->AlignmentHorz = taCenter;
  Shot();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back().HighlightColor, QColor(Qt::white));
  EXPECT_EQ(seen.back().ShadowColor, QColor(Qt::white));
  EXPECT_EQ(seen.back().AlignmentHorz, taCenter);
  EXPECT_FALSE(seen.back().HideText);
}

}  // namespace
