// sonavera-scan ROOT: runs the album scanner on ROOT (the source root text exactly as
// given) and prints the disc list, a blank line, one "disc<TAB>track<TAB>relative path"
// line per song in table order, and the volume serial text.
#include <sys/stat.h>

#include <clocale>
#include <cstdio>
#include <string>
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

  std::string out;
  for (const std::string& entry : cdList) out += entry + '\n';
  out += '\n';
  if (!tab.Cells(0, 1).empty()) {
    for (int row = 1; row < tab.RowCount(); ++row) {
      out += tab.Cells(0, row) + '\t' + tab.Cells(1, row) + '\t' + tab.Cells(2, row) + '\n';
    }
  }
  out += TAlbumScanner::CalcolaSN(platform::Volumes().VolumeRoot(root)) + '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
