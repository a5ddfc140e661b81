// The settings store: value encodings, the write-back of defaults, how the file is edited
// and replaced, and the errors it reports.
#include "MyRegistry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "FullDisk.h"
#include "IniFile.h"

namespace fs = std::filesystem;

namespace {

struct Report {
  bool isBox;
  std::string message;
  bool operator==(const Report&) const = default;
};

class MyRegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = dir_.path().toStdString();
    path_ = folder_ + "/Sonavera.ini";
    ini_.SaveToINI = true;
    ini_.SaveNewKey = true;
    ini_.OnError = [this](TMyRegistry* sender, bool isBox, const std::string& message) {
      EXPECT_EQ(sender, &ini_);
      reports_.push_back({isBox, message});
    };
  }

  void Put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Text() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void OpenFile() {
    ini_.INIFile = path_;
    ini_.Open();
  }

  QTemporaryDir dir_;
  std::string folder_;
  std::string path_;
  TMyRegistry ini_;
  std::vector<Report> reports_;
};

TEST(MyRegistryEncoding, Integers) {
  using R = TMyRegistry;
  EXPECT_EQ(R::ParseInteger("-12"), -12);
  EXPECT_EQ(R::ParseInteger("400"), 400);
  EXPECT_EQ(R::ParseInteger("+7"), 7);
  EXPECT_EQ(R::ParseInteger("0x20"), 32);
  EXPECT_EQ(R::ParseInteger("0X1f"), 31);
  EXPECT_EQ(R::ParseInteger("$FF"), 255);
  EXPECT_EQ(R::ParseInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(R::ParseInteger("-$10"), -16);
  EXPECT_EQ(R::ParseInteger("2147483647"), 2147483647);
  EXPECT_EQ(R::ParseInteger("-2147483648"), INT32_MIN);
  EXPECT_EQ(R::ParseInteger("007"), 7);
  for (const char* bad : {"", "abc", "0x", "$", "12abc", "1 2", "2147483648", "-2147483649",
                          "0x100000000", "--1", "0x-1", "1.5", "\xff"})
    EXPECT_EQ(R::ParseInteger(bad), std::nullopt) << bad;
}

TEST_F(MyRegistryTest, FirstStartCreatesTheFileWithEveryDefaultInReadOrder) {
  OpenFile();
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 10), 10);
  EXPECT_FALSE(ini_.ReadBool("General", "ReverseTime", false));
  EXPECT_TRUE(ini_.ReadBool("General", "AutoStart", true));
  EXPECT_EQ(ini_.ReadString("General", "Skin", "DEFAULT"), "DEFAULT");
  EXPECT_EQ(ini_.ReadInteger("EQU", "Equ1", 0), 0);
  EXPECT_EQ(ini_.ReadInteger("General", "LastRow", 1), 1);
  EXPECT_EQ(ini_.ReadString("EQU", "Preset", "Default"), "Default");
  ini_.Close();
  EXPECT_EQ(Text(),
            "[General]\nWinX=10\nReverseTime=0\nAutoStart=1\nSkin=DEFAULT\nLastRow=1\n"
            "[EQU]\nEqu1=0\nPreset=Default\n");
  EXPECT_TRUE(reports_.empty());
}

TEST_F(MyRegistryTest, WriteBackOfDefaults) {
  Put("[General]\nWinX=0x20\nWinY=abc\nMicroMode=00\nVolume=50\nSkin=\nLastAlbum=  \n");
  OpenFile();
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 10), 32) << "hex, not the default: kept";
  EXPECT_EQ(ini_.ReadInteger("General", "WinY", 10), 10) << "malformed: default, written back";
  EXPECT_FALSE(ini_.ReadBool("General", "MicroMode", false));
  EXPECT_EQ(ini_.ReadInteger("General", "Volume", 50), 50);
  EXPECT_EQ(ini_.ReadString("General", "Skin", "DEFAULT"), "") << "present but empty";
  EXPECT_EQ(ini_.ReadString("General", "LastAlbum", "D:"), "");
  EXPECT_EQ(Text(), "[General]\nWinX=0x20\nWinY=10\nMicroMode=0\nVolume=50\nSkin=\nLastAlbum=  \n");

  ini_.SaveNewKey = false;
  EXPECT_EQ(ini_.ReadInteger("General", "Missing", 3), 3);
  EXPECT_EQ(Text().find("Missing"), std::string::npos) << "no write-back without SaveNewKey";
}

