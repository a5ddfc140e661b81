#include "GridText.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

namespace {

std::string Text(const TGridText& store, TGridText::TCell cell) {
  TGridText::TScratch scratch;
  return std::string(store.View(cell, scratch));
}

TEST(GridText, PlainNumbersAreHeldAsNumbersAndEveryTextReadsBackAsWritten) {
  TGridText store;
  for (const char* number : {"0", "7", "20", "999999999999999"}) {
    const TGridText::TCell cell = store.Store(number);
    EXPECT_TRUE(TGridText::IsNumber(cell)) << number;
    EXPECT_EQ(Text(store, cell), number);
  }
  EXPECT_EQ(TGridText::Number(store.Store("42")), 42u);
  EXPECT_EQ(store.Size(), 0u);
  // Texts that only look like numbers keep their spelling.
  const std::string longText(300, 'a');
  for (const char* text : {"007", "-1", "+1", "1.5", " 1", "1 ", "1000000000000000", "x",
                           "Artist/Album/01 Song.mp3", longText.c_str()}) {
    const TGridText::TCell cell = store.Store(text);
    EXPECT_FALSE(TGridText::IsNumber(cell)) << text;
    EXPECT_EQ(Text(store, cell), text);
  }
  EXPECT_EQ(store.Store(""), TGridText::kEmpty);
  EXPECT_EQ(Text(store, TGridText::kEmpty), "");
  // Bytes that are not text, a NUL among them, survive too.
  const std::string binary("a\0b\xff", 4);
  EXPECT_EQ(Text(store, store.Store(binary)), binary);
}

TEST(GridText, StoringATextItHoldsCopiesItBeforeTheBufferMoves) {
  TGridText store;
  std::vector<TGridText::TCell> cells{store.Store("a text the buffer holds already")};
  TGridText::TScratch scratch;
  for (int i = 0; i < 200; ++i) cells.push_back(store.Store(store.View(cells.back(), scratch)));
  for (TGridText::TCell cell : cells)
    EXPECT_EQ(Text(store, cell), "a text the buffer holds already");
}

TEST(GridText, CollectDropsReleasedTextsAndMovesTheLiveOnes) {
  TGridText store;
  std::vector<TGridText::TCell> cells(100);
  for (int round = 0; round < 200; ++round) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      store.Release(cells[i]);
      cells[i] = store.Store("row " + std::to_string(i) + " round " + std::to_string(round));
    }
    store.Collect({std::span(cells)});
  }
  for (std::size_t i = 0; i < cells.size(); ++i) {
    EXPECT_EQ(Text(store, cells[i]), "row " + std::to_string(i) + " round 199");
  }
  // Without collecting, 200 rounds would hold some 500 kB.
  EXPECT_LT(store.Size(), 200'000u);
}

}  // namespace
