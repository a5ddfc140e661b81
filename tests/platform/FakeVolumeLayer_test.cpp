// The fake volume layer other suites build on: drives, discs going in and out, serials.
#include "FakeVolumeLayer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "VolumeLayer.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(FakeVolumeLayer, InstallsItselfAndRestoresTheRealLayer) {
  platform::VolumeLayer* real = &platform::Volumes();
  {
    FakeVolumeLayer fake;
    EXPECT_EQ(&platform::Volumes(), &fake);
  }
  EXPECT_EQ(&platform::Volumes(), real);
}

TEST(FakeVolumeLayer, ListsDrivesByKindInTheOrderAdded) {
  FakeVolumeLayer fake;
  std::string c = fake.AddHardDisk("c", 1);
  std::string cd = fake.AddCdRom("cdrom");
  std::string e = fake.AddHardDisk("e", 2);
  EXPECT_EQ(c, fake.Root() + "/c");
  EXPECT_TRUE(fs::is_directory(c));
  EXPECT_FALSE(fs::exists(cd)) << "an empty drive cannot be entered";
  EXPECT_EQ(fake.HardDisks(), (std::vector<std::string>{c, e}));
  EXPECT_EQ(fake.CdRomDrives(), (std::vector<std::string>{cd}));
}

TEST(FakeVolumeLayer, DiscInsertAndEject) {
  FakeVolumeLayer fake;
  std::string cd = fake.AddCdRom("cdrom");
  EXPECT_EQ(fake.VolumeSerial(cd), std::nullopt);

  fake.InsertDisc(cd, 0x1234, {{"Album/01.mp3", "one"}, {"top.mp3", "top"}});
  EXPECT_EQ(fake.VolumeSerial(cd), 0x1234u);
  EXPECT_EQ(ReadAll(cd + "/Album/01.mp3"), "one");
  EXPECT_EQ(ReadAll(cd + "/top.mp3"), "top");

  // A second disc replaces the first one's whole tree.
  fake.InsertDisc(cd, 0x5678, {{"other.mp3", "x"}});
  EXPECT_EQ(fake.VolumeSerial(cd), 0x5678u);
  EXPECT_FALSE(fs::exists(cd + "/Album"));

  fake.Eject(cd);
  EXPECT_EQ(fake.VolumeSerial(cd), std::nullopt);
  EXPECT_FALSE(fs::exists(cd));

  fake.InsertDisc(cd, 9);
  fake.Eject(cd, /*keepFolder=*/true);
  EXPECT_TRUE(fs::is_directory(cd));
  EXPECT_TRUE(fs::is_empty(cd));
  EXPECT_EQ(fake.VolumeSerial(cd + "/"), std::nullopt);
}

TEST(FakeVolumeLayer, InsertDiscCopyTakesAWholeTree) {
  FakeVolumeLayer fake;
  std::string source = fake.AddHardDisk("c", 7) + "/Music";
  fs::create_directories(source + "/A/B");
  std::ofstream(source + "/A/B/song.mp3") << "data";
  std::string cd = fake.AddCdRom("cd");
  fake.InsertDiscCopy(cd, 42, source);
  EXPECT_EQ(ReadAll(cd + "/A/B/song.mp3"), "data");
  EXPECT_EQ(fake.VolumeSerial(cd), 42u);
}

TEST(FakeVolumeLayer, VolumeRootIsTheLongestDriveHoldingThePath) {
  FakeVolumeLayer fake;
  std::string c = fake.AddHardDisk("c", 1);
  std::string nested = fake.AddHardDisk("c/mnt/usb", 2);
  std::string cd = fake.AddCdRom("cd");
  EXPECT_EQ(fake.VolumeRoot(c + "/Music/Pop"), c);
  EXPECT_EQ(fake.VolumeRoot(c + "/"), c);
  EXPECT_EQ(fake.VolumeRoot(nested + "/x"), nested);
  EXPECT_EQ(fake.VolumeRoot(c + "/mnt/usbstick"), c) << "a prefix must end at a folder boundary";
  EXPECT_EQ(fake.VolumeRoot(cd), cd) << "an empty drive is still a volume";
  EXPECT_EQ(fake.VolumeRoot("/elsewhere/x"), "/");
}

TEST(FakeVolumeLayer, SerialsAndTheirText) {
  FakeVolumeLayer fake;
  std::string root = fake.AddHardDisk("/", 0xFFFFFFFFu);
  std::string c = fake.AddHardDisk("c", 0x80000000u);
  EXPECT_EQ(root, "/");
  EXPECT_EQ(platform::SerialText(fake.VolumeSerial("/")), "-1");
  EXPECT_EQ(platform::SerialText(fake.VolumeSerial(c)), "-2147483648");
  fake.SetSerial(c, 0x7FFFFFFFu);
  EXPECT_EQ(platform::SerialText(fake.VolumeSerial(c)), "2147483647");
  fake.SetSerial(c, std::nullopt);
  EXPECT_EQ(platform::SerialText(fake.VolumeSerial(c)), "0");
  EXPECT_EQ(platform::SerialText(fake.VolumeSerial(fake.Root() + "/unknown")), "0");
  EXPECT_EQ(fake.SerialQueries(), 5);
  EXPECT_THROW(fake.SetSerial("nowhere", 1), std::invalid_argument);
}

}  // namespace
