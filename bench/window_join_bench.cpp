// The window's answer to the end of a song on the real engine: the time from the end of
// input (player state 3) to the next song's Play, on the same disc and across a disc
// change with its picture, and the silence this leaves between songs, measured from the
// player's sound recorded through SONAVERA_OUTPUT=wav:... (paced like the null sink).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "Form1.h"
#include "XaudioPlayer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kDiscs = 2;
constexpr int kSongs = 3;
constexpr double kSeconds = 0.8;
constexpr int kRate = 44100;

class TAlbum {
 public:
  TAlbum() {
    if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
    for (int d = 1; d <= kDiscs; ++d) {
      const std::string disc = Root() + "/Disc " + std::to_string(d);
      std::filesystem::create_directories(disc);
      // A cover as big as they come from a shop: its load is part of the disc change.
      QImage cover(1000, 1000, QImage::Format_RGB32);
      cover.fill(QColor::fromHsv(d * 90, 200, 200));
      cover.save(QString::fromStdString(disc + "/cover.jpg"), "JPG", 90);
      for (int s = 1; s <= kSongs; ++s) {
        const std::string mp3 = disc + "/0" + std::to_string(s) + ".mp3";
        const std::string cmd = "sox -q -n -r 44100 -c 2 -b 16 '" + mp3 + ".wav' synth " +
                                std::to_string(kSeconds) + " sine " + std::to_string(300 + 60 * s) +
                                " vol 0.5 && lame --quiet -b 128 '" + mp3 + ".wav' '" + mp3 +
                                "' && rm '" + mp3 + ".wav'";
        if (std::system(cmd.c_str()) != 0) throw std::runtime_error("sox or lame failed");
      }
    }
  }
  std::string Root() const { return dir_.filePath("Music").toStdString(); }
  std::string Recording() const { return dir_.filePath("heard.wav").toStdString(); }

 private:
  QTemporaryDir dir_;
};

size_t RecordedFrames(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly) || file.size() < 44) return 0;
  return static_cast<size_t>(file.size() - 44) / 4;
}

// Plays the whole album in Album mode with the picture page showing; `answers` gets the
// milliseconds each end-of-input handler took, disc changes flagged.
size_t PlayAlbum(const TAlbum& album, std::vector<double>& sameDisc,
                 std::vector<double>& discChange) {
  setenv("SONAVERA_OUTPUT", ("wav:" + album.Recording()).c_str(), 1);
  {
    TForm1 form(SONAVERA_SOURCE_DIR "/assets/runtime/", TXaudioEntryPoints::Engine());
    TForm1::ShowMessage = [](const std::string& text) { throw std::runtime_error(text); };
    form.modemodebtnClick();
    form.ShowPage("page1");
    form.Session.Scanner.SourceRoot = album.Root();
    form.LoadAlbum();
    const auto handler = form.XAudio->OnNotifyPlayerState;
    int ends = 0;
    form.XAudio->OnNotifyPlayerState = [&](TXaudioPlayer* sender, int32_t state) {
      // The song opened at the end, not the one still heard, tells a disc change.
      const int disc = form.Session.DiscOf(form.Session.SongRow());
      const auto start = Clock::now();
      handler(sender, state);
      if (state != XA_PLAYER_STATE_EOF) return;
      const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      ++ends;
      if (ends < kDiscs * kSongs)
        (form.Session.DiscOf(form.Session.SongRow()) == disc ? sameDisc : discChange).push_back(ms);
    };
    QElapsedTimer timer;
    timer.start();
    while (ends < kDiscs * kSongs && timer.elapsed() < 30000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    // The last song's end plays out before the player is closed.
    const qint64 closing = timer.elapsed() + 300;
    while (timer.elapsed() < closing) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  unsetenv("SONAVERA_OUTPUT");
  return RecordedFrames(album.Recording());
}

void BM_WindowAnswersTheEndOfASong(benchmark::State& state) {
  const TAlbum album;
  std::vector<double> sameDisc, discChange;
  double gapMs = 0;
  for (auto _ : state) {
    const size_t frames = PlayAlbum(album, sameDisc, discChange);
    // In whole frames: a product of doubles a hair off would show as a femto-gap.
    const auto expected = static_cast<int64_t>(std::llround(kDiscs * kSongs * kSeconds * kRate));
    gapMs += static_cast<double>(static_cast<int64_t>(frames) - expected) * 1000 / kRate /
             (kDiscs * kSongs - 1);
  }
  auto worst = [](const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
  };
  auto mean = [](const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    return v.empty() ? 0.0 : sum / static_cast<double>(v.size());
  };
  state.counters["same_disc_ms"] = mean(sameDisc);
  state.counters["same_disc_max_ms"] = worst(sameDisc);
  state.counters["disc_change_ms"] = mean(discChange);
  state.counters["disc_change_max_ms"] = worst(discChange);
  state.counters["gap_per_join_ms"] = gapMs / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WindowAnswersTheEndOfASong)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const QTemporaryDir config;
  setenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()).constData(), 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
