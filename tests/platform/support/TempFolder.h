// A fresh folder under $TMPDIR (default /tmp), removed with everything in it at the end;
// the platform's tests use it without Qt.
#pragma once

#include <string>

class TempFolder {
 public:
  // Throws std::runtime_error when no folder can be made.
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's real path, without a trailing "/".
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};
