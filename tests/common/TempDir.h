// Test helpers of every layer, Qt-free: a private folder removed with everything in it when
// the object goes.
#pragma once

#include <string>

class TTempDir {
 public:
  // Under $TMPDIR (default /tmp); throws std::runtime_error when no folder can be made.
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  // The folder's real path (no link in it), without a trailing "/".
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};
