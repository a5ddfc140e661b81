// Reading the kernel's mount table and fstab.
#include "MountTable.h"

#include <gtest/gtest.h>

namespace {

using platform::MountTable;

TEST(MountTable, ParsesKernelAndFstabLines) {
  MountTable table = MountTable::Parse(
      "# /etc/fstab: static file system information.\n"
      "\n"
      "UUID=1234-ABCD  /boot/efi  vfat  umask=0077  0  1\n"
      "/dev/sr0\t/media/cdrom0\tudf,iso9660 user,noauto 0 0\r\n"
      "/dev/sda5 none swap sw 0 0\n"
      "   # indented comment\n"
      "/dev/sdb1 /mnt/My\\040Music ext4 rw 0 0\n"
      "server:/export /net/share/ nfs4 rw\n"
      "lonely\n"
      "/dev/sdc1 /mnt/last");
  const auto& e = table.Entries();
  ASSERT_EQ(e.size(), 5u);
  EXPECT_EQ(e[0].device, "UUID=1234-ABCD");
  EXPECT_EQ(e[0].mountPoint, "/boot/efi");
  EXPECT_EQ(e[0].type, "vfat");
  EXPECT_EQ(e[1].mountPoint, "/media/cdrom0");
  EXPECT_EQ(e[1].type, "udf,iso9660");
  EXPECT_EQ(e[2].mountPoint, "/mnt/My Music");
  EXPECT_EQ(e[3].mountPoint, "/net/share") << "trailing slash dropped";
  EXPECT_EQ(e[4].mountPoint, "/mnt/last");
  EXPECT_EQ(e[4].type, "") << "a missing type field is empty, not garbage";
}

TEST(MountTable, UnescapesOnlyCompleteOctalEscapes) {
  EXPECT_EQ(MountTable::Unescape("a\\040b\\011c\\134d\\012"), "a b\tc\\d\n");
  EXPECT_EQ(MountTable::Unescape("x\\04"), "x\\04") << "too short at the end";
  EXPECT_EQ(MountTable::Unescape("x\\0a9"), "x\\0a9");
  EXPECT_EQ(MountTable::Unescape("x\\"), "x\\");
  EXPECT_EQ(MountTable::Unescape("\\377"), "\xFF");
}

TEST(MountTable, LaterMountsHideEarlierOnes) {
  MountTable table = MountTable::Parse(
      "/dev/sda1 /mnt ext4 rw 0 0\n/dev/sdb1 /mnt xfs rw 0 0\n/dev/sdc1 /other ext4 rw 0 0\n");
  ASSERT_NE(table.AtMountPoint("/mnt"), nullptr);
  EXPECT_EQ(table.AtMountPoint("/mnt")->device, "/dev/sdb1");
  EXPECT_EQ(table.AtMountPoint("/nowhere"), nullptr);
}

TEST(MountTable, NormalizesPaths) {
  EXPECT_EQ(MountTable::NormalizePath("/"), "/");
  EXPECT_EQ(MountTable::NormalizePath("//"), "/");
  EXPECT_EQ(MountTable::NormalizePath("/a//b///"), "/a/b");
  EXPECT_EQ(MountTable::NormalizePath(""), "");
}

TEST(MountTable, GarbageAndMissingFilesGiveEmptyOrPartialTables) {
  EXPECT_TRUE(MountTable::Load("/nonexistent/fstab").Entries().empty());
  std::string garbage("\0\0\xff\xfe relative/path x\n\\\\\\ \\040 \n", 30);
  EXPECT_TRUE(MountTable::Parse(garbage).Entries().empty());
  EXPECT_FALSE(MountTable::Load("/proc/self/mounts").Entries().empty());
}

}  // namespace
