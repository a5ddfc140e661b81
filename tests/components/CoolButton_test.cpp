#include "CoolButton.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

#include "ColorValue.h"
#include "GlyphCache.h"
#include "GlyphList.h"
#include "PlainWindow.h"

namespace {

const QColor kKey(255, 0, 255);      // transparent colour of the test strips
const QColor kBehind(0, 0, 255);     // what the window shows behind a button
const QColor kUp(200, 0, 0);         // cell 0
const QColor kPressed(0, 160, 0);    // cell 2
const QColor kExclusive(0, 90, 90);  // cell 3

// A strip of cells of w x h; in every cell the two left columns are the key colour, the
// rest its own colour. Cell 1 is the usual disabled cell: white top half, grey bottom half.
QImage Strip(int cells, int w, int h) {
  QImage img(cells * w, h, QImage::Format_RGB32);
  const QColor fills[] = {kUp, QColor(255, 255, 255), kPressed, kExclusive};
  QPainter p(&img);
  for (int c = 0; c < cells; ++c) {
    p.fillRect(c * w, 0, w, h, fills[c]);
    if (c == 1) p.fillRect(c * w, h / 2, w, h - h / 2, QColor(128, 128, 128));
    p.fillRect(c * w, 0, 2, h, kKey);
  }
  return img;
}

// A window with a plain background and one 21 x 19 button at (10, 10).
struct ButtonFixture : ::testing::Test {
  PlainWindow window{80, 60, kBehind};
  TCoolButton* button = nullptr;
  int clicks = 0;

  void SetUp() override {
    button = new TCoolButton(&window);
    button->setGeometry(10, 10, 21, 19);
    button->SetNumGlyphs(3);
    button->SetGlyph(Strip(3, 21, 19));
    button->OnClick = [this](QObject*) { ++clicks; };
    ASSERT_TRUE(window.ShowAndWait());
  }
  // Colour of an opaque pixel of the button as the window shows it.
  QColor Face() {
    QCoreApplication::processEvents();
    return window.grab().toImage().pixelColor(10 + 10, 10 + 9);
  }
  QColor KeyPixel() { return window.grab().toImage().pixelColor(10, 10 + 9); }
  // Mouse actions in the button's coordinates. Without a button held a move goes through
  // the window like a real pointer; with one held it goes to the pressed button.
  void Move(int x, int y) {
    if (QGuiApplication::mouseButtons() == Qt::NoButton && !button->Dragging()) {
      QCursor::setPos(-500, -500);  // a pointer that does not move sends no event
    }
    QTest::mouseMove(button, QPoint(x, y));
  }
  void Press(int x, int y) { QTest::mousePress(button, Qt::LeftButton, {}, QPoint(x, y)); }
  void Release(int x, int y) { QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(x, y)); }
  void Click(TCoolButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 5)); }
};

}  // namespace

TEST(CoolButtonTest, StripShapeSetsTheCellCount) {
  TCoolButton b;
  b.SetGlyph(Strip(3, 20, 20));  // square cells: their count
  EXPECT_EQ(b.NumGlyphs(), 3);
  b.SetGlyph(QImage(100, 20, QImage::Format_RGB32));  // five squares: one cell
  EXPECT_EQ(b.NumGlyphs(), 1);
  b.SetNumGlyphs(3);
  b.SetGlyph(Strip(3, 21, 19));  // not square: count kept
  EXPECT_EQ(b.NumGlyphs(), 3);
  b.SetNumGlyphs(9);
  EXPECT_EQ(b.NumGlyphs(), 4);
  b.SetNumGlyphs(0);
  EXPECT_EQ(b.NumGlyphs(), 1);
}

TEST_F(ButtonFixture, StripCellFillsTheButtonAndKeyPixelsShowTheWindow) {
  EXPECT_EQ(Face(), kUp);
  EXPECT_EQ(KeyPixel(), kBehind);
  // A strip one pixel too wide for three cells: the remainder is never shown.
  QImage wide(64, 19, QImage::Format_RGB32);
  wide.fill(QColor(9, 9, 9));
  QPainter(&wide).drawImage(0, 0, Strip(3, 21, 19));
  button->SetGlyph(wide);
  EXPECT_EQ(button->NumGlyphs(), 3);
  const QImage shot = window.grab().toImage();
  EXPECT_EQ(shot.pixelColor(30, 15), kUp);
  EXPECT_EQ(shot.pixelColor(31, 15), kBehind);
}

