// The real volume layer over a made-up system: sample mount tables, /sys/block, /dev and
// disc images in a temporary folder.
#include "LinuxVolumeLayer.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "MediumSerial.h"
#include "TempDir.h"

namespace fs = std::filesystem;
using platform::LinuxVolumeLayer;
using platform::MountEntry;

namespace {

// An ISO 9660 image whose primary volume descriptor carries label.
std::string DiscImage(const std::string& label) {
  std::string image(40 * 2048, '\0');
  std::string descriptor = std::string(
                               "\x01"
                               "CD001\x01",
                               7) +
                           std::string(33, ' ') + label;
  image.replace(16 * 2048, descriptor.size(), descriptor);
  return image;
}

class FakeSystem : public testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.path();
    files_ = {root_ + "/mounts", root_ + "/fstab",   root_ + "/block",
              root_ + "/dev",    root_ + "/by-uuid", root_ + "/by-label"};
    for (const char* folder : {"/block", "/dev", "/by-uuid", "/by-label", "/home/user"})
      fs::create_directories(root_ + folder);
    const char* home = getenv("HOME");
    oldHome_ = home ? home : "";
    setenv("HOME", (root_ + "/home/user").c_str(), 1);
  }
  void TearDown() override { setenv("HOME", oldHome_.c_str(), 1); }

  void Write(const std::string& relative, const std::string& text) {
    fs::create_directories(fs::path(root_ + relative).parent_path());
    std::ofstream(root_ + relative, std::ios::binary) << text;
  }
  void Folder(const std::string& relative) { fs::create_directories(root_ + relative); }
  std::string Dev(const std::string& name) { return files_.dev + "/" + name; }

  TTempDir dir_;
  std::string root_;
  std::string oldHome_;
  platform::SystemFiles files_;
};

TEST(LinuxVolumeLayerRules, StorageIsDevicesAndNetworkShares) {
  EXPECT_TRUE(LinuxVolumeLayer::IsStorage({"/dev/sda1", "/", "ext4"}));
  EXPECT_TRUE(LinuxVolumeLayer::IsStorage({"server:/export", "/net", "nfs4"}));
  EXPECT_TRUE(LinuxVolumeLayer::IsStorage({"//nas/music", "/mnt/nas", "cifs"}));
  EXPECT_TRUE(LinuxVolumeLayer::IsStorage({"me@host:/x", "/mnt/ssh", "fuse.sshfs"}));
  EXPECT_FALSE(LinuxVolumeLayer::IsStorage({"proc", "/proc", "proc"}));
  EXPECT_FALSE(LinuxVolumeLayer::IsStorage({"tmpfs", "/run", "tmpfs"}));
  EXPECT_FALSE(LinuxVolumeLayer::IsStorage({"cgroup2", "/sys/fs/cgroup", "cgroup2"}));
  EXPECT_FALSE(LinuxVolumeLayer::IsStorage({"/dev/loop3", "/snap/core/1", "squashfs"}));
}

TEST(LinuxVolumeLayerRules, HardDisksRootFirstThenHomeThenByMountPoint) {
  EXPECT_EQ(LinuxVolumeLayer::OrderHardDisks({"/mnt/b", "/home", "/", "/data", "/mnt/b"}, "/home"),
            (std::vector<std::string>{"/", "/home", "/data", "/mnt/b"}));
  EXPECT_EQ(LinuxVolumeLayer::OrderHardDisks({"/z", "/", "/a"}, "/"),
            (std::vector<std::string>{"/", "/a", "/z"}));
  EXPECT_EQ(LinuxVolumeLayer::OrderHardDisks({"/z", "/a"}, "/gone"),
            (std::vector<std::string>{"/a", "/z"}));
}

TEST(LinuxVolumeLayerRules, LongestRootEndsAtAFolderBoundary) {
  std::vector<std::string> roots{"/", "/mnt", "/mnt/usb", "/media/cd"};
  EXPECT_EQ(LinuxVolumeLayer::LongestRoot(roots, "/mnt/usb/Music"), "/mnt/usb");
  EXPECT_EQ(LinuxVolumeLayer::LongestRoot(roots, "/mnt/usbstick"), "/mnt");
  EXPECT_EQ(LinuxVolumeLayer::LongestRoot(roots, "/media/cd"), "/media/cd");
  EXPECT_EQ(LinuxVolumeLayer::LongestRoot(roots, "/home/x"), "/");
  EXPECT_EQ(LinuxVolumeLayer::LongestRoot({}, "/home/x"), "/");
}

