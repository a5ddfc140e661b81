// Pseudo file systems (proc, sysfs, devtmpfs, cgroup, ...) hold no music, and walking them
// is slow and shows other processes' folders; the folder walk never enters them.
#pragma once

#include <string_view>

namespace platform {

// Whether the file open as fd (an O_PATH descriptor will do) lies on a pseudo file system,
// autofs trigger points included. False when that cannot be told.
bool OnPseudoFileSystem(int fd);

// Whether the mount-table type names a pseudo file system ("proc", "devtmpfs"...).
bool IsPseudoFileSystemType(std::string_view type);

}  // namespace platform
