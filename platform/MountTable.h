// The mount tables of the system: /proc/self/mounts (what is mounted now) and /etc/fstab
// (where a device would be mounted). Both share one line format.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MountEntry {
  std::string device;      // "/dev/sda1", "UUID=...", "server:/share", "proc"...
  std::string mountPoint;  // absolute, no trailing "/" except for "/" itself
  std::string type;        // "ext4", "iso9660,udf", "tmpfs"... (may be empty)
};

class MountTable {
 public:
  MountTable() = default;

  // Parses the text of a mount table. Comments, blank lines, lines with too few fields and
  // entries whose mount point is not an absolute path (swap, "none") are left out.
  static MountTable Parse(std::string_view text);

  // Reads and parses a mount-table file; an unreadable file gives an empty table.
  static MountTable Load(const std::string& file);

  const std::vector<MountEntry>& Entries() const { return entries_; }

  // The entry that is visible at mountPoint: the last one mounted there, or nullptr.
  const MountEntry* AtMountPoint(const std::string& mountPoint) const;

  // Undoes the octal escapes the kernel and fstab use for blanks and backslashes ("\040").
  static std::string Unescape(std::string_view field);

  // path without trailing "/" (except "/" itself) and without doubled "/".
  static std::string NormalizePath(std::string_view path);

 private:
  std::vector<MountEntry> entries_;
};

}  // namespace platform