TEST_F(FakeSystem, OpticalDrivesAreNamedByTheirMountOrFstabEntry) {
  for (const char* name : {"sr10", "sr0", "sda", "sr2", "sr1", "srx"})
    Folder("/block/" + std::string(name));
  for (const char* name : {"sr0", "sr1", "sr2", "sr10"}) Write("/dev/" + std::string(name), "");
  fs::create_symlink(Dev("sr0"), Dev("cdrom"));
  Write("/mounts", Dev("sr1") + " /media/user/MY\\040DISC iso9660 ro 0 0\n");
  Write("/fstab", "# drives\n" + Dev("cdrom") + " /media/cdrom0 udf,iso9660 user,noauto 0 0\n" +
                      Dev("sr1") + " /media/cdrom1 udf,iso9660 user,noauto 0 0\n");
  LinuxVolumeLayer layer(files_);
  EXPECT_EQ(layer.CdRomDrives(), (std::vector<std::string>{"/media/cdrom0", "/media/user/MY DISC",
                                                           Dev("sr2"), Dev("sr10")}));
  // An empty drive with no mount is still the volume of its own name.
  EXPECT_EQ(layer.VolumeRoot("/media/cdrom0/Album"), "/media/cdrom0");
  EXPECT_EQ(layer.VolumeRoot("/media/cdrom0"), "/media/cdrom0");
}

TEST_F(FakeSystem, NoOpticalDriveGivesAnEmptyList) {
  Folder("/block/sda");
  Write("/mounts", "/dev/sda1 / ext4 rw 0 0\n");
  EXPECT_TRUE(LinuxVolumeLayer(files_).CdRomDrives().empty());
  files_.sysBlock = root_ + "/missing";
  EXPECT_TRUE(LinuxVolumeLayer(files_).CdRomDrives().empty());
}

TEST_F(FakeSystem, HardDisksLeaveOutPseudoAndOpticalMounts) {
  Folder("/block/sr0");
  Write("/dev/sr0", DiscImage("DISC"));
  for (const char* m : {"/vol/data", "/vol/home", "/vol/cd", "/vol/nas", "/vol/tmp"}) Folder(m);
  Write("/vol/file", "");
  const std::string v = root_ + "/vol";
  Write("/mounts",
        "proc /proc proc rw 0 0\n"
        "overlay / overlay rw 0 0\n"
        "/dev/vdb " +
            v +
            "/home ext4 rw 0 0\n"
            "tmpfs " +
            v +
            "/tmp tmpfs rw 0 0\n"
            "/dev/vdc " +
            v +
            "/data ext4 rw 0 0\n"
            "/dev/vda " +
            v + "/file ext4 rw 0 0\n" + Dev("sr0") + " " + v +
            "/cd iso9660 ro 0 0\n"
            "//nas/music " +
            v +
            "/nas cifs rw 0 0\n"
            "/dev/vdd /not/a/folder ext4 rw 0 0\n");
  fs::create_directories(v + "/home/user");
  setenv("HOME", (v + "/home/user").c_str(), 1);
  LinuxVolumeLayer layer(files_);
  EXPECT_EQ(layer.HardDisks(),
            (std::vector<std::string>{"/", v + "/home", v + "/data", v + "/nas"}));
  EXPECT_EQ(layer.CdRomDrives(), (std::vector<std::string>{v + "/cd"}));
  EXPECT_EQ(layer.VolumeRoot(v + "/home/user/Music/../Music"), v + "/home");
  EXPECT_EQ(layer.VolumeRoot(v + "/data/not/there/yet"), v + "/data");
}

