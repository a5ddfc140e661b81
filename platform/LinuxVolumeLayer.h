// The volumes of a Linux machine, read from the mount tables, /sys/block and /dev.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "MountTable.h"
#include "VolumeLayer.h"

namespace platform {

// Where the layer reads the system's state; tests point these at sample files.
struct SystemFiles {
  std::string mounts = "/proc/self/mounts";
  std::string fstab = "/etc/fstab";
  std::string sysBlock = "/sys/block";
  std::string dev = "/dev";
  std::string byUuid = "/dev/disk/by-uuid";
  std::string byLabel = "/dev/disk/by-label";
};

class LinuxVolumeLayer : public VolumeLayer {
 public:
  explicit LinuxVolumeLayer(SystemFiles files = {});
  ~LinuxVolumeLayer() override;
  LinuxVolumeLayer(const LinuxVolumeLayer&) = delete;
  LinuxVolumeLayer& operator=(const LinuxVolumeLayer&) = delete;

  std::vector<std::string> CdRomDrives() override;
  std::vector<std::string> HardDisks() override;
  std::string VolumeRoot(const std::string& path) override;
  std::optional<std::uint32_t> VolumeSerial(const std::string& root) override;
  // The kernel marks the open mount table at each mount and unmount; the other files are
  // told by their status (a sample mount table included).
  bool VolumesChanged() override;

  // True for a file system that holds files of the user: one on a block device or a
  // network share. Pseudo file systems (proc, tmpfs, overlay...) and snap images are not.
  static bool IsStorage(const MountEntry& entry);

  // "/" first, then homeRoot, then the rest in byte order of the mount point; no repeats.
  static std::vector<std::string> OrderHardDisks(std::vector<std::string> mountPoints,
                                                 const std::string& homeRoot);

  // The longest of roots that is path itself or a folder above it; "/" when none is.
  static std::string LongestRoot(const std::vector<std::string>& roots, const std::string& path);

 private:
  struct OpticalDrive {
    std::string device;      // "/dev/sr0"
    std::string mountPoint;  // current mount, else the fstab entry, else the device path
  };

  std::vector<OpticalDrive> OpticalDrives(const MountTable& mounts) const;
  // VolumeRoot over tables already read.
  static std::string VolumeRootIn(const MountTable& mounts, const std::vector<OpticalDrive>& drives,
                                  const std::string& path);
  std::string ResolveDevice(const std::string& device) const;

  SystemFiles files_;
  int mountsFd_ = -1;  // the mount table, open for its change marks
  // Identity, size and times of each file VolumesChanged looks at, from its last call.
  std::vector<std::array<std::int64_t, 6>> stamps_;
};

}  // namespace platform
