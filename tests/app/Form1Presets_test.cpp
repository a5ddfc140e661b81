// Equalizer presets: saving, the "v" list, loading with the write-back of missing keys,
// removing, names that would lead out of the preset folder, and the name field's focus.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "ExtProgressBar.h"
#include "Folders.h"
#include "SkinWriter.h"
#include "WPopupMenu.h"
#include "WindowTest.h"

namespace {

namespace fs = std::filesystem;

class PresetTest : public WindowTest {
 protected:
  ~PresetTest() override { form->PresetMenu->close(); }

  void SetBands(std::vector<int> values) {
    for (int band = 0; band < 8; ++band) form->TrackBar[band]->SetPosition(values[band]);
  }
  std::vector<int> Bands() const {
    std::vector<int> values;
    for (TExtProgressBar* slider : form->TrackBar) values.push_back(slider->Position());
    return values;
  }
  std::string Name() const { return form->PresetEdit->text().toStdString(); }

  void Run(QAction* item, const std::string& name) {
    form->PresetEdit->setText(QString::fromStdString(name));
    item->trigger();
  }

  // Opens the list with a click on "v"; clicks the item captioned pick when given.
  std::vector<std::string> List(const char* pick = nullptr) {
    QTest::mouseClick(form->LoadPresetbtn, Qt::LeftButton, {}, QPoint(5, 5));
    std::vector<std::string> captions;
    for (QAction* item : form->PresetMenu->actions()) {
      captions.push_back(item->text().toStdString());
      if (pick && captions.back() == pick) item->trigger();
    }
    return captions;
  }

  std::optional<XA_EqualizerInfo> LastSent() const {
    std::optional<XA_EqualizerInfo> last;
    for (const FakeXaudioCommand& c : engine.Commands())
      if (c.Code == XA_MSG_SET_CODEC_EQUALIZER) last = c.Equalizer;
    return last;
  }

