#include "LinuxVolumeLayer.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "Folders.h"
#include "MediumSerial.h"

namespace platform {

namespace {

// The real path of path, or of the deepest folder above it that exists, with the rest
// appended: a source that has just vanished still names the volume it was on.
std::string RealPathOfExisting(const std::string& path) {
  std::error_code error;
  std::filesystem::path real = std::filesystem::weakly_canonical(path, error);
  return MountTable::NormalizePath(error ? path : real.string());
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsNetworkType(const std::string& type) {
  static const char* const kTypes[] = {"nfs", "nfs4", "cifs",      "smb3",       "smbfs", "9p",
                                       "afs", "ceph", "glusterfs", "fuse.sshfs", "davfs"};
  return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

// Index of an sr device ("sr12" -> 12), -1 for other names.
int OpticalIndex(const std::string& name) {
  if (name.size() < 3 || !name.starts_with("sr")) return -1;
  int index = 0;
  for (std::size_t i = 2; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || index > 100000) return -1;
    index = index * 10 + (name[i] - '0');
  }
  return index;
}

}  // namespace

LinuxVolumeLayer::LinuxVolumeLayer(SystemFiles files) : files_(std::move(files)) {}

LinuxVolumeLayer::~LinuxVolumeLayer() {
  if (mountsFd_ >= 0) close(mountsFd_);
}

bool LinuxVolumeLayer::VolumesChanged() {
  bool changed = mountsFd_ < 0;
  if (mountsFd_ < 0) mountsFd_ = open(files_.mounts.c_str(), O_RDONLY | O_CLOEXEC);
  if (mountsFd_ < 0) return true;
  // The mark is cleared by the poll that reports it.
  pollfd mounts{mountsFd_, POLLPRI, 0};
  if (poll(&mounts, 1, 0) != 0) changed = true;
  std::vector<std::array<std::int64_t, 6>> stamps;
  for (const std::string* path : {&files_.mounts, &files_.fstab, &files_.byUuid, &files_.byLabel}) {
    struct stat st {};
    const bool there = stat(path->c_str(), &st) == 0;
    stamps.push_back({there ? std::int64_t(st.st_ino) : -1, std::int64_t(st.st_size),
                      st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_ctim.tv_sec,
                      st.st_ctim.tv_nsec});
  }
  changed = changed || stamps != stamps_;
  stamps_ = std::move(stamps);
  return changed;
}

bool LinuxVolumeLayer::IsStorage(const MountEntry& entry) {
  if (IsNetworkType(entry.type)) return true;
  if (entry.type == "squashfs") return false;
  // Block devices and image files are named by a path; pseudo file systems by a word.
  return entry.device.starts_with("/");
}

std::vector<std::string> LinuxVolumeLayer::OrderHardDisks(std::vector<std::string> mountPoints,
                                                          const std::string& homeRoot) {
  std::sort(mountPoints.begin(), mountPoints.end());
  mountPoints.erase(std::unique(mountPoints.begin(), mountPoints.end()), mountPoints.end());
  std::vector<std::string> ordered;
  auto takeFirst = [&](const std::string& mountPoint) {
    auto it = std::find(mountPoints.begin(), mountPoints.end(), mountPoint);
    if (it == mountPoints.end()) return;
    ordered.push_back(*it);
    mountPoints.erase(it);
  };
  takeFirst("/");
  takeFirst(homeRoot);
  ordered.insert(ordered.end(), mountPoints.begin(), mountPoints.end());
  return ordered;
}

std::string LinuxVolumeLayer::LongestRoot(const std::vector<std::string>& roots,
                                          const std::string& path) {
  std::string best = "/";
  for (const std::string& root : roots) {
    bool holds = path == root || root == "/" ||
                 (path.starts_with(root) && path.size() > root.size() && path[root.size()] == '/');
    if (holds && root.size() > best.size()) best = root;
  }
  return best;
}

std::string LinuxVolumeLayer::ResolveDevice(const std::string& device) const {
  if (device.starts_with("UUID=")) return RealPath(files_.byUuid + "/" + device.substr(5));
  if (device.starts_with("LABEL=")) return RealPath(files_.byLabel + "/" + device.substr(6));
  return RealPath(device);
}

std::vector<LinuxVolumeLayer::OpticalDrive> LinuxVolumeLayer::OpticalDrives(
    const MountTable& mounts) const {
  std::vector<std::pair<int, std::string>> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(files_.sysBlock.c_str()), closedir);
  while (dir) {
    const dirent* entry = readdir(dir.get());
    if (!entry) break;
    if (int index = OpticalIndex(entry->d_name); index >= 0)
      names.emplace_back(index, entry->d_name);
  }
  std::sort(names.begin(), names.end());

