#include "MediumSerial.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <memory>

namespace platform {

namespace {

constexpr std::size_t kSectorSize = 2048;
constexpr off_t kFirstDescriptor = 16 * kSectorSize;  // the system area comes first
constexpr int kDescriptorsHashed = 16;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The UUID of the file system on device: the name of its link in the by-uuid folder.
std::optional<std::string> UuidOfDevice(const std::string& device, const std::string& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return std::nullopt;
  const std::string target = RealPath(device);
  while (const dirent* entry = readdir(dir.get())) {
    if (entry->d_name[0] == '.') continue;
    if (RealPath(folder + "/" + entry->d_name) == target) return std::string(entry->d_name);
  }
  return std::nullopt;
}

}  // namespace

std::string RealPath(const std::string& path) {
  std::error_code error;
  std::filesystem::path real = std::filesystem::canonical(path, error);
  return error ? path : real.string();
}

std::uint32_t Fnv1a(std::string_view bytes) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 16777619u;
  }
  return hash;
}

std::optional<std::uint32_t> SerialFromUuid(std::string_view uuid) {
  std::uint32_t value = 0;
  int digits = 0;
  for (char c : uuid) {
    if (c == '-') continue;
    int digit = HexValue(c);
    if (digit < 0) return Fnv1a(uuid);
    value = (value << 4) | static_cast<std::uint32_t>(digit);
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return digits <= 8 ? value : Fnv1a(uuid);
}

std::optional<std::uint32_t> OpticalDiscSerial(const std::string& device) {
  // O_NONBLOCK: opening must not close an open tray or wait for a disc to spin up.
  int fd = open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  int status = ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
  if (status >= 0 && status != CDS_DISC_OK) {
    close(fd);
    return std::nullopt;
  }
  // The volume descriptors name the disc (label, dates, sizes); their hash tells discs apart
  // and does not depend on the drive or on where the disc is mounted.
  std::string descriptors(kDescriptorsHashed * kSectorSize, '\0');
  ssize_t got = pread(fd, descriptors.data(), descriptors.size(), kFirstDescriptor);
  close(fd);
  if (got < static_cast<ssize_t>(kSectorSize)) return std::nullopt;
  if (std::memcmp(descriptors.data(),
                  "\x01"
                  "CD001",
                  6) == 0)
    return Fnv1a(std::string_view(descriptors.data(), kSectorSize));
  return Fnv1a(std::string_view(descriptors.data(), static_cast<std::size_t>(got)));
}

std::optional<std::uint32_t> FileSystemSerial(const std::string& device,
                                              const std::string& mountPoint,
                                              const std::string& byUuidFolder) {
  struct statfs info {};
  if (statfs(mountPoint.c_str(), &info) != 0) return std::nullopt;
  if (device.starts_with("/")) {
    if (auto uuid = UuidOfDevice(device, byUuidFolder)) {
      if (auto serial = SerialFromUuid(*uuid)) return serial;
    }
  }
  std::array<int, 2> fsid{};
  std::memcpy(fsid.data(), &info.f_fsid, sizeof(fsid));
  std::uint32_t serial = static_cast<std::uint32_t>(fsid[0]) ^ static_cast<std::uint32_t>(fsid[1]);
  // Network shares often have no file-system id; their address names them instead.
  return serial != 0 ? serial : Fnv1a(device + " " + mountPoint);
}

}  // namespace platform
