// The settings file: what a first start leaves in it, how odd values are taken, and what a
// second run finds of the first.
#include <sys/stat.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "ExtProgressBar.h"
#include "FEJpeg.h"
#include "FileLabel.h"
#include "FullDisk.h"
#include "GradProgress.h"
#include "RunLabel.h"
#include "SettingsTest.h"
#include "SkinWriter.h"
#include "phComboBox.h"

namespace {

class Form1Settings : public SettingsTest {};

TEST_F(Form1Settings, FirstStartWritesEveryKeyWithItsDefaultInReadingOrder) {
  const std::string drive = volumes.AddCdRom("cdrom");
  Start();
  EXPECT_EQ(Settings(),
            "[General]\nWinX=10\nWinY=10\nOpenX=20\nOpenY=20\nReverseTime=0\nMicroMode=0\n"
            "AutoStart=1\nAutoPlay=0\nAutoPlayCD=0\nAutoScroll=0\nLastPos=0\nActiveHints=1\n"
            "AutoCloseSec=5\nPriority=4\nVolume=50\nSkin=DEFAULT\nLastAlbum=" +
                drive +
                "\nModeRepeat=0\nModeShuffle=0\nModeProgram=0\nModeAlbum=0\nLastRow=1\nZoom=1\n"
                "ReplayGain=3\nReplayGainPreamp=0\nReplayGainUntagged=0\nLastSong=\nLastSecond=0\n"
                "[EQU]\nEquON=0\nPreset=Default\nEqu1=0\nEqu2=0\nEqu3=0\nEqu4=0\nEqu5=0\nEqu6=0\n"
                "Equ7=0\nEqu8=0\n");
  EXPECT_EQ(form->pos(), QPoint(10, 10));
  EXPECT_EQ(form2->pos(), QPoint(20, 20));
  EXPECT_EQ(engine.PriorityValue(), 4);
}

TEST_F(Form1Settings, WithoutCdRomTheLastAlbumIsTheMusicFolder) {
  const std::string home = dir.path().toStdString() + "/home";
  std::filesystem::create_directories(home + "/Music");
  const std::string savedHome = getenv("HOME");
  setenv("HOME", home.c_str(), 1);
  Start();
  setenv("HOME", savedHome.c_str(), 1);
  EXPECT_EQ(form2->CurrDir->FileName(), home + "/Music");
  EXPECT_NE(Settings().find("\nLastAlbum=" + home + "/Music\n"), std::string::npos);
}

TEST_F(Form1Settings, OddValuesAreClampedIgnoredOrTakenAsDefaults) {
  const std::string drive1 = volumes.AddCdRom("cd1");
  volumes.AddCdRom("cd2");
  WriteText(SettingsPath(),
            "[General]\nWinX=abc\nWinY=0x20\nReverseTime=00\nAutoPlayCD=3\nAutoCloseSec=1\n"
            "Priority=9\nVolume=150\nSkin=\nModeProgram=1\nAutoStart=1\n[EQU]\nEqu3=-55\n");
  Start();
  EXPECT_EQ(form->pos(), QPoint(10, 32));
  EXPECT_EQ(form3->AutoPlayCD->ItemIndex(), 0);
  EXPECT_EQ(form3->Barautoclose->value(), 2);
  EXPECT_EQ(form->TimerSelector->interval(), 2000);
  EXPECT_EQ(form3->BarPrior->value(), 4);
  EXPECT_EQ(engine.PriorityValue(), 4);
  EXPECT_EQ(form->VolBar->Position(), 50);
  // An empty skin name names the skins root, which is no skin.
  EXPECT_EQ(form->SkinName, "");
  EXPECT_EQ(messages, std::vector<std::string>{"Error loading Skin: " + form->SkinsRoot + "/"});
  EXPECT_EQ(form->TrackBar[2]->Position(), -40);
  EXPECT_EQ(form2->CurrDir->FileName(), drive1);
  // Defaults are written back even where the key held them in another spelling; values
  // that are not the default stay as they were.
  const std::string text = Settings();
  for (const char* line : {"\nWinX=10\n", "\nWinY=0x20\n", "\nReverseTime=0\n", "\nAutoPlayCD=3\n",
                           "\nVolume=150\n", "\nSkin=\n", "\nModeProgram=1\n", "\nAutoStart=1\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;

  form->close();
  const std::string closed = Settings();
  for (const char* line : {"\nVolume=50\n", "\nModeProgram=0\n", "\nPriority=4\n",
                           "\nAutoCloseSec=2\n", "\nAutoPlayCD=0\n", "\nEqu3=-40\n"})
    EXPECT_NE(closed.find(line), std::string::npos) << line;
}

TEST_F(Form1Settings, AReadOnlyFileIsReadToTheEnd) {
  const std::string original =
      "[General]\nVolume=70\nLastPos=1\nLastAlbum=/nowhere\nLastRow=3\n"
      "[EQU]\nEquON=1\nPreset=Rock\nEqu8=12\n";
  WriteText(SettingsPath(), original);
  chmod(SettingsPath().c_str(), 0444);
  Start();
  EXPECT_EQ(form->VolBar->Position(), 70);
  EXPECT_TRUE(form3->LastPos->isChecked());
  EXPECT_EQ(form->Session.LastRow, 3);
  EXPECT_TRUE(form->AbilitaEQU->isChecked());
  EXPECT_EQ(form->PresetEdit->text(), "Rock");
  EXPECT_EQ(form->TrackBar[7]->Position(), 12);
  form->close();
  EXPECT_EQ(Settings(), original);
}

// Files from other editors read as meant; a save that fails says so once, and the old file
// stays whole. Ended from outside, nobody is asked.
TEST_F(Form1Settings, ForeignFilesAndAFailedSave) {
  WriteText(SettingsPath(), "\xEF\xBB\xBF[General]\rVolume=70\r[EQU]\rPreset=Rock\r");
  Start();
  EXPECT_EQ(form->VolBar->Position(), 70);
  EXPECT_EQ(form->PresetEdit->text(), "Rock");
  Restart();
  const std::string written = Settings();
  EXPECT_EQ(written.rfind("\xEF\xBB\xBF[General]\rVolume=70\r", 0), 0u) << written;
  EXPECT_EQ(written.find("[General]", 4), std::string::npos) << "one [General]";
  EXPECT_TRUE(messages.empty());

  form->VolumeUpdate(20);
  {
    const TFullDisk full;
    form->close();
    form->close();
  }
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("The settings could not be saved. Unable to write to ", 0), 0u)
      << messages[0];
  EXPECT_EQ(Settings(), written);

  Restart();
  messages.clear();
  form->VolumeUpdate(30);
  {
    const TFullDisk full;
    form->EndProgram();
  }
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Settings(), written);
}

// A file too large to be settings is not read, says so, and is kept.
TEST_F(Form1Settings, AnOversizeFileIsToldAndKept) {
  WriteText(SettingsPath(), "[General]\nVolume=70\n");
  std::filesystem::resize_file(SettingsPath(), (16u << 20) + 1);
  Start();
  EXPECT_EQ(form->VolBar->Position(), 50);
  const std::string told = "The settings file " + SettingsPath() +
                           " is larger than 16 MB: it is not read and is kept as it is.";
  EXPECT_NE(std::find(messages.begin(), messages.end(), told), messages.end());
  form->close();
  EXPECT_EQ(std::filesystem::file_size(SettingsPath()), (16u << 20) + 1);
}

// A line break cannot be stored in an INI value: that key keeps what the file held, and every
// key written after it still reaches the file.
TEST_F(Form1Settings, AValueThatCannotBeStoredLeavesOnlyItsOwnKey) {
  WriteText(SettingsPath(), "[General]\nLastAlbum=/old\nSkin=DEFAULT\n[EQU]\nPreset=Rock\n");
  Start();
  form2->CurrDir->SetFileName(disk + "/two\nlines");
  form->SkinName = "sk\nin";
  form->PresetEdit->setText("Late\nNight");
  form->repeatbtnClick();
  form->Session.CurrentRow = 3;
  form->TrackBar[7]->SetPosition(9);
  form->close();
  const std::string text = Settings();
  for (const char* line : {"\nLastAlbum=/old\n", "\nSkin=DEFAULT\n", "\nPreset=Rock\n",
                           "\nModeRepeat=1\n", "\nLastRow=3\n", "\nEqu8=9\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  // One replacement per pass: no temporary file stays beside the settings.
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(SettingsPath()).parent_path()))
    EXPECT_EQ(entry.path().filename().string().rfind(".Sonavera.ini.", 0), std::string::npos);
}

// A hand-edited skin name never reaches past the skins folder, by ".." or by a link.
TEST_F(Form1Settings, ASkinNameLeadingOutOfTheSkinsFolderIsRefused) {
  const std::string outside = dir.path().toStdString() + "/Outside/";
  WriteSkin(outside, QColor(0, 0, 255));
  std::filesystem::create_directory_symlink(outside, form->SkinsRoot + "Link");
  WriteText(SettingsPath(), "[General]\nSkin=../Outside\n");
  Start();
  // Each close writes the next name, which the next start then reads.
  // Enough ".." to climb to the root from any temporary folder, then down to Outside.
  std::string climb;
  for (int level = 0; level < 16; ++level) climb += "../";
  for (const std::string& next : {std::string("Link"), climb + outside.substr(1), std::string()}) {
    EXPECT_EQ(messages.size(), 1u) << form->SkinName;
    EXPECT_TRUE(form->Sfondo->Picture().isNull()) << form->SkinName;
    messages.clear();
    form->SkinName = next;
    if (next.empty()) break;
    Restart();
    EXPECT_NE(Settings().find("\nSkin=" + next + "\n"), std::string::npos);
  }
  form->close();
  EXPECT_FALSE(std::filesystem::exists(outside + "Colors.ini"));
}

TEST_F(Form1Settings, ASecondRunFindsWhatTheFirstLeft) {
  const std::string album = WriteAlbum();
  WriteSkin(SkinFolder("Blue"), QColor(0, 0, 255));
  WriteText(SettingsPath(), "[General]\nLastPos=1\nLastAlbum=" + album + "\n");
  Start();
  ASSERT_TRUE(form->Session.AlbumLoaded());

  form->VolumeUpdate(35);
  form->repeatbtnClick();
  form->modemodebtnClick();
  form->ReverseTime = true;
  form->AbilitaEQU->setChecked(true);
  form->TrackBar[0]->SetPosition(25);
  form->TrackBar[5]->SetPosition(-7);
  form->PresetEdit->setText("Late Night");
  form->SkinName = "Blue";
  form->Colors.HighText = 0x123456;
  form->Microview1Click();
  form->move(120, 90);
  form2->move(40, 50);
  form3->Autost->setChecked(false);
  form3->BarPrior->setValue(1);
  form->Session.CaricaCD(2);
  form->Session.CurrentRow = 4;
  form->Session.CaricaSong(4);
  const std::string song = form->Session.CurrentSongPath();

  Restart();
  EXPECT_EQ(form->VolBar->Position(), 35);
  EXPECT_TRUE(form->Session.Repeat);
  EXPECT_TRUE(form->Session.Album);
  EXPECT_FALSE(form->Session.Shuffle);
  EXPECT_TRUE(form->ReverseTime);
  EXPECT_TRUE(form->AbilitaEQU->isChecked());
  EXPECT_EQ(form->TrackBar[0]->Position(), 25);
  EXPECT_EQ(form->TrackBar[5]->Position(), -7);
  EXPECT_EQ(form->PresetEdit->text(), "Late Night");
  EXPECT_EQ(form->SkinName, "Blue");
  EXPECT_EQ(form->Colors.HighText, 0x123456) << "the colours go with the skin they were saved in";
  EXPECT_EQ(form->Sfondo->Picture().pixelColor(5, 5), QColor(0, 0, 255));
  EXPECT_TRUE(form->MicroMode());
  EXPECT_EQ(form->pos(), QPoint(120, 90));
  EXPECT_EQ(form2->pos(), QPoint(40, 50));
  EXPECT_FALSE(form3->Autost->isChecked());
  EXPECT_FALSE(form->Session.AutoStart);
  EXPECT_EQ(engine.PriorityValue(), 1);
  EXPECT_EQ(form2->CurrDir->FileName(), album);
  EXPECT_EQ(form->Session.CurrentSongPath(), song);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