  const std::string equ = form->ProgramFolder + "Equ/";
};

TEST_F(PresetTest, SavedPresetsAreListedInNameOrderAndLoadBack) {
  SetBands({12, -3, 0, 40, -40, 7, 1, -1});
  Run(form->Save1, "Rock");
  EXPECT_EQ(ReadText(equ + "Rock.equ"),
            "[EQU]\nEqu1=12\nEqu2=-3\nEqu3=0\nEqu4=40\nEqu5=-40\nEqu6=7\nEqu7=1\nEqu8=-1\n");
  SetBands({-8, 0, 0, 0, 0, 0, 0, 9});
  Run(form->Save1, "");  // the empty name is the file ".equ"
  WriteText(equ + "beta.EQU", "[EQU]\nEqu3=-5\n");
  WriteText(equ + "notes.txt", "");
  fs::create_directories(equ + "folder.equ");
  EXPECT_EQ(List(), (std::vector<std::string>{"", "beta", "Rock"}));

  form->AbilitaEQU->setChecked(true);
  List("Rock");
  EXPECT_EQ(Bands(), (std::vector<int>{12, -3, 0, 40, -40, 7, 1, -1}));
  EXPECT_EQ(Name(), "Rock");
  ASSERT_TRUE(LastSent());
  EXPECT_EQ(LastSent()->right[4], 40);
  List("");
  EXPECT_EQ(Name(), "");
  EXPECT_EQ(Bands()[7], 9);
  // Names match files in any letter case: "beta" loads and saves beta.EQU.
  List("beta");
  EXPECT_EQ(Bands()[2], -5);
  SetBands({0, 0, 6, 0, 0, 0, 0, 0});
  Run(form->Save1, "BETA");
  EXPECT_EQ(List(), (std::vector<std::string>{"", "beta", "Rock"}));
  EXPECT_NE(ReadText(equ + "beta.EQU").find("Equ3=6\n"), std::string::npos);
}

TEST_F(PresetTest, LoadingWritesMissingKeysBackAndKeepsTheSwitch) {
  WriteText(equ + "Odd.equ", "[Other]\nKeep=me\n[EQU]\nEqu1=25\nEqu2=-99\nEqu4=3\nEqu6=x\n");
  SetBands({1, 1, 1, 1, 1, 1, 1, 1});
  List("Odd");
  EXPECT_EQ(Bands(), (std::vector<int>{25, -40, 0, 3, 0, 0, 0, 0}));
  EXPECT_EQ(form->TrackBar[1]->toolTip(), "-40%");
  EXPECT_FALSE(LastSent());  // switched off: still no equalizer
  const std::string text = ReadText(equ + "Odd.equ");
  for (const char* line : {"[Other]\nKeep=me\n", "Equ2=-99\n", "Equ5=0\n", "Equ6=0\n", "Equ8=0\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in " << text;
}

TEST_F(PresetTest, RemoveDeletesThePresetAndResetsBandsAndName) {
  form->AbilitaEQU->setChecked(true);
  SetBands({3, 3, 3, 3, 3, 3, 3, 3});
  Run(form->Save1, "Jazz");
  Run(form->Remove1, "Blues");  // no such preset: nothing changes
  EXPECT_EQ(Name(), "Blues");
  EXPECT_EQ(Bands(), std::vector<int>(8, 3));

  Run(form->Remove1, "Jazz");
  EXPECT_FALSE(fs::exists(equ + "Jazz.equ"));
  EXPECT_EQ(Name(), "Default");
  EXPECT_EQ(Bands(), std::vector<int>(8, 0));
  EXPECT_TRUE(form->AbilitaEQU->isChecked());
  ASSERT_TRUE(LastSent());
  EXPECT_EQ(LastSent()->left[0], 0);
}

TEST_F(PresetTest, NamesLeadingOutOfThePresetFolderAreRefused) {
  fs::create_directories(equ);
  WriteText(form->ProgramFolder + "victim.equ", "[EQU]\nEqu1=30\n");
  SetBands({7, 7, 7, 7, 7, 7, 7, 7});
  for (const std::string& name :
       std::vector<std::string>{"../escape", form->ProgramFolder + "abs", "a/b"})
    Run(form->Save1, name);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[2],
            "The preset \"a/b\" was not saved: a preset name cannot hold \"/\" or a line break.");
  // A name too long for a file name is refused by the file system, and said so.
  Run(form->Save1, std::string(300, 'a'));
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_TRUE(messages[3].ends_with(".equ cannot be written.")) << messages[3];
  EXPECT_TRUE(fs::is_empty(equ));
  EXPECT_FALSE(fs::exists(form->ProgramFolder + "escape.equ"));
  EXPECT_FALSE(fs::exists(form->ProgramFolder + "abs.equ"));

  form->PresetMenuClick(0, "../victim");
  Run(form->Remove1, "../victim");
  EXPECT_TRUE(fs::exists(form->ProgramFolder + "victim.equ"));
  EXPECT_EQ(Bands(), std::vector<int>(8, 7));
  EXPECT_EQ(Name(), "../victim");
  Run(form->Save1, "..");  // stays inside: "...equ"
  EXPECT_TRUE(fs::is_regular_file(equ + "...equ"));
}

TEST_F(PresetTest, UnwritableProgramFolderSendsPresetsToTheUserDataFolder) {
  QTemporaryDir data;
  const QByteArray saved = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
  WriteText(form->ProgramFolder + "Equ", "a file where the folder would be");
  const std::string userEqu = data.path().toStdString() + "/Sonavera/Equ/";
  EXPECT_EQ(form->PresetFolder(), userEqu);
  Run(form->Save1, "Mine");
  EXPECT_TRUE(fs::is_regular_file(userEqu + "Mine.equ"));
  EXPECT_EQ(List(), std::vector<std::string>{"Mine"});
  qputenv("XDG_DATA_HOME", saved);
}

// Installed, the program folder is never written, even by root: presets are saved in the
// user's folder, and a removed shipped preset is only hidden for this user.
TEST_F(PresetTest, AnInstalledProgramFolderIsNeverWritten) {
  WriteText(equ + "Rock.equ", "[EQU]\nEqu1=9\n");
  WriteText(equ + "Jazz.equ", "[EQU]\nEqu1=4\n");
  WriteText(form->ProgramFolder + platform::kInstalledMark, "");
  const std::string user = platform::UserDataFolder() + "Sonavera/Equ/";
  EXPECT_EQ(form->PresetFolder(), user);
  SetBands({5, 5, 5, 5, 5, 5, 5, 5});
  Run(form->Save1, "Mine");
  EXPECT_TRUE(fs::is_regular_file(user + "Mine.equ"));
  EXPECT_FALSE(fs::exists(equ + "Mine.equ"));

  Run(form->Remove1, "rock");
  EXPECT_EQ(ReadText(equ + "Rock.equ"), "[EQU]\nEqu1=9\n");
  EXPECT_TRUE(fs::is_regular_file(user + "rock.hidden"));
  EXPECT_EQ(Name(), "Default");
  EXPECT_EQ(Bands(), std::vector<int>(8, 0));
  EXPECT_EQ(List(), (std::vector<std::string>{"Mine", "Jazz"}));
  form->PresetMenuClick(0, "Rock");
  EXPECT_EQ(Bands()[0], 0) << "a hidden preset does not load";
  // The user's own preset of a hidden name is theirs again; removing it deletes it.
  SetBands({2, 0, 0, 0, 0, 0, 0, 0});
  Run(form->Save1, "Rock");
  EXPECT_EQ(List(), (std::vector<std::string>{"Mine", "Rock", "Jazz"}));
  Run(form->Remove1, "Rock");
  EXPECT_FALSE(fs::exists(user + "Rock.equ"));
  EXPECT_EQ(List(), (std::vector<std::string>{"Mine", "Jazz"}));
  EXPECT_TRUE(messages.empty());

  // Where nothing can be written, both actions say so and change nothing.
  fs::remove_all(user);
  WriteText(platform::UserDataFolder() + "Sonavera/Equ", "a file where the folder would be");
  SetBands({3, 0, 0, 0, 0, 0, 0, 0});
  Run(form->Remove1, "Jazz");
  EXPECT_EQ(Name(), "Jazz");
  EXPECT_EQ(Bands()[0], 3);
  Run(form->Save1, "Jazz");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].rfind("The preset \"Jazz\" was not removed: it is shipped", 0), 0u)
      << messages[0];
  EXPECT_EQ(messages[1].rfind("The preset \"Jazz\" was not saved: the folder ", 0), 0u)
      << messages[1];
  EXPECT_TRUE(fs::is_regular_file(equ + "Jazz.equ"));
}

