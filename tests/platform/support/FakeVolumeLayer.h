// A volume layer over a temporary folder tree: hard disks and CD-ROM drives are folders,
// discs are inserted and ejected, serials are set by the test. Installs itself as the layer
// in use while it lives.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "TempDir.h"
#include "VolumeLayer.h"

class FakeVolumeLayer : public platform::VolumeLayer {
 public:
  FakeVolumeLayer();
  ~FakeVolumeLayer() override;
  FakeVolumeLayer(const FakeVolumeLayer&) = delete;
  FakeVolumeLayer& operator=(const FakeVolumeLayer&) = delete;

  // The temporary folder that holds every drive (real path, no trailing "/").
  const std::string& Root() const { return root_; }

  // A hard disk with a medium and the given serial; name is a folder created under Root(),
  // or an absolute path taken as it is (e.g. "/"). Returns its mount point.
  std::string AddHardDisk(const std::string& name, std::uint32_t serial);

  // An empty CD-ROM drive named Root()/name. Its folder exists only while a disc is in
  // (an empty drive cannot be entered). Returns its mount point.
  std::string AddCdRom(const std::string& name);

  // Puts a disc with the given serial into drive: files maps paths relative to the disc's
  // root ("Album/01.mp3") to their contents; folders are created as needed. A disc already
  // in the drive is ejected first.
  void InsertDisc(const std::string& drive, std::uint32_t serial,
                  const std::map<std::string, std::string>& files = {});

  // Like InsertDisc, but the disc holds a copy of the tree under folder.
  void InsertDiscCopy(const std::string& drive, std::uint32_t serial, const std::string& folder);

  // Takes the disc out: its tree goes and the drive has no readable medium. keepFolder leaves
  // an empty folder behind, like a mount point with nothing mounted on it.
  void Eject(const std::string& drive, bool keepFolder = false);

  // Changes the serial of a drive's medium; nullopt makes the medium unreadable.
  void SetSerial(const std::string& drive, std::optional<std::uint32_t> serial);

  // How many times VolumeSerial was asked.
  int SerialQueries() const { return serialQueries_; }

  std::vector<std::string> CdRomDrives() override;
  std::vector<std::string> HardDisks() override;
  std::string VolumeRoot(const std::string& path) override;
  std::optional<std::uint32_t> VolumeSerial(const std::string& root) override;
  // True once after each change the test made (a drive added, a disc in or out, a serial).
  bool VolumesChanged() override;

 private:
  struct Drive {
    std::string mountPoint;
    bool optical = false;
    std::optional<std::uint32_t> serial;
  };

  Drive& Find(const std::string& drive);
  std::string MountPointFor(const std::string& name) const;

  TTempDir dir_;
  std::string root_;
  std::vector<Drive> drives_;
  int serialQueries_ = 0;
  bool changed_ = true;
};
