// A folder's plain files whose names match a mask (in any letter case), without folders,
// hidden files, pipes, devices and dangling links, in name order. Name order is case-insensitive
// and follows the locale's collation: ASCII letters are folded, then the locale collates, then byte
// order breaks what is still equal.
#pragma once

#include <span>
#include <string>
#include <string_view>
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

  // Sorts names into name order.
  static void SortNames(std::vector<std::string>& names);
  // Whether path a comes before path b: compared folder name by folder name, in name order,
  // so a folder comes right before its subfolders.
  static bool PathBefore(std::string_view a, std::string_view b);
  // The places of paths in that order: the first is the place of the first path.
  static std::vector<std::size_t> PathOrder(const std::vector<std::string_view>& paths);

 private:
  std::string m_directory;
  std::vector<std::string> m_items;
};
