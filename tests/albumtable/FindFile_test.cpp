#include "FindFile.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TempTree.h"

namespace {

using Texts = std::vector<std::string>;

Texts Sorted(Texts v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Runs a recursive walk of root and returns the folders it entered, in order.
Texts Walk(TFindFile& walk, const std::string& root) {
  Texts entered;
  walk.Directory = root;
  walk.Recurse = true;
  walk.OnNewPath = [&](TFindFile*, const std::string& path, bool&) { entered.push_back(path); };
  walk.Execute();
  return entered;
}

int Depth(const std::string& path) { return int(std::count(path.begin(), path.end(), '/')); }

TEST(FindFile, MasksIgnoreCaseAndStarDotStarTakesEverything) {
  EXPECT_TRUE(TFindFile::MatchesMask("Song.MP3", "*.mp3"));
  EXPECT_TRUE(TFindFile::MatchesMask(".mp3", "*.mp3"));
  EXPECT_FALSE(TFindFile::MatchesMask("song.mp3.txt", "*.mp3"));
  EXPECT_FALSE(TFindFile::MatchesMask("mp3", "*.mp3"));
  EXPECT_TRUE(TFindFile::MatchesMask("README", "*.*"));
  EXPECT_TRUE(TFindFile::MatchesMask("a.Opus", "*.mp3;*.opus"));
  EXPECT_TRUE(TFindFile::MatchesMask("a.mp3", "*.mp3;*.opus"));
  EXPECT_FALSE(TFindFile::MatchesMask("a.opus.mp3x", "*.mp3;*.opus"));
  EXPECT_FALSE(TFindFile::MatchesMask("a.ogg", "*.mp3;*.opus"));
  EXPECT_TRUE(TFindFile::MatchesMask("IMG-default.bmp", "img-*.BMP"));
  EXPECT_TRUE(TFindFile::MatchesMask("a1c", "a?c"));
  EXPECT_FALSE(TFindFile::MatchesMask("ac", "a?c"));
  EXPECT_TRUE(TFindFile::MatchesMask("abcabd", "*ab?"));
  // A mask that is "*" and a plain ending is checked as an ending; "**" before it forces the
  // general matcher, which must agree.
  for (const char* mask : {"*.mp3", "*.MP3", "*3", "*.equ", "*mp3.mp3"}) {
    for (const char* name : {"a.mp3", "A.Mp3", ".mp3", "mp3", "x.mp3.mp3", "a.mp4", "", "3",
                             "b.EQU", "song.mp3 ", "ab.mp3.mp3"}) {
      EXPECT_EQ(TFindFile::MatchesMask(name, mask),
                TFindFile::MatchesMask(name, std::string("**") + (mask + 1)))
          << name << " against " << mask;
    }
  }
}

TEST(FindFile, WalksBreadthFirstAndEntersEveryFolderOnce) {
  TempTree tree;
  tree.File("a/b/c/deep.txt");
  tree.File(".hidden/x.mp3");
  tree.Folder("d/e");
  tree.Folder("d/f");
  TFindFile walk;
  int before = 0, after = 0;
  walk.BeforeExecute = [&](TFindFile*) { ++before; };
  walk.AfterExecute = [&](TFindFile*) { ++after; };
  const Texts entered = Walk(walk, tree.Root());
  const std::string r = tree.Root() + "/";
  ASSERT_FALSE(entered.empty());
  EXPECT_EQ(entered.front(), r);
  EXPECT_EQ(Sorted(entered), Sorted({r, r + "a/", r + "a/b/", r + "a/b/c/", r + ".hidden/",
                                     r + "d/", r + "d/e/", r + "d/f/"}));
  EXPECT_TRUE(std::is_sorted(entered.begin(), entered.end(),
                             [](const auto& x, const auto& y) { return Depth(x) < Depth(y); }));
  EXPECT_EQ(before, 1);
  EXPECT_EQ(after, 1);

  // Given with its trailing "/", the root is not doubled.
  EXPECT_EQ(Walk(walk, r).front(), r);
}

TEST(FindFile, CollectsEntriesByFilterAndAttributes) {
  TempTree tree;
  tree.File("a.MP3", "12345");
  tree.File("b.mp3", "1");
  tree.File(".c.mp3", "12");
  tree.File("d.txt", "123");
  tree.File("sub/e.mp3", "1234567");
  tree.Folder(".hsub");
  chmod(tree.File("ro.mp3").c_str(), 0444);
  TFindFile walk;
  walk.Directory = tree.Root();
  walk.Filter = "*.mp3";
  walk.Execute();  // one folder, hidden files included by default
  const std::string r = tree.Root() + "/";
  EXPECT_EQ(Sorted(walk.Files()), Sorted({r + ".c.mp3", r + "a.MP3", r + "b.mp3", r + "ro.mp3"}));
  EXPECT_EQ(walk.FileCount(), 4);
  EXPECT_EQ(walk.FolderCount(), 0);
  EXPECT_EQ(walk.TotalSize(), 8u);

  walk.Attributes = ffReadOnly | ffArchive;  // no hidden entries
  walk.Recurse = true;
  walk.Execute();
  EXPECT_EQ(Sorted(walk.Files()),
            Sorted({r + "a.MP3", r + "b.mp3", r + "ro.mp3", r + "sub/e.mp3"}));
  EXPECT_EQ(walk.TotalSize(), 13u);

  // Folders are collected only when asked for; a hidden one is no plain folder.
  walk.Attributes = ffHidden | ffDirectory;
  walk.Filter = "*sub";
  walk.Execute();
  EXPECT_EQ(Sorted(walk.Files()), Sorted({r + ".hsub", r + "sub"}));
  EXPECT_EQ(walk.FolderCount(), 1);
  EXPECT_EQ(walk.FileCount(), 1);
  EXPECT_EQ(walk.TotalSize(), 0u);

  walk.CollectFiles = false;
  walk.Execute();
  EXPECT_TRUE(walk.Files().empty());
  EXPECT_EQ(walk.FolderCount() + walk.FileCount(), 0);
}

TEST(FindFile, AbortEndsTheWalk) {
  TempTree tree;
  tree.File("a/1.mp3");
  tree.File("a/b/2.mp3");
  TFindFile walk;
  walk.Directory = tree.Root() + "/a";
  walk.Recurse = true;
  Texts entered;
  walk.OnNewPath = [&](TFindFile*, const std::string& path, bool& abort) {
    entered.push_back(path);
    abort = true;
  };
  walk.Execute();
  EXPECT_EQ(entered, (Texts{tree.Root() + "/a/"}));
  EXPECT_TRUE(walk.Files().empty());
  walk.OnNewPath = nullptr;
  walk.Execute();  // the next run starts afresh
  EXPECT_EQ(walk.Files().size(), 2u);

  walk.Directory.clear();
  walk.Execute();
  EXPECT_TRUE(walk.Files().empty());
}

TEST(FindFile, LinkLoopsEndAndLinkedFoldersAreEnteredOnce) {
  TempTree tree, outside;
  tree.Folder("a/b");
  tree.Link("a/b/up", "../..");
  tree.Link("a/self", ".");
  tree.Link("out", outside.Root());
  outside.Folder("x");
  outside.Link("x/back", tree.Root());
  tree.Link("dangling", tree.Path("nowhere"));
  TFindFile walk;
  const Texts entered = Walk(walk, tree.Root());
  const std::string r = tree.Root() + "/";
  EXPECT_EQ(Sorted(entered), Sorted({r, r + "a/", r + "a/b/", r + "out/", r + "out/x/"}));
}

TEST(FindFile, FolderThatVanishesDuringTheWalkIsSkipped) {
  TempTree tree;
  tree.Folder("gone/inner");
  tree.Folder("kept/inner");
  TFindFile walk;
  walk.Directory = tree.Root();
  walk.Recurse = true;
  Texts entered;
  walk.OnNewPath = [&](TFindFile*, const std::string& path, bool&) {
    entered.push_back(path);
    if (path == tree.Root() + "/") std::filesystem::remove_all(tree.Path("gone"));
  };
  walk.Execute();
  const std::string r = tree.Root() + "/";
  EXPECT_EQ(Sorted(entered), Sorted({r, r + "kept/", r + "kept/inner/"}));
}

TEST(FindFile, PseudoFileSystemsAreNeverEntered) {
  TempTree tree;
  tree.Folder("plain");
  tree.Link("self", "/proc/self");  // its cwd would lead back here, its root everywhere
  tree.Link("sys", "/sys/kernel");
  tree.Link("dev", "/dev");
  const std::string mounted = tree.Folder("proc");
  const bool procMounted = mount("proc", mounted.c_str(), "proc", 0, nullptr) == 0;
  const std::string r = tree.Root() + "/";
  const std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(tree.Root().c_str()), 0);
  TFindFile walk;
  Texts entered;
  walk.Directory = tree.Root();
  walk.Recurse = true;
  walk.OnNewPath = [&](TFindFile*, const std::string& path, bool& abort) {
    entered.push_back(path);
    abort = entered.size() > 50;  // a walk gone astray would cover the whole system
  };
  walk.Execute();
  EXPECT_EQ(chdir(cwd.c_str()), 0);
  if (procMounted) umount2(mounted.c_str(), MNT_DETACH);
  const Texts expected = procMounted ? Texts{r, r + "plain/"} : Texts{r, r + "plain/", r + "proc/"};
  EXPECT_EQ(Sorted(entered), Sorted(expected));
  if (!procMounted) GTEST_SKIP() << "cannot mount proc here; only the links were tried";
}

// Permissions do not stop root, so the walk runs in a child that gives up root first.
TEST(FindFile, FolderWithoutPermissionIsSkipped) {
  TempTree tree;
  tree.Folder("locked/inner");
  tree.Folder("open/inner");
  ASSERT_EQ(chmod(tree.Root().c_str(), 0755), 0);
  ASSERT_EQ(chmod(tree.Path("locked").c_str(), 0), 0);
  const std::string r = tree.Root() + "/";
  EXPECT_EXIT(
      {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        TFindFile walk;
        const Texts entered = Walk(walk, tree.Root());
        _exit(Sorted(entered) == Sorted({r, r + "open/", r + "open/inner/"}) ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  chmod(tree.Path("locked").c_str(), 0755);
}

// What a recursive walk reports: each folder with its entries as read, then the collected
// files and counters.
Texts Reports(const std::string& root, bool readAhead, bool collect, std::size_t abortAt = 0) {
  TFindFile walk;
  walk.Directory = root;
  walk.Recurse = true;
  walk.ReadAhead = readAhead;
  walk.CollectFiles = collect;
  walk.Filter = "*.mp3";
  Texts out;
  walk.OnNewPath = [&](TFindFile* sender, const std::string& path, bool& abort) {
    std::string folder = path + ":";
    for (const TFindFile::TFolderEntry& e : sender->Entries())
      folder += " " + e.Name + (e.Folder ? "/" : "") + (e.Regular ? "" : "?");
    out.push_back(folder);
    abort = out.size() == abortAt;
  };
  walk.Execute();
  out.insert(out.end(), walk.Files().begin(), walk.Files().end());
  out.push_back(std::to_string(walk.FileCount()) + " " + std::to_string(walk.FolderCount()) + " " +
                std::to_string(walk.TotalSize()));
  return out;
}

// Reading ahead on other threads reports what the one-thread walk reports, in its order: the
// same folders entered once by the same way, the same ones skipped. Run without root, so the
// locked folder stays unreadable.
TEST(FindFile, ReadingAheadReportsWhatTheOneThreadWalkReports) {
  TempTree tree;
  // More folders than are read ahead at once, over several levels.
  for (int a = 0; a < 12; ++a) {
    for (int b = 0; b < 9; ++b) {
      tree.File("Artist " + std::to_string(a) + "/Album " + std::to_string(b) + "/1.mp3", "12");
    }
  }
  tree.File("Ünïcödé/Été à Paris/01 – ça.mp3", "1");
  tree.File("日本/東京/歌.MP3");
  tree.File("deep/er/Album/x.mp3");
  tree.Folder("B");
  tree.Link("B/alias", "../deep/er/Album");  // reached first by this way
  tree.Link("deep/er/Album/up", "../..");
  tree.Link("deep/self", ".");
  tree.Link("dangling.mp3", "nowhere");
  tree.File("locked/hidden/y.mp3");
  tree.Folder("locked/hidden/more");
  ASSERT_EQ(chmod(tree.Root().c_str(), 0755), 0);
  for (const char* folder : {"", "/B", "/deep", "/deep/er", "/Ünïcödé", "/日本"}) {
    ASSERT_EQ(chmod((tree.Root() + folder).c_str(), 0755), 0);
  }
  ASSERT_EQ(chmod(tree.Path("locked").c_str(), 0), 0);
  EXPECT_EXIT(
      {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        const Texts one = Reports(tree.Root(), false, false);
        // All folders but the locked one and the loops' second ways; the disc behind the
        // alias once, by the alias.
        if (one.size() != 1 + 12 * 10 + 2 + 2 + 2 + 1 + 1 + 1) _exit(3);
        if (std::count_if(one.begin(), one.end(), [](const std::string& line) {
              return line.find("/B/alias/:") != std::string::npos;
            }) != 1)
          _exit(4);
        for (const bool collect : {false, true}) {
          if (Reports(tree.Root(), true, collect) != Reports(tree.Root(), false, collect)) _exit(5);
          // Stopped half way, after the same folder.
          if (Reports(tree.Root(), true, collect, 40) != Reports(tree.Root(), false, collect, 40))
            _exit(6);
        }
        _exit(0);
      },
      testing::ExitedWithCode(0), "");
  chmod(tree.Path("locked").c_str(), 0755);
}

}  // namespace
