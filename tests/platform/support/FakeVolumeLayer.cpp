#include "FakeVolumeLayer.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>

namespace fs = std::filesystem;

namespace {

std::string Normalize(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out.push_back(c);
  }
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

bool Holds(const std::string& root, const std::string& path) {
  return path == root || root == "/" ||
         (path.starts_with(root) && path.size() > root.size() && path[root.size()] == '/');
}

}  // namespace

FakeVolumeLayer::FakeVolumeLayer() {
  root_ = dir_.path();
  platform::SetVolumes(this);
}

FakeVolumeLayer::~FakeVolumeLayer() { platform::SetVolumes(nullptr); }

std::string FakeVolumeLayer::MountPointFor(const std::string& name) const {
  return Normalize(name.starts_with("/") ? name : root_ + "/" + name);
}

FakeVolumeLayer::Drive& FakeVolumeLayer::Find(const std::string& drive) {
  const std::string mountPoint = MountPointFor(drive);
  for (Drive& d : drives_) {
    if (d.mountPoint == mountPoint) return d;
  }
  throw std::invalid_argument("no fake drive " + drive);
}

std::string FakeVolumeLayer::AddHardDisk(const std::string& name, std::uint32_t serial) {
  Drive drive{MountPointFor(name), false, serial};
  fs::create_directories(drive.mountPoint);
  drives_.push_back(drive);
  changed_ = true;
  return drive.mountPoint;
}

std::string FakeVolumeLayer::AddCdRom(const std::string& name) {
  Drive drive{MountPointFor(name), true, std::nullopt};
  drives_.push_back(drive);
  changed_ = true;
  return drive.mountPoint;
}

void FakeVolumeLayer::InsertDisc(const std::string& drive, std::uint32_t serial,
                                 const std::map<std::string, std::string>& files) {
  Eject(drive);
  Drive& d = Find(drive);
  fs::create_directories(d.mountPoint);
  for (const auto& [relative, contents] : files) {
    fs::path file = fs::path(d.mountPoint) / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
  }
  d.serial = serial;
  changed_ = true;
}

void FakeVolumeLayer::InsertDiscCopy(const std::string& drive, std::uint32_t serial,
                                     const std::string& folder) {
  InsertDisc(drive, serial);
  fs::copy(folder, Find(drive).mountPoint, fs::copy_options::recursive);
}

void FakeVolumeLayer::Eject(const std::string& drive, bool keepFolder) {
  Drive& d = Find(drive);
  d.serial.reset();
  std::error_code ignored;
  fs::remove_all(d.mountPoint, ignored);
  if (keepFolder) fs::create_directories(d.mountPoint);
  changed_ = true;
}

void FakeVolumeLayer::SetSerial(const std::string& drive, std::optional<std::uint32_t> serial) {
  Find(drive).serial = serial;
  changed_ = true;
}

std::vector<std::string> FakeVolumeLayer::CdRomDrives() {
  std::vector<std::string> names;
  for (const Drive& d : drives_) {
    if (d.optical) names.push_back(d.mountPoint);
  }
  return names;
}

std::vector<std::string> FakeVolumeLayer::HardDisks() {
  std::vector<std::string> names;
  for (const Drive& d : drives_) {
    if (!d.optical) names.push_back(d.mountPoint);
  }
  return names;
}

std::string FakeVolumeLayer::VolumeRoot(const std::string& path) {
  const std::string normalized = Normalize(path);
  std::string best = "/";
  for (const Drive& d : drives_) {
    if (Holds(d.mountPoint, normalized) && d.mountPoint.size() > best.size()) best = d.mountPoint;
  }
  return best;
}

bool FakeVolumeLayer::VolumesChanged() { return std::exchange(changed_, false); }

std::optional<std::uint32_t> FakeVolumeLayer::VolumeSerial(const std::string& root) {
  ++serialQueries_;
  const std::string mountPoint = Normalize(root);
  for (const Drive& d : drives_) {
    if (d.mountPoint == mountPoint) return d.serial;
  }
  return std::nullopt;
}
