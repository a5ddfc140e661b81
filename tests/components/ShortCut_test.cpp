// Links in a home folder of the test's own: the places they go to, moving a link from one
// place to the other, the desktop entry they hold, and a desktop that cannot be written.
#include "ShortCut.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TempHome.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The value of key in a desktop entry, as written (escapes kept).
std::string EntryKey(const std::string& path, const std::string& key) {
  std::istringstream in(ReadText(path));
  for (std::string line; std::getline(in, line);)
    if (line.compare(0, key.size() + 1, key + "=") == 0) return line.substr(key.size() + 1);
  return {};
}

class ShortCutTest : public testing::Test {
 protected:
  ShortCutTest() {
    // The Preferences dialog's link: "Sonavera" in a program group of its own.
    link.SetDescription("Sonavera");
    link.ExactFolder = "Sonavera";
    link.ExactFolderBase = fbProgramsMenu;
    link.SetIconIndex(0);
    link.SetPlace({plExactFolder});
  }

  // What the dialog's buttons do: target and folders, the place, then on and off again.
  void Make(TPlace place) {
    link.SetIconPath("/opt/sonavera/pictures/Sonavera-256.png");
    link.SetPath("/opt/sonavera/sonavera");
    link.SetWorkingDirectory("/opt/sonavera/");
    link.SetPlace({place});
    link.SetActive(true);
    link.SetActive(false);
  }

  std::string DesktopLink() const { return home.Desktop + "Sonavera.desktop"; }
  std::string GroupFolder() const { return home.Applications + "Sonavera"; }
  std::string GroupLink() const { return GroupFolder() + "/Sonavera.desktop"; }
  // Every Sonavera link in the user's folders.
  std::vector<std::string> Links() const {
    std::vector<std::string> found;
    for (const std::string& folder : {home.Home, home.Applications, home.Autostart}) {
      std::error_code error;
      for (auto it = fs::recursive_directory_iterator(folder, error);
           !error && it != fs::recursive_directory_iterator(); it.increment(error))
        if (it->path().filename() == "Sonavera.desktop") found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
  }

  TempHome home;
  TShortCut link;
};

TEST_F(ShortCutTest, EachButtonLeavesOneLinkAndTheOtherMovesIt) {
  Make(plDesktop);
  EXPECT_EQ(Links(), std::vector<std::string>{DesktopLink()}) << "the desktop is made on demand";

  Make(plExactFolder);
  EXPECT_EQ(Links(), std::vector<std::string>{GroupLink()});

  Make(plDesktop);
  EXPECT_EQ(Links(), std::vector<std::string>{DesktopLink()});
  EXPECT_FALSE(fs::exists(GroupFolder())) << "the empty program group goes";
  EXPECT_TRUE(fs::is_directory(home.Applications)) << "the program menu itself stays";
  EXPECT_FALSE(link.Active());
}

TEST_F(ShortCutTest, AProgramGroupHoldingOtherFilesIsKept) {
  fs::create_directories(GroupFolder());
  std::ofstream(GroupFolder() + "/Readme.desktop") << "[Desktop Entry]\n";
  Make(plExactFolder);
  EXPECT_TRUE(fs::exists(GroupLink()));
  Make(plDesktop);
  EXPECT_FALSE(fs::exists(GroupLink()));
  EXPECT_TRUE(fs::exists(GroupFolder() + "/Readme.desktop"));
}

TEST_F(ShortCutTest, TheDesktopTwiceRewritesTheSameLink) {
  Make(plDesktop);
  const std::string first = ReadText(DesktopLink());
  EXPECT_NO_THROW(Make(plDesktop));
  EXPECT_EQ(ReadText(DesktopLink()), first);
  EXPECT_EQ(Links().size(), 1u);
}

TEST_F(ShortCutTest, PlacesSharingAFolderKeepTheLinkOneOfThemWants) {
  // The start menu and the programs menu are one folder here.
  link.SetPlace({plStartMenu});
  link.SetActive(true);
  EXPECT_EQ(Links(), std::vector<std::string>{home.Applications + "Sonavera.desktop"});
  link.SetPlace({plStartUp, plDesktop});
  EXPECT_EQ(Links(),
            (std::vector<std::string>{home.Autostart + "Sonavera.desktop", DesktopLink()}));
}

TEST_F(ShortCutTest, TheEntryIsValidAndExecutable) {
  link.SetWindowClass("Sonavera");
  link.SetArguments("setup");
  Make(plDesktop);
  const std::string validator =
      QStandardPaths::findExecutable("desktop-file-validate").toStdString();
  ASSERT_FALSE(validator.empty()) << "install desktop-file-utils";
  QProcess check;
  check.start(QString::fromStdString(validator), {QString::fromStdString(DesktopLink())});
  ASSERT_TRUE(check.waitForFinished(10000));
  EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
  EXPECT_EQ(check.readAll().toStdString(), "") << "not even a hint";

  EXPECT_EQ(fs::status(DesktopLink()).permissions() & fs::perms::all,
            fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                fs::perms::others_read | fs::perms::others_exec);
  EXPECT_EQ(EntryKey(DesktopLink(), "Name"), "Sonavera");
  EXPECT_EQ(EntryKey(DesktopLink(), "Exec"), "\"/opt/sonavera/sonavera\" setup");
  EXPECT_EQ(EntryKey(DesktopLink(), "Path"), "/opt/sonavera/");
  EXPECT_EQ(EntryKey(DesktopLink(), "Icon"), "/opt/sonavera/pictures/Sonavera-256.png");
  EXPECT_EQ(EntryKey(DesktopLink(), "Terminal"), "false");
  EXPECT_EQ(EntryKey(DesktopLink(), "StartupWMClass"), "Sonavera");
  EXPECT_EQ(EntryKey(DesktopLink(), "Categories"), "AudioVideo;Audio;Player;");
}

// The Exec line undone as a launcher does: the string escapes, then "%%", then the quoting,
// which here is the shell's own double-quote rule.
TEST_F(ShortCutTest, TheExecLineStartsATargetWhosePathNeedsQuoting) {
  const std::string folder = home.Home + "odd $dir \"quoted\" `tick` back\\slash 100%/";
  fs::create_directories(folder);
  const std::string target = folder + "stand in.sh";
  const std::string marker = home.Home + "ran";
  std::ofstream(target) << "#!/bin/sh\nprintf '%s' \"$0\" > '" << marker << "'\n";
  fs::permissions(target, fs::perms::owner_all);

  link.SetPath(target);
  link.SetPlace({plDesktop});
  link.SetActive(true);
  std::string exec = EntryKey(DesktopLink(), "Exec");
  std::string unescaped;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    if (exec[i] == '\\' && i + 1 < exec.size() && exec[i + 1] == '\\')
      ++i;
    else if (exec[i] == '%' && i + 1 < exec.size() && exec[i + 1] == '%')
      ++i;
    unescaped += exec[i];
  }
  QProcess shell;
  shell.start("/bin/sh", {"-c", QString::fromStdString(unescaped)});
  ASSERT_TRUE(shell.waitForFinished(10000));
  EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
  EXPECT_EQ(ReadText(marker), target);
}

