// The folder list: the chain down to the current folder, its subfolders, and the batch
// filling of large folders (opening by mouse and Enter is tried with the source dialog).
#include "DirectoryListBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <string>
#include <vector>

#include "TempTree.h"

namespace {

using Names = std::vector<std::string>;

Names Children(const QTreeWidgetItem* item) {
  Names names;
  for (int i = 0; i < item->childCount(); ++i)
    names.push_back(item->child(i)->text(0).toStdString());
  return names;
}

// The texts of the chain from the top item down to the current folder's item.
Names Chain(const TDirectoryListBox& list) {
  Names names;
  for (const QTreeWidgetItem* item = list.CurrentFolderItem(); item; item = item->parent())
    names.insert(names.begin(), item->text(0).toStdString());
  return names;
}

TEST(DirectoryListBoxTest, ShowsTheChainAndTheSortedVisibleSubfolders) {
  TempTree tree;
  for (const char* folder : {"Music/b", "Music/C", "Music/a", "Music/.hidden", "Music/a/deep"})
    tree.Folder(folder);
  tree.File("Music/file.txt");
  tree.Link("Music/loop", tree.Path("Music"));
  TDirectoryListBox list;
  int changes = 0;
  list.OnChange = [&] { ++changes; };
  list.SetDrive(tree.Root() + "/");
  EXPECT_EQ(list.Directory(), tree.Root());
  EXPECT_EQ(Chain(list), Names{tree.Root()});
  EXPECT_EQ(Children(list.CurrentFolderItem()), Names{"Music"});

  list.SetDirectory(tree.Path("Music/"));
  EXPECT_EQ(list.Directory(), tree.Path("Music"));
  EXPECT_EQ(Chain(list), (Names{tree.Root(), "Music"}));
  // A link to a folder is a folder, even one that leads back up.
  EXPECT_EQ(Children(list.CurrentFolderItem()), (Names{"a", "b", "C", "loop"}));
  EXPECT_EQ(TDirectoryListBox::ItemPath(list.CurrentFolderItem()->child(3)),
            tree.Path("Music/loop"));
  list.SetDirectory(tree.Path("Music/loop/loop"));
  EXPECT_EQ(Chain(list), (Names{tree.Root(), "Music", "loop", "loop"}));
  EXPECT_EQ(changes, 3);

  // Opening the current folder again is no change; a folder gone shows no subfolders.
  list.SetDirectory(tree.Path("Music/loop/loop"));
  list.SetDirectory(tree.Path("gone"));
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(list.CurrentFolderItem()->childCount(), 0);
}

TEST(DirectoryListBoxTest, LargeFolderIsFilledBetweenEvents) {
  TempTree tree;
  for (int i = 0; i < 450; ++i) tree.Folder("Big/" + std::to_string(10000 + i));
  tree.Folder("Small/x");
  TDirectoryListBox list;
  list.SetDrive(tree.Path("Big"));
  EXPECT_TRUE(list.Filling());
  EXPECT_LT(list.CurrentFolderItem()->childCount(), 450);
  QTRY_VERIFY_WITH_TIMEOUT(!list.Filling(), 10000);
  const QTreeWidgetItem* big = list.CurrentFolderItem();
  ASSERT_EQ(big->childCount(), 450);
  EXPECT_EQ(big->child(449)->text(0), "10449");

  // Another folder stops the filling of the one before.
  list.SetDrive(tree.Path("Big"));
  list.SetDirectory(tree.Path("Small"));
  QApplication::processEvents();
  QApplication::processEvents();
  EXPECT_EQ(Children(list.CurrentFolderItem()), Names{"x"});
}

}  // namespace
