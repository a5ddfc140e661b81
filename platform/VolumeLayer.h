// The volume services the album library needs: which drives exist, which volume holds a
// path, and the serial number of the medium in a volume. A "drive" is a mounted volume
// named by its mount point, written without a trailing "/" except for "/" itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class VolumeLayer {
 public:
  virtual ~VolumeLayer() = default;

  // Mount points of the optical drives (where the disc is or would be mounted), in drive
  // order. Empty when the machine has no optical drive.
  virtual std::vector<std::string> CdRomDrives() = 0;

  // Mount points of the hard disks (fixed, removable, remote): "/" first, then the home
  // folder's volume, then the rest ordered by mount point. Pseudo file systems are left out.
  virtual std::vector<std::string> HardDisks() = 0;

  // Mount point of the volume that holds path ("the drive root" of a path).
  virtual std::string VolumeRoot(const std::string& path) = 0;

  // Serial number of the medium in the volume mounted at root: stable for the same medium,
  // different for different discs in the same drive. Empty when there is no readable medium.
  virtual std::optional<std::uint32_t> VolumeSerial(const std::string& root) = 0;

  // Whether the answers above may have changed since the last call (a mount, an unmount, a
  // new disc or drive): true on the first call and whenever that cannot be told cheaply.
  virtual bool VolumesChanged() { return true; }
};

// The layer in use: the real one unless a test has put another in its place.
VolumeLayer& Volumes();

// Puts layer in place of the real one (nullptr restores the real one). The caller keeps
// ownership and must restore before the layer dies.
void SetVolumes(VolumeLayer* layer);

// A serial as the album shows it: signed 32-bit decimal text, so a serial with the top bit
// set is negative; "0" when there is no serial (no readable medium).
std::string SerialText(std::optional<std::uint32_t> serial);

}  // namespace platform
