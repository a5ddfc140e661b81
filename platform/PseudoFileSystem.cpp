#include "PseudoFileSystem.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

namespace platform {

namespace {

constexpr unsigned long kConfigfsMagic = 0x62656570;
constexpr unsigned long kFusectlMagic = 0x65735543;
constexpr unsigned long kMqueueMagic = 0x19800202;
constexpr unsigned long kRpcPipefsMagic = 0x67596969;

bool IsPseudoMagic(unsigned long magic) {
  static const unsigned long kMagics[] = {
      PROC_SUPER_MAGIC, SYSFS_MAGIC,    DEVPTS_SUPER_MAGIC, CGROUP_SUPER_MAGIC, CGROUP2_SUPER_MAGIC,
      DEBUGFS_MAGIC,    TRACEFS_MAGIC,  SECURITYFS_MAGIC,   PSTOREFS_MAGIC,     BPF_FS_MAGIC,
      kConfigfsMagic,   kFusectlMagic,  kMqueueMagic,       HUGETLBFS_MAGIC,    AUTOFS_SUPER_MAGIC,
      BINFMTFS_MAGIC,   EFIVARFS_MAGIC, SELINUX_MAGIC,      NSFS_MAGIC,         kRpcPipefsMagic};
  return std::find(std::begin(kMagics), std::end(kMagics), magic) != std::end(kMagics);
}

// The mount-table type of the file system on device dev ("major:minor" in mountinfo).
std::string TypeOfDevice(dev_t dev) {
  const std::string id = std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
  std::ifstream mountinfo("/proc/self/mountinfo");
  std::string line;
  while (std::getline(mountinfo, line)) {
    // "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw": field 3 is the
    // device, the type follows the " - " separator.
    std::size_t a = line.find(' ');
    a = a == std::string::npos ? a : line.find(' ', a + 1);
    if (a == std::string::npos || line.compare(a + 1, id.size() + 1, id + " ") != 0) continue;
    const std::size_t dash = line.find(" - ");
    if (dash == std::string::npos) continue;
    const std::size_t from = dash + 3;
    return line.substr(from, line.find(' ', from) - from);
  }
  return {};
}

}  // namespace

bool IsPseudoFileSystemType(std::string_view type) {
  static const char* const kTypes[] = {
      "proc",      "sysfs",      "devtmpfs",    "devpts",   "cgroup",    "cgroup2", "debugfs",
      "tracefs",   "securityfs", "pstore",      "bpf",      "configfs",  "fusectl", "mqueue",
      "hugetlbfs", "autofs",     "binfmt_misc", "efivarfs", "selinuxfs", "nsfs",    "rpc_pipefs"};
  return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

bool OnPseudoFileSystem(int fd) {
  struct statfs fs;
  if (fstatfs(fd, &fs) != 0) return false;
  const auto magic = static_cast<unsigned long>(fs.f_type);
  if (IsPseudoMagic(magic)) return true;
  // devtmpfs reports itself as tmpfs or ramfs; only the mount table tells it apart.
  if (magic != TMPFS_MAGIC && magic != RAMFS_MAGIC) return false;
  struct stat st;
  return fstat(fd, &st) == 0 && IsPseudoFileSystemType(TypeOfDevice(st.st_dev));
}

}  // namespace platform
