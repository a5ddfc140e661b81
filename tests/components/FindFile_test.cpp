#include "FindFile.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <algorithm>
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
  EXPECT_TRUE(TFindFile::MatchesMask("IMG-default.bmp", "img-*.BMP"));
  EXPECT_TRUE(TFindFile::MatchesMask("a1c", "a?c"));
  EXPECT_FALSE(TFindFile::MatchesMask("ac", "a?c"));
  EXPECT_TRUE(TFindFile::MatchesMask("abcabd", "*ab?"));
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
    if (path == tree.Root() + "/")
      QDir(QFile::decodeName(tree.Path("gone").c_str())).removeRecursively();
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
  const std::string cwd = QDir::currentPath().toStdString();
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

}  // namespace