TEST_F(ButtonFixture, PressShowsCellTwoOnlyOverOpaquePixels) {
  Move(1, 5);  // key-colour column
  EXPECT_FALSE(button->MouseInControl());
  Move(10, 5);
  EXPECT_TRUE(button->MouseInControl());
  EXPECT_EQ(Face(), kUp);  // hover alone looks like up with three cells

  Press(10, 5);
  EXPECT_TRUE(button->Dragging());
  EXPECT_EQ(Face(), kPressed);

  Move(1, 5);
  EXPECT_FALSE(button->MouseInControl());
  EXPECT_EQ(Face(), kUp);
  Move(15, 2);
  EXPECT_EQ(Face(), kPressed);
  Move(1, 5);

  Release(1, 5);
  EXPECT_EQ(clicks, 1);  // still inside the button
  EXPECT_FALSE(button->Dragging());

  // After a click the button is up until the pointer moves again.
  Move(10, 5);
  Press(10, 5);
  Release(10, 5);
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(button->MouseInControl());
  EXPECT_EQ(Face(), kUp);
  Move(11, 5);
  EXPECT_TRUE(button->MouseInControl());
}

TEST_F(ButtonFixture, ReleaseOnTheBottomEdgeRowClicksButNotRightOfTheButton) {
  Press(10, 5);
  Release(10, 19);
  EXPECT_EQ(clicks, 1);

  Press(10, 5);
  Move(21, 5);
  EXPECT_EQ(Face(), kUp);
  Release(21, 5);
  EXPECT_EQ(clicks, 1);
  Press(10, 5);
  Release(10, 20);
  EXPECT_EQ(clicks, 1);

  // Right button: mouse events only, no click.
  int ups = 0;
  button->OnMouseUp = [&](QObject*, TMouseButton b, TShiftState, int, int) {
    EXPECT_EQ(b, mbRight);
    ++ups;
  };
  QTest::mouseClick(button, Qt::RightButton, {}, QPoint(10, 5));
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonFixture, DisabledButtonsRecolourCellOneOrEmbossCellZero) {
  button->setEnabled(false);
  QImage shot = window.grab().toImage();
  const QColor highlight = ColorToQColor(clBtnHighlight);
  const QColor shadow = ColorToQColor(clBtnShadow);
  EXPECT_EQ(shot.pixelColor(20, 12), highlight);  // white top half
  EXPECT_EQ(shot.pixelColor(20, 26), shadow);     // grey bottom half
  EXPECT_EQ(shot.pixelColor(10, 12), kBehind);    // key colour went to face, then clear
  Click(button);
  EXPECT_EQ(clicks, 0);

  QImage single(21, 19, QImage::Format_RGB32);
  single.fill(kKey);
  QPainter(&single).fillRect(5, 5, 8, 8, Qt::black);
  button->SetGlyph(single);
  EXPECT_EQ(button->NumGlyphs(), 3);
  button->SetNumGlyphs(1);
  shot = window.grab().toImage();
  EXPECT_EQ(shot.pixelColor(10 + 8, 10 + 8), shadow);       // the shape
  EXPECT_EQ(shot.pixelColor(10 + 13, 10 + 13), highlight);  // its lit edge, one pixel off
  EXPECT_EQ(shot.pixelColor(10 + 2, 10 + 2), kBehind);

  button->setEnabled(true);
  EXPECT_EQ(window.grab().toImage().pixelColor(10 + 8, 10 + 8), QColor(Qt::black));
}

TEST_F(ButtonFixture, GlyphBottomLayoutPlacesASmallCell) {
  QImage small(9, 10, QImage::Format_RGB32);
  small.fill(kUp);
  small.setPixelColor(0, 9, kKey);
  button->setGeometry(10, 10, 13, 19);
  button->SetGlyph(small);
  button->SetNumGlyphs(1);
  button->SetLayout(blGlyphBottom);
  // Left (13 - 9 + 1) div 2 = 2; margin (19 - 10 + 1) div 2 = 5 gives top 19 - 5 - 10 = 4.
  QImage shot = window.grab().toImage();
  EXPECT_EQ(shot.pixelColor(10 + 2, 10 + 4), kUp);
  EXPECT_EQ(shot.pixelColor(10 + 1, 10 + 4), kBehind);
  EXPECT_EQ(shot.pixelColor(10 + 2, 10 + 3), kBehind);
  EXPECT_EQ(shot.pixelColor(10 + 10, 10 + 12), kUp);
  EXPECT_EQ(shot.pixelColor(10 + 10, 10 + 14), kBehind);
  button->SetMargin(0);
  shot = window.grab().toImage();
  EXPECT_EQ(shot.pixelColor(10 + 5, 10 + 18), kUp);
  EXPECT_EQ(shot.pixelColor(10 + 5, 10 + 8), kBehind);
}

