// Where the program finds its own files and the user's: folders from the environment.
#include "Folders.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "CaseInsensitive.h"
#include "TempDir.h"

namespace {

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(Folders, XdgVariablesWinWhenAbsolute) {
  TTempDir dir;
  const std::string base = dir.path();
  ScopedEnv home("HOME", (base + "/home").c_str());
  {
    ScopedEnv config("XDG_CONFIG_HOME", (base + "/conf").c_str());
    ScopedEnv data("XDG_DATA_HOME", (base + "/data/").c_str());
    EXPECT_EQ(platform::ConfigFolder(), base + "/conf/");
    EXPECT_TRUE(std::filesystem::is_directory(base + "/conf")) << "created for the first start";
    EXPECT_EQ(platform::UserDataFolder(), base + "/data/");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", "relative/conf");
    ScopedEnv data("XDG_DATA_HOME", "");
    EXPECT_EQ(platform::ConfigFolder(), base + "/home/.config/");
    EXPECT_EQ(platform::UserDataFolder(), base + "/home/.local/share/");
  }
  ScopedEnv config("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(platform::ConfigFolder(), base + "/home/.config/");
}

TEST(Folders, HomeFallsBackToThePasswordDatabase) {
  ScopedEnv home("HOME", nullptr);
  std::string folder = platform::HomeFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
  EXPECT_EQ(folder.back(), '/');
}

TEST(Folders, MusicFolderIsTheFirstThatExists) {
  TTempDir dir;
  const std::string base = dir.path();
  ScopedEnv home("HOME", (base + "/home").c_str());
  ScopedEnv config("XDG_CONFIG_HOME", (base + "/conf").c_str());
  std::filesystem::create_directories(base + "/home");
  EXPECT_EQ(platform::MusicFolder(), base + "/home/") << "nothing else exists";
  std::filesystem::create_directories(base + "/home/Music");
  EXPECT_EQ(platform::MusicFolder(), base + "/home/Music/");
  std::filesystem::create_directories(base + "/conf");
  std::ofstream(base + "/conf/user-dirs.dirs")
      << "# written by xdg-user-dirs-update\nXDG_MUSIC_DIR=\"$HOME/Musik\"\n";
  EXPECT_EQ(platform::MusicFolder(), base + "/home/Music/") << "the named folder is missing";
  std::filesystem::create_directories(base + "/home/Musik");
  EXPECT_EQ(platform::MusicFolder(), base + "/home/Musik/");
  std::ofstream(base + "/conf/user-dirs.dirs") << "XDG_MUSIC_DIR=\"" << base << "/songs\"\n";
  std::filesystem::create_directories(base + "/songs");
  EXPECT_EQ(platform::MusicFolder(), base + "/songs/");
}

// Only a regular file is read: a named pipe in its place must not wait for a writer, and a
// folder of that name is no list of folders.
TEST(Folders, AUserDirsFileThatIsNoFileIsIgnored) {
  TTempDir dir;
  const std::string base = dir.path();
  ScopedEnv home("HOME", (base + "/home").c_str());
  ScopedEnv config("XDG_CONFIG_HOME", (base + "/conf").c_str());
  std::filesystem::create_directories(base + "/home/Music");
  std::filesystem::create_directories(base + "/conf");
  const std::string dirs = base + "/conf/user-dirs.dirs";
  ASSERT_EQ(mkfifo(dirs.c_str(), 0600), 0);
  EXPECT_EQ(platform::MusicFolder(), base + "/home/Music/");
  EXPECT_TRUE(std::filesystem::is_fifo(dirs));
  std::filesystem::remove(dirs);
  std::filesystem::create_directories(dirs);
  EXPECT_EQ(platform::MusicFolder(), base + "/home/Music/");
}

TEST(Folders, ProgramFolderHoldsTheRunningTest) {
  std::string folder = platform::ProgramFolder();
  ASSERT_EQ(folder.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(folder + "platform_Folders_test"));
}

TEST(CaseInsensitive, CasingTouchesAsciiLettersOnly) {
  EXPECT_EQ(platform::AsciiUpper("abc-xyz \xe9\xe0"), "ABC-XYZ \xe9\xe0");
  EXPECT_EQ(platform::AsciiLower("ABC[Z]\xc9"), "abc[z]\xc9");
  EXPECT_TRUE(platform::EqualsIgnoringCase("IMG-default.bmp", "IMG-Default.BMP"));
  EXPECT_FALSE(platform::EqualsIgnoringCase("\xe9", "\xc9"));
  EXPECT_FALSE(platform::EqualsIgnoringCase("abc", "abcd"));
  EXPECT_FALSE(platform::EqualsIgnoringCase("[", "{")) << "only letters fold";
}

TEST(CaseInsensitive, FindsEntriesPreferringExactMatches) {
  TTempDir dir;
  const std::string folder = dir.path();
  for (const char* name : {"IMG-Default.bmp", "DEFAULT", "Skin", "skin", "SKIN"})
    std::filesystem::create_directories(folder + "/" + name);
  EXPECT_EQ(platform::FindEntryIgnoringCase(folder, "img-default.BMP"), "IMG-Default.bmp");
  EXPECT_EQ(platform::FindEntryIgnoringCase(folder + "/", "default"), "DEFAULT");
  EXPECT_EQ(platform::FindEntryIgnoringCase(folder, "skin"), "skin");
  EXPECT_EQ(platform::FindEntryIgnoringCase(folder, "sKIN"), "SKIN") << "lowest variant wins";
  EXPECT_EQ(platform::FindEntryIgnoringCase(folder, "missing"), std::nullopt);
  EXPECT_EQ(platform::FindEntryIgnoringCase(folder, ".."), std::nullopt);
  EXPECT_EQ(platform::FindEntryIgnoringCase(folder, "DEFAULT/x"), std::nullopt);
  EXPECT_EQ(platform::FindEntryIgnoringCase(folder + "/nope", "skin"), std::nullopt);
}

}  // namespace