TEST_F(MyRegistryTest, NamesMatchIgnoringCaseAndKeepTheirSpelling) {
  Put("[general]\nwinx=5\n");
  OpenFile();
  EXPECT_EQ(ini_.ReadInteger("GENERAL", "WinX", 10), 5);
  ini_.WriteInteger("General", "WINX", 6);
  ini_.WriteInteger("GENERAL", "WinY", 7);
  EXPECT_EQ(Text(), "[general]\nwinx=6\nWinY=7\n");
}

TEST_F(MyRegistryTest, EditsKeepEverythingElseInPlace) {
  Put("; Sonavera settings\n"
      "stray line before sections\n"
      "[General]\n"
      "  WinX = 5  \n"
      "# a comment = not a key\n"
      "just some text\n"
      "\n"
      "[Colors]\n"
      "Back=$00FF00\n"
      "[General]\n"
      "WinY=99\n");
  OpenFile();
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 10), 5) << "blanks around names and values";
  EXPECT_EQ(ini_.ReadInteger("General", "WinY", 10), 10) << "only the first section counts";
  EXPECT_EQ(ini_.ReadInteger("Colors", "Back", 0), 0x00FF00);
  ini_.WriteString("EQU", "Preset", "Rock");
  ini_.WriteInteger("General", "WinX", -6);
  EXPECT_EQ(Text(),
            "; Sonavera settings\n"
            "stray line before sections\n"
            "[General]\n"
            "WinX=-6\n"
            "# a comment = not a key\n"
            "just some text\n"
            "WinY=10\n"
            "\n"
            "[Colors]\n"
            "Back=$00FF00\n"
            "[General]\n"
            "WinY=99\n"
            "[EQU]\n"
            "Preset=Rock\n");
  EXPECT_TRUE(reports_.empty());
}

TEST_F(MyRegistryTest, LineEndsAndUnterminatedLastLines) {
  Put("[General]\r\nWinX=1\r\n\r\n[EQU]\r\nEqu1=3");
  OpenFile();
  EXPECT_EQ(ini_.ReadInteger("EQU", "Equ1", 0), 3);
  ini_.WriteInteger("EQU", "Equ2", 4);
  ini_.WriteInteger("General", "WinY", 2);
  ini_.WriteInteger("General", "WinX", 5);
  EXPECT_EQ(Text(), "[General]\r\nWinX=5\r\nWinY=2\r\n\r\n[EQU]\r\nEqu1=3\nEqu2=4\r\n");
  EXPECT_EQ(ini_.ReadInteger("EQU", "Equ1", 0), 3);
}

// Files from other editors: a byte-order mark and lines ending with a CR alone read as
// meant, and an edit keeps both.
TEST_F(MyRegistryTest, ByteOrderMarkAndCarriageReturnLines) {
  Put("\xEF\xBB\xBF[General]\nWinX=7\n");
  OpenFile();
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 0), 7);
  ini_.WriteInteger("General", "WinY", 2);
  EXPECT_EQ(Text(), "\xEF\xBB\xBF[General]\nWinX=7\nWinY=2\n");

  Put("[General]\rWinX=1\r[EQU]\rEqu1=3\r");
  OpenFile();
  EXPECT_EQ(ini_.ReadInteger("EQU", "Equ1", 0), 3);
  ini_.WriteInteger("General", "WinX", 5);
  ini_.WriteInteger("EQU", "Equ2", 4);
  EXPECT_EQ(Text(), "[General]\rWinX=5\r[EQU]\rEqu1=3\rEqu2=4\r");
  EXPECT_TRUE(reports_.empty());
}

