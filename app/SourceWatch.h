// The two-second check of the loaded source: whether its folder is still the one on the
// volume it was loaded from. The folder is looked at every time; the volume's part (which
// drive holds it, whether a disc is readable, the medium's serial: tens of system calls
// through the mount tables and /dev) only when the volumes may have changed or the folder
// now leads somewhere else.
#pragma once

#include <cstdint>
#include <string>

class TSourceWatch {
 public:
  // root: the source folder; device: the device its file system had when it was loaded;
  // serial: the serial text of its volume then.
  bool StillThere(const std::string& root, std::uint64_t device, const std::string& serial);

 private:
  bool known_ = false;  // the fields below hold an answer
  std::string root_, serial_;
  std::uint64_t inode_ = 0;
  bool volumeOk_ = false;
};
