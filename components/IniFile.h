// An INI file on disk. Reads see the file as it is now (it is read again when it changed);
// every change replaces the whole file atomically, so a crash never leaves half a file.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "IniDocument.h"

class IniFile {
 public:
  explicit IniFile(std::string path);

  const std::string& Path() const { return path_; }

  std::optional<std::string> Read(std::string_view section, std::string_view key);

  // Stores the value. A value equal to what the file holds leaves the file untouched. On
  // failure the file stays as it was, error says why and the result is false. A file that
  // exists but cannot be read, or that carries no write permission, is never replaced.
  bool Write(std::string_view section, std::string_view key, std::string_view value,
             std::string& error);

 private:
  struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const Stamp& other) const;
  };

  static Stamp StampOf(const std::string& path);
  void Refresh();
  bool Replace(const std::string& text, std::string& error);

  std::string path_;
  IniDocument document_;
  Stamp stamp_;
  bool loaded_ = false;
  bool unreadable_ = false;
};
