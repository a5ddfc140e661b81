// A folder's plain files whose names match a mask (in any letter case), without folders,
// hidden files, pipes, devices and dangling links, in name order. Name order is case-insensitive
// and follows the locale's collation: ASCII letters are folded, then the locale collates, then byte
// order breaks what is still equal.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "FindFile.h"

class TFileLister {
 public:
  std::string Mask = "*.*";

  // Lists folder; false (and an empty list) when it cannot be read.
  bool SetDirectory(const std::string& folder);
  // Lists folder from its entries as already read (by the folder walker).
  void SetEntries(const std::string& folder, std::span<const TFindFile::TFolderEntry> entries);
  const std::string& Directory() const { return m_directory; }
  const std::vector<std::string>& Items() const { return m_items; }

  // A key whose byte order is the name order.
  static std::string SortKey(const std::string& name);
  // The same for a path, compared folder name by folder name: a folder sorts right before
  // its subfolders.
  static std::string PathSortKey(const std::string& path);
  static void SortNames(std::vector<std::string>& names);

 private:
  std::string m_directory;
  std::vector<std::string> m_items;
};
