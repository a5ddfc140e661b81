// What a close writes: the 32 keys of Sonavera.ini and the nine colours of Colors.ini, every
// value changed. Before, each write replaced its file on its own (temporary file, fsync,
// rename: 41 replacements); now the writes of one pass are batched into one replacement per
// file. Both run here on the same folder, so their ratio is the gain on this machine.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <string>

#include "MyRegistry.h"

namespace {

void WriteClose(TMyRegistry& ini, const std::string& folder, int value, bool batched) {
  const auto pass = [&](const std::string& file, const char* section, int keys) {
    ini.INIFile = folder + file;
    if (batched) ini.BeginUpdate();
    ini.Open();
    for (int key = 0; key < keys; ++key)
      ini.WriteInteger(section, "Key" + std::to_string(key), value + key);
    if (batched) ini.EndUpdate();
    ini.Close();
  };
  pass("/Sonavera.ini", "General", 32);
  pass("/Colors.ini", "Colors", 9);
}

void Close(benchmark::State& state, bool batched) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  TMyRegistry ini;
  ini.SaveToINI = true;
  int value = 0;
  for (auto _ : state) WriteClose(ini, folder, ++value, batched);
}

void BM_CloseEveryWriteReplaces(benchmark::State& state) { Close(state, false); }
void BM_CloseBatched(benchmark::State& state) { Close(state, true); }

BENCHMARK(BM_CloseEveryWriteReplaces)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CloseBatched)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