TEST_F(ShortCutTest, AnUnwritableDesktopGivesTheSaveErrorWithTheFileName) {
  // sysfs refuses new files even to root.
  home.SetDesktop("/sys/");
  link.SetPlace({plDesktop});
  try {
    link.SetActive(true);
    FAIL() << "no error";
  } catch (const EShortCut& error) {
    EXPECT_STREQ(error.what(),
                 "IPersistFile.Save - Link creation error!\rFile Name \"/sys/Sonavera.desktop\"");
  }
  EXPECT_TRUE(Links().empty());
}

TEST_F(ShortCutTest, AnExactFolderWithoutAnyNameCannotBeMade) {
  link.ExactFolderBase = fbNone;
  link.ExactFolder = "";
  link.SetPlace({plDesktop});
  EXPECT_THROW(link.SetActive(true), EShortCut);
  EXPECT_TRUE(Links().empty()) << "the error comes first, at the program group";
}

TEST_F(ShortCutTest, EventsComeInTheirOrder) {
  std::vector<std::string> events;
  link.OnChanged = [&](TShortCut*) { events.push_back("changed"); };
  link.OnActivate = [&](TShortCut*) { events.push_back("activate"); };
  link.OnDeactivate = [&](TShortCut*) { events.push_back("deactivate"); };
  link.OnSynchronized = [&](TShortCut*) { events.push_back("synchronized"); };
  link.SetDescription("Sonavera");  // unchanged: nothing
  link.SetPath("/bin/true");
  link.ExactFolder = "Other";  // stored without notice
  link.SetPlace({plDesktop});  // inactive: nothing is written
  EXPECT_FALSE(fs::exists(DesktopLink()));
  link.SetActive(true);
  link.SetActive(false);
  EXPECT_EQ(events, (std::vector<std::string>{"changed", "synchronized", "changed", "activate",
                                              "synchronized", "changed", "deactivate",
                                              "synchronized", "changed"}));
  EXPECT_TRUE(fs::exists(DesktopLink())) << "turning it off leaves the link";
}

}  // namespace
