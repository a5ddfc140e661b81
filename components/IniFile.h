// An INI file on disk. Reads see the file as it is now (it is read again when it changed);
// every change replaces the whole file atomically, so a crash never leaves half a file.
// While deferred, changes collect in memory (reads see them) and Flush writes them all in
// one replacement, so a batch of writes lands whole or not at all.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <filesystem>
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

  // Whether the file is too large to be a settings file: it is then neither read nor
  // replaced.
  bool TooLarge();

  void SetDeferred(bool on) { deferred_ = on; }
  bool Pending() const { return pending_; }
  // Writes the collected changes; false with error set when the file could not be replaced
  // (the changes are then dropped and the file stays as it was).
  bool Flush(std::string& error);

  // Removes the temporary files that replacing path left behind when its process died.
  static void RemoveStaleTemporaries(const std::string& path);

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
  static std::string TemporaryPrefix(const std::filesystem::path& target);
  void Refresh();
  bool Replace(const std::string& text, std::string& error);

  std::string path_;
  IniDocument document_;
  Stamp stamp_;
  bool loaded_ = false;
  bool unreadable_ = false;
  bool tooLarge_ = false;
  bool deferred_ = false;
  bool pending_ = false;
};