TEST_F(ButtonFixture, LoadingAFileKeepsTheCellCount) {
  QTemporaryDir dir;
  const QString path = dir.filePath("btn.bmp");
  ASSERT_TRUE(Strip(4, 21, 19).save(path, "BMP"));
  EXPECT_TRUE(button->LoadGlyph(path.toStdString()));
  EXPECT_EQ(button->NumGlyphs(), 3);
  EXPECT_EQ(button->Glyph().width(), 84);

  QFile broken(dir.filePath("broken.bmp"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("BM\x10\x00\x00\x00garbage");
  broken.close();
  EXPECT_FALSE(button->LoadGlyph(broken.fileName().toStdString()));
  EXPECT_FALSE(button->LoadGlyph(dir.filePath("missing.bmp").toStdString()));
  EXPECT_EQ(button->Glyph().width(), 84);
}

TEST_F(ButtonFixture, GroupedButtonsLatchOneAtATime) {
  auto* second = new TCoolButton(&window);
  second->setGeometry(40, 10, 21, 19);
  second->SetGlyph(Strip(4, 21, 19));
  second->show();
  button->SetGlyph(Strip(4, 21, 19));
  button->SetNumGlyphs(4);
  int dbl = 0;
  button->OnDblClick = [&](QObject*) { ++dbl; };

  button->SetDown(true);
  EXPECT_FALSE(button->Down());  // no group, never down

  button->SetGroupIndex(1);
  second->SetGroupIndex(1);
  Click(button);
  EXPECT_TRUE(button->Down());
  Move(10, 5);
  EXPECT_EQ(Face(), kExclusive);  // latched and hovered: cell 3
  QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(10, 5));
  Release(10, 5);
  EXPECT_EQ(dbl, 1);
  EXPECT_TRUE(button->Down());

  Click(second);
  EXPECT_TRUE(second->Down());
  EXPECT_FALSE(button->Down());

  Click(second);
  EXPECT_TRUE(second->Down()) << "the last one down stays down";

  button->SetAllowAllUp(true);
  EXPECT_TRUE(second->AllowAllUp());
  Click(second);
  EXPECT_FALSE(second->Down());
  EXPECT_EQ(clicks, 2);  // the first button's click and double click; the second has no handler
}

TEST(GlyphCacheTest, ButtonsOfOneCellSizeShareAList) {
  const auto cache = TGlyphCache::Shared();
  ASSERT_TRUE(cache->Empty());
  {
    QWidget window;
    auto* a = new TCoolButton(&window);
    auto* b = new TCoolButton(&window);
    auto* c = new TCoolButton(&window);
    for (TCoolButton* btn : {a, b, c}) btn->SetNumGlyphs(3);
    a->SetGlyph(Strip(3, 21, 19));
    b->SetGlyph(Strip(3, 21, 19));
    c->SetGlyph(Strip(3, 15, 13));
    for (TCoolButton* btn : {a, b, c}) btn->grab();
    EXPECT_EQ(cache->ListCount(), 2);
    TGlyphList* shared = cache->GetList(21, 19);
    EXPECT_EQ(shared->Count(), 2);

    b->setEnabled(false);  // prepares its disabled image at once
    EXPECT_EQ(shared->Count(), 3);
    c->SetGlyph(QImage());  // the 15 x 13 list loses its only image
    EXPECT_EQ(cache->ListCount(), 1);
  }
  EXPECT_TRUE(cache->Empty());
}

TEST(GlyphListTest, FreedSlotsAreReusedAndMaskedPixelsCleared) {
  TGlyphList list(2, 1);
  QImage img(2, 1, QImage::Format_RGB32);
  img.setPixelColor(0, 0, kKey);
  img.setPixelColor(1, 0, kUp);
  EXPECT_EQ(list.Add(img, kKey.rgb()), 0);
  EXPECT_EQ(list.Add(img, kKey.rgb()), 1);
  EXPECT_EQ(list.Add(img, kKey.rgb()), 2);
  list.Delete(1);
  list.Delete(1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_TRUE(list.Image(1).isNull());
  EXPECT_EQ(list.Add(img, kKey.rgb()), 1);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(qAlpha(list.Image(1).pixel(0, 0)), 0);
  EXPECT_EQ(list.Image(1).pixelColor(1, 0), kUp);
}