  MountTable fstab = MountTable::Load(files_.fstab);
  std::vector<OpticalDrive> drives;
  for (const auto& [index, name] : names) {
    OpticalDrive drive{files_.dev + "/" + name, {}};
    const std::string real = RealPath(drive.device);
    auto sameDevice = [&](const MountEntry& e) { return ResolveDevice(e.device) == real; };
    const auto& now = mounts.Entries();
    const auto& planned = fstab.Entries();
    if (auto it = std::find_if(now.rbegin(), now.rend(), sameDevice); it != now.rend())
      drive.mountPoint = it->mountPoint;
    else if (auto it2 = std::find_if(planned.begin(), planned.end(), sameDevice);
             it2 != planned.end())
      drive.mountPoint = it2->mountPoint;
    else
      drive.mountPoint = drive.device;
    drives.push_back(std::move(drive));
  }
  return drives;
}

std::vector<std::string> LinuxVolumeLayer::CdRomDrives() {
  std::vector<std::string> names;
  for (const OpticalDrive& drive : OpticalDrives(MountTable::Load(files_.mounts)))
    names.push_back(drive.mountPoint);
  return names;
}

std::vector<std::string> LinuxVolumeLayer::HardDisks() {
  MountTable mounts = MountTable::Load(files_.mounts);
  const std::vector<OpticalDrive> drives = OpticalDrives(mounts);
  std::vector<std::string> optical;
  for (const OpticalDrive& drive : drives) optical.push_back(RealPath(drive.device));

  std::vector<std::string> disks;
  for (const MountEntry& entry : mounts.Entries()) {
    // Only what is visible at a mount point counts; a file bind-mounted over a file is no volume.
    if (mounts.AtMountPoint(entry.mountPoint) != &entry) continue;
    bool isOptical =
        std::find(optical.begin(), optical.end(), ResolveDevice(entry.device)) != optical.end();
    // The root is always a volume of the user, even when it is an overlay in a container.
    if (entry.mountPoint == "/" || (IsStorage(entry) && !isOptical && IsFolder(entry.mountPoint)))
      disks.push_back(entry.mountPoint);
  }
  if (std::find(disks.begin(), disks.end(), "/") == disks.end()) disks.push_back("/");
  return OrderHardDisks(std::move(disks), VolumeRootIn(mounts, drives, HomeFolder()));
}

std::string LinuxVolumeLayer::VolumeRoot(const std::string& path) {
  MountTable mounts = MountTable::Load(files_.mounts);
  return VolumeRootIn(mounts, OpticalDrives(mounts), path);
}

std::string LinuxVolumeLayer::VolumeRootIn(const MountTable& mounts,
                                           const std::vector<OpticalDrive>& drives,
                                           const std::string& path) {
  std::vector<std::string> roots;
  for (const MountEntry& entry : mounts.Entries()) roots.push_back(entry.mountPoint);
  // An optical drive is a volume even while its disc is out and nothing is mounted there.
  for (const OpticalDrive& drive : drives) roots.push_back(drive.mountPoint);
  return LongestRoot(roots, RealPathOfExisting(path));
}

std::optional<std::uint32_t> LinuxVolumeLayer::VolumeSerial(const std::string& root) {
  const std::string mountPoint = MountTable::NormalizePath(root);
  MountTable mounts = MountTable::Load(files_.mounts);
  const MountEntry* mounted = mounts.AtMountPoint(mountPoint);
  for (const OpticalDrive& drive : OpticalDrives(mounts)) {
    bool isThisDrive = drive.mountPoint == mountPoint ||
                       (mounted && ResolveDevice(mounted->device) == RealPath(drive.device));
    if (!isThisDrive) continue;
    if (auto serial = OpticalDiscSerial(drive.device)) return serial;
    // The device may be closed to this user while the mounted disc is readable.
    if (!mounted) return std::nullopt;
    return FileSystemSerial(ResolveDevice(mounted->device), mountPoint, files_.byUuid);
  }
  if (!mounted) return std::nullopt;
  return FileSystemSerial(ResolveDevice(mounted->device), mountPoint, files_.byUuid);
}

}  // namespace platform
