#include "SourceCheck.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "VolumeLayer.h"

bool SourceReadable(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if (access(path.c_str(), R_OK | X_OK) != 0) return false;
  platform::VolumeLayer& volumes = platform::Volumes();
  const std::string drive = volumes.VolumeRoot(path);
  const std::vector<std::string> optical = volumes.CdRomDrives();
  if (std::find(optical.begin(), optical.end(), drive) == optical.end()) return true;
  return volumes.VolumeSerial(drive).has_value();
}

std::uint64_t SourceDevice(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? std::uint64_t(st.st_dev) : 0;
}
