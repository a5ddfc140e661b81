// A temporary folder tree for walker and scanner tests; files are empty unless given text.
#pragma once

#include <string>

#include "TempDir.h"

class TempTree {
 public:
  // The tree's root, a real path without trailing "/".
  const std::string& Root() const { return m_dir.path(); }
  std::string Path(const std::string& relative) const { return Root() + "/" + relative; }

  // Creates relative (and its folders); returns its full path.
  std::string File(const std::string& relative, const std::string& text = "");
  std::string Folder(const std::string& relative);
  // A symbolic link at relative pointing to target (taken as written).
  void Link(const std::string& relative, const std::string& target);

 private:
  TTempDir m_dir;
};
