// sonavera-table's window on a tree of NAMES songs (hard links to one MP3 whose title is in an
// ID3v2 tag only, so every title takes both readers, 20 per album folder): the time from the
// start of the scan to the window painted with every title, against the scanner alone on the
// same tree in the same rounds. Prints each round, the best and the median. Goal for 100,000
// songs: shown within 1.5 s.
// Usage: QT_QPA_PLATFORM=offscreen table_bench [NAMES] [ROUNDS]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "AlbumScanner.h"
#include "SortGrid.h"
#include "TableWindow.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int names = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  QTemporaryDir dir;
  const std::string root = dir.path().toStdString() + "/Music";
  const std::string song = dir.path().toStdString() + "/song.mp3";
  const std::string make = "sox -q -n -r 44100 -c 2 -b 16 '" + song + ".wav' synth 1 sine 440 && " +
                           "lame --quiet --id3v2-only --tt 'A title' '" + song + ".wav' '" + song +
                           "'";
  if (!dir.isValid() || std::system(make.c_str()) != 0) {
    std::fprintf(stderr, "table_bench: cannot make the test song (needs sox and lame)\n");
    return 1;
  }
  for (int i = 0; i < names; ++i) {
    const std::string folder =
        root + "/Artist " + std::to_string(i / 2000) + "/Album " + std::to_string(i / 20);
    // A copy of the song per artist: a file takes only so many links.
    const std::string source = song + std::to_string(i / 2000);
    if (i % 2000 == 0) std::filesystem::copy_file(song, source);
    if (i % 20 == 0) std::filesystem::create_directories(folder);
    std::filesystem::create_hard_link(source, folder + "/" + std::to_string(i % 20 + 1) +
                                                  " Song number " + std::to_string(i) + ".mp3");
  }
  std::printf("tree: %d songs\n", names);
  std::vector<double> shown, scanned;
  for (int r = 0; r < rounds; ++r) {
    QElapsedTimer clock;
    clock.start();
    {
      TSortGrid tab(4, 2);
      TAlbumScanner scanner(tab);
      scanner.SourceRoot = root;
      std::vector<std::string> discs;
      scanner.CreaTAB(discs);
    }
    scanned.push_back(clock.nsecsElapsed() / 1e6);
    clock.restart();
    {
      TTableWindow window;
      window.show();
      window.Scan(root);
      window.repaint();
      if (window.Table().Cells(3, 1).find("A title") == std::string::npos) {
        std::fprintf(stderr, "table_bench: the first title was not read\n");
        return 1;
      }
      shown.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("round %d: table shown %.0f ms, scanner alone %.0f ms, ratio %.2f\n", r + 1,
                shown.back(), scanned.back(), shown.back() / scanned.back());
  }
  std::printf("table shown: best %.0f ms, median %.0f ms (goal <= 1500 ms)\n",
              *std::min_element(shown.begin(), shown.end()), Median(shown));
  std::printf("scanner alone: best %.0f ms, median %.0f ms\n",
              *std::min_element(scanned.begin(), scanned.end()), Median(scanned));
  return 0;
}