TEST_F(PresetTest, NamesKeepTheirBytesAndLineBreaksAreLeftOut) {
  const std::string odd = "\xff\xfe";
  WriteText(equ + odd + ".equ", "[EQU]\nEqu1=5\n");
  WriteText(equ + "two\nlines.equ", "[EQU]\nEqu1=9\n");
  ASSERT_EQ(List().size(), 1u);
  form->PresetMenu->actions().front()->trigger();
  EXPECT_EQ(Bands()[0], 5);
  form->TrackBar[0]->SetPosition(6);
  form->Save1->trigger();
  EXPECT_NE(ReadText(equ + odd + ".equ").find("\nEqu1=6\n"), std::string::npos);
  form->SetPresetName("a\nb");
  form->Save1->trigger();
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(equ)) files.push_back(entry.path().filename());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"two\nlines.equ", odd + ".equ"}));

  // The user's own presets are listed before the shipped ones.
  WriteText(platform::UserDataFolder() + "Sonavera/Equ/zed.equ", "[EQU]\n");
  fs::remove(equ + "two\nlines.equ");
  const std::vector<std::string> listed = List();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed.front(), "zed");
}

TEST_F(PresetTest, NameFieldHoldsTheEditingFlagWhileFocused) {
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  form->ShowPage("page2");
  QTest::mouseClick(form->PresetEdit, Qt::LeftButton, {}, QPoint(20, 7));
  ASSERT_TRUE(form->PresetEdit->hasFocus());
  EXPECT_TRUE(form->PresetEditing);
  QTest::keyClick(form->PresetEdit, Qt::Key_End);
  QTest::keyClicks(form->PresetEdit, "sr1");
  EXPECT_TRUE(form->PresetEditing);
  QTest::keyClick(form->PresetEdit, Qt::Key_Return);
  EXPECT_FALSE(form->PresetEditing);
  EXPECT_TRUE(form->Display->hasFocus());
  EXPECT_EQ(Name(), "Defaultsr1");
}

}  // namespace
