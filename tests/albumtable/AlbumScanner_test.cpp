#include "AlbumScanner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "FakeVolumeLayer.h"
#include "TempTree.h"

namespace {

using Texts = std::vector<std::string>;

struct Scan {
  Texts tmpList;
  Texts cdList;
  Texts rows;  // "disc track path"
  int rowCount = 0;
  int deletes = 0;
};

Scan ScanOf(const std::string& root, bool readAhead = true) {
  TSortGrid tab(4, 2);
  TAlbumScanner scanner(tab);
  scanner.FindFile.ReadAhead = readAhead;
  Scan out;
  tab.OnRowDelete = [&](TSortGrid*, int) { ++out.deletes; };
  scanner.SourceRoot = root;
  tab.Clear();
  scanner.CreaTAB(out.cdList);
  out.tmpList = scanner.TMPlist();
  out.rowCount = tab.RowCount();
  for (int r = 1; r < tab.RowCount(); ++r) {
    out.rows.push_back(tab.Cells(0, r) + " " + tab.Cells(1, r) + " " + tab.Cells(2, r));
    EXPECT_EQ(tab.Cells(3, r), "");
  }
  return out;
}

std::string LastName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

TEST(AlbumScanner, CdChosenAsItsMountPoint) {
  FakeVolumeLayer volumes;
  const std::string cd = volumes.AddCdRom("cdrom");
  volumes.InsertDisc("cdrom", 0x9abcdef0u,
                     {{"a.mp3", ""},
                      {"alpha/x.MP3", ""},
                      {"alpha/deep/y.mp3", ""},
                      {"Empty/In/z.mp3", ""},
                      {"Zeta/02.mp3", ""},
                      {"Zeta/01.mp3", ""}});
  const Scan scan = ScanOf(cd);
  EXPECT_EQ(scan.tmpList, (Texts{cd + "/", cd + "/alpha/", cd + "/alpha/deep/", cd + "/Empty/In/",
                                 cd + "/Zeta/"}));
  EXPECT_EQ(scan.cdList, (Texts{"1. cdrom", "2. alpha", "3. deep", "4. In", "5. Zeta"}));
  EXPECT_EQ(scan.rows, (Texts{"1 1 /a.mp3", "2 1 /alpha/x.MP3", "3 1 /alpha/deep/y.mp3",
                              "4 1 /Empty/In/z.mp3", "5 1 /Zeta/01.mp3", "5 2 /Zeta/02.mp3"}));
  EXPECT_EQ(scan.deletes, 1);  // the placeholder row
  // The serial of a medium with the top bit set reads negative.
  EXPECT_EQ(TAlbumScanner::CalcolaSN(volumes.VolumeRoot(cd)), "-1698898192");
}

TEST(AlbumScanner, VolumeSerialText) {
  FakeVolumeLayer volumes;
  const std::string disk = volumes.AddHardDisk("disk", 123456);
  const std::string cd = volumes.AddCdRom("cd");
  EXPECT_EQ(TAlbumScanner::CalcolaSN(disk), "123456");
  EXPECT_EQ(TAlbumScanner::CalcolaSN(cd), "0");  // no medium
  volumes.InsertDisc("cd", 0xffffffffu);
  EXPECT_EQ(TAlbumScanner::CalcolaSN(cd), "-1");
  volumes.InsertDisc("cd", 0x7fffffffu);
  EXPECT_EQ(TAlbumScanner::CalcolaSN(cd), "2147483647");
}

TEST(AlbumScanner, RelativePathsFollowTheRootText) {
  TempTree tree;
  tree.File("Pop/a.mp3");
  tree.File("b.mp3");
  const Scan plain = ScanOf(tree.Root());
  EXPECT_EQ(plain.cdList, (Texts{"1. " + LastName(tree.Root()), "2. Pop"}));
  EXPECT_EQ(plain.rows, (Texts{"1 1 /b.mp3", "2 1 /Pop/a.mp3"}));
  const Scan slashed = ScanOf(tree.Root() + "/");
  EXPECT_EQ(slashed.cdList, plain.cdList);
  EXPECT_EQ(slashed.rows, (Texts{"1 1 b.mp3", "2 1 Pop/a.mp3"}));
}

TEST(AlbumScanner, FoldersAndFilesSortIgnoringCase) {
  TempTree tree;
  tree.File("M/C/1.mp3");
  tree.File("M/b/1.mp3");
  tree.File("M/a/1.mp3");
  tree.File("M/B2/1.mp3");
  tree.File("N/2 y.mp3");
  tree.File("N/10 x.mp3");
  tree.File("N/Beta.Mp3");
  tree.File("N/alpha.mp3");
  const Scan scan = ScanOf(tree.Root());
  EXPECT_EQ(scan.cdList, (Texts{"1. a", "2. b", "3. B2", "4. C", "5. N"}));
  EXPECT_EQ(scan.rows,
            (Texts{"1 1 /M/a/1.mp3", "2 1 /M/b/1.mp3", "3 1 /M/B2/1.mp3", "4 1 /M/C/1.mp3",
                   "5 1 /N/10 x.mp3", "5 2 /N/2 y.mp3", "5 3 /N/alpha.mp3", "5 4 /N/Beta.Mp3"}));
}

TEST(AlbumScanner, OnlyVisibleMp3FilesMakeDiscs) {
  TempTree tree;
  tree.File("Docs/readme.txt");
  tree.File("Docs/Album/1.mp3");   // below a folder that is no disc
  tree.File(".Hidden/2.mp3");      // hidden folders are walked
  tree.File("Mixed/.secret.mp3");  // hidden files are not listed
  tree.File("Mixed/song.mp3");
  tree.File("Mixed/song.mp3.part");
  tree.Folder("Mixed/folder.mp3");
  tree.File("OnlyHidden/.x.mp3");
  tree.Link("Mixed/dangling.mp3", "nowhere.mp3");
  ASSERT_EQ(mkfifo(tree.Path("Mixed/pipe.mp3").c_str(), 0644), 0);
  const Scan scan = ScanOf(tree.Root());
  EXPECT_EQ(scan.cdList, (Texts{"1. .Hidden", "2. Album", "3. Mixed"}));
  EXPECT_EQ(scan.rows,
            (Texts{"1 1 /.Hidden/2.mp3", "2 1 /Docs/Album/1.mp3", "3 1 /Mixed/song.mp3"}));

  // The same rules when the lister reads a folder itself.
  TFileLister lister;
  lister.Mask = "*.MP3";
  tree.File("Mixed/Another.mp3");
  EXPECT_TRUE(lister.SetDirectory(tree.Path("Mixed")));
  EXPECT_EQ(lister.Items(), (Texts{"Another.mp3", "song.mp3"}));
  EXPECT_FALSE(lister.SetDirectory(tree.Path("missing")));
  EXPECT_TRUE(lister.Items().empty());
}

TEST(AlbumScanner, EverySongFormatMakesDiscsOfOneOrder) {
  TempTree tree;
  tree.File("Lossless/b.FLAC");
  tree.File("Lossless/cover.jpg");
  tree.File("Mixed/3.opus");
  tree.File("Mixed/1.mp3");
  tree.File("Mixed/2.Ogg");
  tree.File("Mixed/4.oga");
  tree.File("Mixed/5.wav");
  tree.File("Mixed/6.flac.part");
  tree.File("Other/song.wma");
  const Scan scan = ScanOf(tree.Root());
  EXPECT_EQ(scan.cdList, (Texts{"1. Lossless", "2. Mixed"}));
  EXPECT_EQ(scan.rows, (Texts{"1 1 /Lossless/b.FLAC", "2 1 /Mixed/1.mp3", "2 2 /Mixed/2.Ogg",
                              "2 3 /Mixed/3.opus", "2 4 /Mixed/4.oga"}));
}

TEST(AlbumScanner, EmptySourcesAndSingleSongs) {
  TempTree tree;
  tree.File("Docs/readme.txt");
  Scan scan = ScanOf(tree.Root());
  EXPECT_TRUE(scan.cdList.empty());
  EXPECT_EQ(scan.rowCount, 2);
  EXPECT_EQ(scan.rows, (Texts{"  "}));  // not loaded: the empty row 1
  EXPECT_EQ(scan.deletes, 0);

  scan = ScanOf(tree.Path("missing"));
  EXPECT_TRUE(scan.cdList.empty());
  EXPECT_EQ(scan.rowCount, 2);

  tree.File("Docs/only.mp3");
  scan = ScanOf(tree.Root());
  EXPECT_EQ(scan.rowCount, 2);
  EXPECT_EQ(scan.rows, (Texts{"1 1 /Docs/only.mp3"}));
}

TEST(AlbumScanner, LinkLoopsAddNoDiscTwice) {
  TempTree tree;
  tree.File("A/1.mp3");
  tree.Link("A/again", "..");
  tree.Link("A/here", ".");
  // Two ways to one disc: the shallower one names it, read ahead or not.
  tree.File("deep/er/Album/2.mp3");
  tree.File("deep/er/Album/1.mp3");
  tree.Folder("B");
  tree.Link("B/alias", "../deep/er/Album");
  tree.File("Ünïcödé/Été/01 – ça.mp3");
  for (const bool readAhead : {true, false}) {
    const Scan scan = ScanOf(tree.Root(), readAhead);
    EXPECT_EQ(scan.cdList, (Texts{"1. A", "2. alias", "3. Été"}));
    EXPECT_EQ(scan.rows, (Texts{"1 1 /A/1.mp3", "2 1 /B/alias/1.mp3", "2 2 /B/alias/2.mp3",
                                "3 1 /Ünïcödé/Été/01 – ça.mp3"}));
  }
}

TEST(AlbumScanner, AScannerRunsAgainAfterHandingItsSongsToTheTable) {
  TempTree tree;
  for (const char* song : {"B/2.mp3", "B/1.mp3", "A/x.mp3"}) tree.File(song);
  TSortGrid tab(4, 2);
  TAlbumScanner scanner(tab);
  scanner.SourceRoot = tree.Root();
  for (int run = 0; run < 2; ++run) {
    tab.Clear();
    Texts discs;
    scanner.CreaTAB(discs);
    EXPECT_EQ(discs, (Texts{"1. A", "2. B"}));
    ASSERT_EQ(tab.RowCount(), 4);
    EXPECT_EQ(tab.Cells(2, 1) + " " + tab.Cells(2, 2) + " " + tab.Cells(2, 3),
              "/A/x.mp3 /B/1.mp3 /B/2.mp3");
    EXPECT_EQ(scanner.TMPlist(), (Texts{tree.Root() + "/A/", tree.Root() + "/B/"}));
  }
}

TEST(AlbumScanner, DiscNames) {
  EXPECT_EQ(TAlbumScanner::EstraiDisco("/home/u/Music/Album/"), "Album");
  EXPECT_EQ(TAlbumScanner::EstraiDisco("/media/cdrom/"), "cdrom");
  EXPECT_EQ(TAlbumScanner::EstraiDisco("/media/cdrom/Live/"), "Live");
  EXPECT_EQ(TAlbumScanner::EstraiDisco("/media/cdrom/Live/01.mp3"), "Live");
  EXPECT_EQ(TAlbumScanner::EstraiDisco("/"), "/");
  EXPECT_EQ(TAlbumScanner::EstraiDisco("music/"), "music");
  // No folder part: the chosen source names it.
  EXPECT_EQ(TAlbumScanner::EstraiDisco("01.mp3", "/home/u/Music"), "Music");
  EXPECT_EQ(TAlbumScanner::EstraiDisco("01.mp3", "/media/cdrom/"), "cdrom");
  EXPECT_EQ(TAlbumScanner::EstraiDisco("01.mp3", "/"), "/");
}

}  // namespace
