// sonavera-scan ROOT: runs the album scanner on ROOT (the source root text exactly as
// given) and prints the disc list, a blank line, one "disc<TAB>track<TAB>relative path"
// line per song in table order, and "serial<TAB>" with the volume serial text. Titles are
// left to sonavera-table: reading them would need the tag readers and Qt.
#include <sys/stat.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "AlbumScanner.h"
#include "SortGrid.h"
#include "VolumeLayer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sonavera-scan ROOT\n");
    return 1;
  }
  // Names sort by the user's collation, as in the player.
  std::setlocale(LC_ALL, "");
  const std::string root = argv[1];
  struct stat st;
  if (stat(root.c_str(), &st) != 0) {
    std::fprintf(stderr, "sonavera-scan: %s: no such folder\n", root.c_str());
    return 1;
  }
  if (!S_ISDIR(st.st_mode)) {
    std::fprintf(stderr, "sonavera-scan: %s: not a folder\n", root.c_str());
    return 1;
  }

  TSortGrid tab(4, 2);
  TAlbumScanner scanner(tab);
  scanner.SourceRoot = root;
  tab.Clear();
  std::vector<std::string> cdList;
  scanner.CreaTAB(cdList);

  // Written as it goes: a copy of the whole table's text would double the memory it needs.
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  const auto put = [](std::string_view text, char end) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::putchar(end);
  };
  for (const std::string& entry : cdList) put(entry, '\n');
  std::putchar('\n');
  TGridText::TScratch scratch;
  if (!tab.CellView(0, 1, scratch).empty()) {
    for (int row = 1; row < tab.RowCount(); ++row) {
      put(tab.CellView(0, row, scratch), '\t');
      put(tab.CellView(1, row, scratch), '\t');
      put(tab.CellView(2, row, scratch), '\n');
    }
  }
  std::fputs("serial\t", stdout);
  put(TAlbumScanner::CalcolaSN(platform::Volumes().VolumeRoot(root)), '\n');
  return std::fflush(stdout) == 0 ? 0 : 1;
}