// A file too large to be settings is neither read nor replaced, and says so; a quiet pass
// keeps the first error for its caller.
TEST_F(MyRegistryTest, AnOversizeFileIsRefusedAndKept) {
  Put("[General]\nWinX=7\n");
  fs::resize_file(path_, (16u << 20) + 1);
  {
    const TMyRegistry::TQuietPass pass(ini_);
    OpenFile();
    EXPECT_TRUE(ini_.TooLarge());
    EXPECT_EQ(ini_.ReadInteger("General", "WinX", 0), 0);
    ini_.WriteInteger("General", "WinX", 3);
  }
  EXPECT_NE(ini_.QuietError().find("Unable to write to " + path_), std::string::npos);
  EXPECT_EQ(fs::file_size(path_), (16u << 20) + 1);
  EXPECT_EQ(Text().substr(0, 17), "[General]\nWinX=7\n");
  EXPECT_TRUE(reports_.empty()) << "a quiet pass reports nothing";

  Put("[General]\n");
  {
    const TMyRegistry::TQuietPass pass(ini_);
    OpenFile();
    EXPECT_FALSE(ini_.TooLarge());
    ini_.WriteInteger("General", "WinX", 3);
  }
  EXPECT_EQ(ini_.QuietError(), "");
}

TEST_F(MyRegistryTest, StringsRoundTripAndAreCut) {
  OpenFile();
  for (const std::string value :
       {"  leading", "trailing\t", "\"quoted\"", "\"", "a=b;c[d]", "8-bit \xe9\xff", ""}) {
    ASSERT_TRUE(ini_.WriteString("General", "Text", value));
    EXPECT_EQ(ini_.ReadString("General", "Text", "x"), value);
  }
  ini_.WriteString("General", "Long", std::string(1500, 'z'));
  EXPECT_EQ(ini_.ReadString("General", "Long", ""), std::string(1023, 'z'));
  EXPECT_TRUE(reports_.empty());
}

TEST_F(MyRegistryTest, ValuesThatWouldBreakTheFileAreRefused) {
  Put("[General]\nLastAlbum=/music\n");
  OpenFile();
  EXPECT_FALSE(ini_.WriteString("General", "LastAlbum", "/music\n[Evil]\nKey=1"));
  EXPECT_FALSE(ini_.WriteString("General", "A=B", "1"));
  EXPECT_FALSE(ini_.WriteString("Gen]eral", "A", "1"));
  EXPECT_FALSE(ini_.WriteString("", "A", "1"));
  EXPECT_FALSE(ini_.WriteString("General", ";A", "1"));
  EXPECT_EQ(Text(), "[General]\nLastAlbum=/music\n");
  ASSERT_EQ(reports_.size(), 5u);
  EXPECT_FALSE(reports_[0].isBox);
}

TEST_F(MyRegistryTest, WritesReplaceTheFileAtomically) {
  Put("[General]\nWinX=1\n");
  ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
  fs::create_symlink("Sonavera.ini", folder_ + "/link.ini");
  ini_.INIFile = folder_ + "/link.ini";
  ini_.Open();
  ini_.WriteInteger("General", "WinX", 2);
  EXPECT_EQ(Text(), "[General]\nWinX=2\n");
  EXPECT_TRUE(fs::is_symlink(folder_ + "/link.ini")) << "the link still points at the file";
  EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(folder_)) entries += entry.exists() ? 1 : 0;
  EXPECT_EQ(entries, 2) << "no temporary file is left behind";
}

TEST_F(MyRegistryTest, ReadOnlyFileIsStillReadAndNeverReplaced) {
  const std::string original = "[General]\nWinX=0x20\nVolume=abc\nSkin=Blue\n";
  Put(original);
  ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
  OpenFile();
  EXPECT_EQ(ini_.ReadInteger("General", "Volume", 50), 50);
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 10), 32) << "a failed write-back ends nothing";
  EXPECT_EQ(ini_.ReadString("General", "Skin", "DEFAULT"), "Blue");
  EXPECT_FALSE(ini_.WriteInteger("General", "WinX", 5));
  EXPECT_EQ(Text(), original);
  ASSERT_EQ(reports_.size(), 2u);
  EXPECT_EQ(reports_[0], (Report{false, "Unable to write to " + path_ + ": Permission denied"}));
}