TEST_F(FakeSystem, DiscSerialsFollowTheDiscNotTheDrive) {
  Folder("/block/sr0");
  Folder("/block/sr1");
  Write("/mounts", Dev("sr1") + " " + root_ + "/cd1 iso9660 ro 0 0\n");
  Write("/fstab", Dev("sr0") + " " + root_ + "/cd0 iso9660 noauto 0 0\n");
  Folder("/cd0");
  Folder("/cd1");
  LinuxVolumeLayer layer(files_);

  EXPECT_EQ(layer.VolumeSerial(root_ + "/cd0"), std::nullopt) << "no device, no disc";
  Write("/dev/sr0", "short");
  EXPECT_EQ(layer.VolumeSerial(root_ + "/cd0"), std::nullopt) << "unreadable medium";

  Write("/dev/sr0", DiscImage("FIRST"));
  Write("/dev/sr1", DiscImage("FIRST"));
  auto first = layer.VolumeSerial(root_ + "/cd0");
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(layer.VolumeSerial(root_ + "/cd1/"), first) << "same disc in another drive";
  Write("/dev/sr0", DiscImage("SECOND"));
  EXPECT_NE(layer.VolumeSerial(root_ + "/cd0"), first);
  EXPECT_EQ(layer.VolumeSerial(root_ + "/nowhere"), std::nullopt);
}

TEST_F(FakeSystem, FileSystemSerialComesFromTheUuid) {
  Write("/dev/sdb1", "");
  Folder("/usb");
  fs::create_symlink("../dev/sdb1", root_ + "/by-uuid/1A2B-3C4D");
  Write("/mounts", Dev("sdb1") + " " + root_ + "/usb vfat rw 0 0\n" + "/dev/nonexistent " + root_ +
                       "/home ext4 rw 0 0\n");
  LinuxVolumeLayer layer(files_);
  EXPECT_EQ(layer.VolumeSerial(root_ + "/usb"), 0x1A2B3C4Du);
  // Without a UUID the mount's file-system id still names the volume, stably.
  auto home = layer.VolumeSerial(root_ + "/home");
  ASSERT_TRUE(home.has_value());
  EXPECT_EQ(layer.VolumeSerial(root_ + "/home"), home);
}

TEST_F(FakeSystem, VolumesChangedOnceForEachChangeOfTheTables) {
  Write("/mounts", "/dev/sda1 / ext4 rw 0 0\n");
  Write("/fstab", "");
  LinuxVolumeLayer layer(files_);
  EXPECT_TRUE(layer.VolumesChanged());
  EXPECT_FALSE(layer.VolumesChanged());
  Write("/mounts", "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /media/stick vfat rw 0 0\n");
  EXPECT_TRUE(layer.VolumesChanged());
  EXPECT_FALSE(layer.VolumesChanged());
  Write("/fstab", "/dev/sr0 /media/cdrom iso9660 ro,user,noauto 0 0\n");
  EXPECT_TRUE(layer.VolumesChanged());
  fs::create_symlink("../dev/sdc1", root_ + "/by-uuid/1234-ABCD");
  EXPECT_TRUE(layer.VolumesChanged());
  EXPECT_FALSE(layer.VolumesChanged());
  // A table that cannot be read is no answer: always ask again.
  fs::remove(root_ + "/mounts");
  LinuxVolumeLayer missing(files_);
  EXPECT_TRUE(missing.VolumesChanged());
  EXPECT_TRUE(missing.VolumesChanged());
}

TEST(MediumSerial, UuidsBecomeSerials) {
  EXPECT_EQ(platform::SerialFromUuid("1A2B-3C4D"), 0x1A2B3C4Du);
  EXPECT_EQ(platform::SerialFromUuid("ffffffff"), 0xFFFFFFFFu);
  auto ext4 = platform::SerialFromUuid("0b7e3b3e-1f8b-4e8c-9a47-3a5f1f0d6a11");
  ASSERT_TRUE(ext4.has_value());
  EXPECT_EQ(platform::SerialFromUuid("0b7e3b3e-1f8b-4e8c-9a47-3a5f1f0d6a11"), ext4);
  EXPECT_NE(platform::SerialFromUuid("0b7e3b3e-1f8b-4e8c-9a47-3a5f1f0d6a12"), ext4);
  EXPECT_NE(platform::SerialFromUuid("2023-05-01-10-20-30-00"),
            platform::SerialFromUuid("2023-05-01-10-20-31-00"));
  EXPECT_EQ(platform::SerialFromUuid(""), std::nullopt);
  EXPECT_EQ(platform::SerialFromUuid("--"), std::nullopt);
}

}  // namespace
