// Album-table operations over 100,000 songs: sorting a column and a full shuffle pass
// (every row swapped with a random one), as the shuffle mode does. Goal: each under 100 ms.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "SortGrid.h"

namespace {

constexpr int kSongs = 100000;

// An album table of 5,000 discs of 20 songs, in album order.
TSortGrid AlbumTable() {
  TSortGrid tab(4, kSongs + 1);
  for (int r = 1; r <= kSongs; ++r) {
    const int disc = (r - 1) / 20 + 1, track = (r - 1) % 20 + 1;
    tab.SetCells(0, r, std::to_string(disc));
    tab.SetCells(1, r, std::to_string(track));
    tab.SetCells(
        2, r, "/Artist/Album " + std::to_string(disc) + "/" + std::to_string(track) + " Track.mp3");
  }
  tab.SortOptions.SortStyle = ssNumeric;
  return tab;
}

void ShufflePass(TSortGrid& tab, std::mt19937& random) {
  const int last = tab.RowCount() - 1;
  std::uniform_int_distribution<int> pick(1, last);
  for (int r = 1; r <= last; ++r) tab.ExchangeRows(r, pick(random));
}

void BM_ShufflePass(benchmark::State& state) {
  TSortGrid tab = AlbumTable();
  std::mt19937 random(1);
  for (auto _ : state) ShufflePass(tab, random);
}
BENCHMARK(BM_ShufflePass)->Unit(benchmark::kMillisecond);

// Sorts a shuffled table by column 0 (disc numbers) or column 2 (paths, as text).
void BM_SortByColumn(benchmark::State& state) {
  const int col = int(state.range(0));
  TSortGrid tab = AlbumTable();
  if (col == 2) tab.SortOptions.SortStyle = ssNormal;
  std::mt19937 random(2);
  for (auto _ : state) {
    state.PauseTiming();
    ShufflePass(tab, random);
    state.ResumeTiming();
    tab.SortByColumn(col);
  }
}
BENCHMARK(BM_SortByColumn)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