TEST_F(MyRegistryTest, FilesThatAreNoFilesGiveDefaultsAndStayUntouched) {
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  OpenFile();
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 10), 10);  // must not wait for a writer
  EXPECT_TRUE(fs::is_fifo(path_));
  fs::remove(path_);
  fs::create_directory(path_);
  EXPECT_EQ(ini_.ReadString("General", "Skin", "DEFAULT"), "DEFAULT");
  EXPECT_TRUE(fs::is_directory(path_));
  EXPECT_EQ(reports_.size(), 2u);

  ini_.INIFile = folder_ + "/no/such/folder/x.ini";
  ini_.Open();
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 10), 10);
  EXPECT_EQ(reports_.size(), 3u);
}

TEST_F(MyRegistryTest, ChangesOnDiskAreSeenAndEachOpenNamesItsFile) {
  Put("[General]\nWinX=1\n");
  OpenFile();
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 10), 1);
  Put("[General]\nWinX=22222\n");
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 10), 22222);

  const std::string preset = folder_ + "/Rock.equ";
  ini_.INIFile = preset;
  ini_.Open();  // no Close in between: the earlier file is let go
  ini_.WriteInteger("EQU", "Equ1", 12);
  ini_.Close();
  EXPECT_EQ(Text(), "[General]\nWinX=22222\n");
  EXPECT_TRUE(fs::exists(preset));
  EXPECT_FALSE(ini_.WriteInteger("EQU", "Equ2", 1)) << "closed: nothing bound";
}

TEST_F(MyRegistryTest, OpenWithoutAFileName) {
  ini_.INIFile = "  ";
  ini_.Open();
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 10), 10);
  ASSERT_FALSE(reports_.empty());
  EXPECT_EQ(reports_[0], (Report{true, "INI file does not exist !!"}));
  EXPECT_EQ(ini_.Version(), "v1.10");
}

