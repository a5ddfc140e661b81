#include "SourceWatch.h"

#include <sys/stat.h>
#include <unistd.h>

#include "AlbumScanner.h"
#include "SourceCheck.h"
#include "VolumeLayer.h"

bool TSourceWatch::StillThere(const std::string& root, std::uint64_t device,
                              const std::string& serial) {
  platform::VolumeLayer& volumes = platform::Volumes();
  // Asked every time, so that a change is never left for a later call to see.
  const bool changed = volumes.VolumesChanged();
  struct stat st;
  // A mount point stays enterable after its volume goes, and another stick may be mounted
  // there: the source is the folder on the volume it was loaded from.
  if (root.empty() || stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
      access(root.c_str(), R_OK | X_OK) != 0 || std::uint64_t(st.st_dev) != device) {
    known_ = false;
    return false;
  }
  if (changed || !known_ || root != root_ || serial != serial_ || st.st_ino != inode_) {
    volumeOk_ =
        SourceReadable(root) && TAlbumScanner::CalcolaSN(volumes.VolumeRoot(root)) == serial;
    known_ = true;
    root_ = root;
    serial_ = serial;
    inode_ = st.st_ino;
  }
  return volumeOk_;
}