TEST_F(MyRegistryTest, RegistryModeReportsAndChangesNothing) {
  ini_.SaveToINI = false;
  ini_.Open();
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_EQ(reports_[0], (Report{true, "You must insert a registry string !!"}));
  reports_.clear();

  ini_.RegPath = "Software\\Sonavera";
  ini_.Open();
  EXPECT_EQ(ini_.RegPath, "Software\\Sonavera\\");
  EXPECT_EQ(ini_.ReadString("General", "Skin", "DEFAULT"), "DEFAULT");
  ini_.SaveNewKey = false;
  EXPECT_EQ(ini_.ReadInteger("General", "WinX", 10), 10);
  ASSERT_EQ(reports_.size(), 3u);
  EXPECT_EQ(reports_[0], (Report{false, "Value not found !!"}));
  EXPECT_TRUE(reports_[1].isBox) << "the failed write-back";
  EXPECT_EQ(reports_[2], (Report{false, "Value not found !!"}));
  EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(MyRegistryTest, AnUpdateWritesOnceAtItsEndAndReadsSeeItsWrites) {
  Put("[General]\nVolume=10\n");
  OpenFile();
  ini_.BeginUpdate();
  EXPECT_TRUE(ini_.WriteInteger("General", "Volume", 70));
  EXPECT_TRUE(ini_.WriteString("General", "Skin", "Blue"));
  EXPECT_FALSE(ini_.WriteString("General", "LastAlbum", "a\nb"));
  EXPECT_EQ(ini_.ReadInteger("General", "Volume", 50), 70);
  EXPECT_EQ(ini_.ReadString("General", "Skin", ""), "Blue");
  EXPECT_EQ(Text(), "[General]\nVolume=10\n") << "nothing reaches the file before the end";
  EXPECT_TRUE(ini_.EndUpdate());
  EXPECT_EQ(Text(), "[General]\nVolume=70\nSkin=Blue\n");
  // After the update each write replaces the file at once again.
  EXPECT_TRUE(ini_.WriteInteger("General", "Volume", 5));
  EXPECT_EQ(Text(), "[General]\nVolume=5\nSkin=Blue\n");
  ini_.Close();

  // Close and the next Open also write what is pending.
  ini_.BeginUpdate();
  OpenFile();
  ini_.WriteInteger("General", "Volume", 6);
  ini_.Close();
  EXPECT_EQ(Text(), "[General]\nVolume=6\nSkin=Blue\n");
  OpenFile();
  ini_.WriteInteger("General", "Volume", 7);
  ini_.INIFile = folder_ + "/Other.ini";
  ini_.Open();
  EXPECT_EQ(Text(), "[General]\nVolume=7\nSkin=Blue\n");
  EXPECT_TRUE(ini_.EndUpdate());
  EXPECT_TRUE(reports_.size() == 1 && !reports_[0].isBox);
}

TEST_F(MyRegistryTest, AnUpdateThatCannotBeStoredLeavesTheFile) {
  Put("[General]\nVolume=10\n");
  chmod(path_.c_str(), 0444);
  OpenFile();
  ini_.BeginUpdate();
  ini_.WriteInteger("General", "Volume", 70);
  EXPECT_FALSE(ini_.EndUpdate());
  EXPECT_EQ(Text(), "[General]\nVolume=10\n");
  EXPECT_EQ(ini_.ReadInteger("General", "Volume", 50), 10) << "reads see the file again";
  // Failing at the end of a quiet pass (a full disk, for root too), the reason is kept.
  chmod(path_.c_str(), 0644);
  {
    const TFullDisk full;
    const TMyRegistry::TQuietPass pass(ini_);
    OpenFile();
    ini_.WriteInteger("General", "Volume", 70);
  }
  EXPECT_NE(ini_.QuietError().find("Unable to write to " + path_), std::string::npos);
  EXPECT_EQ(Text(), "[General]\nVolume=10\n");
}

// A process killed while it replaces the file leaves the old or the new file, never a mix,
// and its temporary file is removed by the next start.
TEST_F(MyRegistryTest, AKillDuringUpdatesLeavesAWholeFileAndNoLitterAfterCleanup) {
  const auto batch = [this](int value) {
    OpenFile();
    ini_.BeginUpdate();
    for (int key = 0; key < 40; ++key)
      ini_.WriteInteger("General", "Key" + std::to_string(key), value);
    ini_.EndUpdate();
    ini_.Close();
  };
  batch(0);
  bool sawLitter = false;
  for (int round = 0; round < 30; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int value = 1;; ++value) batch(value);
    }
    usleep(2000 + 700 * round);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::string text = Text();
    const std::string first = text.substr(text.find("Key0=") + 5);
    const std::string value = first.substr(0, first.find('\n'));
    for (int key = 0; key < 40; ++key)
      EXPECT_NE(text.find("\nKey" + std::to_string(key) + "=" + value + "\n"), std::string::npos)
          << "round " << round;
    const auto litter = [this] {
      int count = 0;
      for (const auto& entry : fs::directory_iterator(folder_))
        count += entry.path().filename() != "Sonavera.ini";
      return count;
    };
    sawLitter = sawLitter || litter() > 0;
    IniFile::RemoveStaleTemporaries(path_);
    EXPECT_EQ(litter(), 0);
  }
  // A temporary file of a live process is its own business.
  const std::string live = folder_ + "/.Sonavera.ini." + std::to_string(getppid()) + ".3";
  Put("");
  std::ofstream(live) << "x";
  IniFile::RemoveStaleTemporaries(path_);
  EXPECT_TRUE(fs::exists(live));
  RecordProperty("killed_with_temporary_file", sawLitter ? "yes" : "no");
}

TEST(MyRegistryReport, BoxWithoutHandler) {
  TMyRegistry ini;
  QString title, text;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      title = box->windowTitle();
      text = box->text();
      box->close();
    }
  });
  ini.ReportError(true, "INI file does not exist !!");
  EXPECT_EQ(title, "Error");
  EXPECT_EQ(text, "INI file does not exist !!");
  ini.ReportError(false, "silent");  // no handler, no box: returns at once
}

}  // namespace
