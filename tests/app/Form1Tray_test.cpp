// Menus, the tray icon's tooltip and menu, hiding the window, the help page and the About
// box, over the fake engine. The help page is opened by a stand-in "xdg-open" first on PATH
// that records what it was given.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "AlbumTest.h"
#include "CommandLine.h"
#include "CoolButton.h"
#include "DialogProbe.h"
#include "FEJpeg.h"
#include "Form5.h"
#include "GradProgress.h"
#include "Legacy.h"
#include "RunLabel.h"
#include "TrayComp.h"
#include "WPopupMenu.h"

namespace {

using Lines = std::vector<std::string>;

Lines Items(const QMenu* menu) {
  Lines items;
  for (const QAction* action : menu->actions()) {
    std::string item = action->isSeparator() ? "-" : action->text().toStdString();
    if (!action->shortcut().isEmpty()) item += " " + action->shortcut().toString().toStdString();
    items.push_back(item);
  }
  return items;
}

class TrayTest : public AlbumTest {
 protected:
  TrayTest() : form5(form->ProgramFolder) {
    form->Form5 = &form5;
    WriteFiles(disk + "/Music", {{"A/a1.mp3", Tagged("a1")}, {"A/a2.mp3", Tagged("a2")}});
    Load(disk + "/Music");
    engine.ClearCommands();
    savedPath = getenv("PATH");
    bin = dir.path().toStdString() + "/bin";
    QDir().mkpath(QString::fromStdString(bin));
    setenv("PATH", (bin + ":" + savedPath).c_str(), 1);
  }
  ~TrayTest() override { setenv("PATH", savedPath.c_str(), 1); }

  void Trigger(QMenu* menu, const std::string& caption) {
    for (QAction* action : menu->actions())
      if (action->text().toStdString() == caption) return action->trigger();
    ADD_FAILURE() << "no item " << caption;
  }
  // A stand-in opener writing its arguments to a file; mode is its permission bits.
  std::string FakeOpener(QFile::Permissions mode) {
    const std::string log = dir.path().toStdString() + "/opened.txt";
    std::ofstream(bin + "/xdg-open")
        << "#!/bin/sh\necho \"$@\" > " << log << ".part && mv " << log << ".part " << log << "\n";
    QFile::setPermissions(QString::fromStdString(bin + "/xdg-open"), mode);
    return log;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
  }
  std::string HelpPage() const { return form->ProgramFolder + "help/index.html"; }

  TForm5 form5;
  std::string savedPath;
  std::string bin;
};

TEST_F(TrayTest, MenusHoldTheirItemsInOrder) {
  EXPECT_EQ(Items(form->MAINmenu2),
            (Lines{"&Open Source... Ctrl+O", "&Select Skin... Ctrl+S", "&Preferences Ctrl+P",
                   "MicroWindow Ctrl+M", "Zoom", "-", "&Help", "About", "-", "&Exit Ctrl+X"}));
  EXPECT_EQ(Items(form->MainMenu),
            (Lines{"&Window Mode", "-", "&Play", "&Stop", "&Rewind", "&Forward",
                   "Select S&ource...", "-", "&Help", "-", "E&xit"}));
  EXPECT_EQ(form->TrayComp->PopupMenu(), form->MainMenu);
}

TEST_F(TrayTest, MenuItemsRunTheirCommands) {
  Trigger(form->MainMenu, "&Play");
  Trigger(form->MainMenu, "&Forward");
  EXPECT_EQ(form->Session.TAB.Cells(2, form->Session.CurrentRow), "/A/a2.mp3");
  Trigger(form->MainMenu, "&Rewind");
  EXPECT_EQ(form->Session.TAB.Cells(2, form->Session.CurrentRow), "/A/a1.mp3");
  engine.PostPlayerState(XA_PLAYER_STATE_PLAYING);
  ASSERT_TRUE(engine.WaitDrained());
  engine.ClearCommands();
  Trigger(form->MainMenu, "&Stop");
  EXPECT_EQ(engine.CommandCodes(), std::vector<int>{XA_MSG_COMMAND_PAUSE});

  EXPECT_TRUE(Opens(form2, [&] { Trigger(form->MAINmenu2, "&Open Source..."); }));
  EXPECT_TRUE(Opens(form4, [&] { Trigger(form->MAINmenu2, "&Select Skin..."); }));
  EXPECT_TRUE(Opens(form5, [&] { Trigger(form->MAINmenu2, "About"); }));
  Trigger(form->MAINmenu2, "MicroWindow");
  EXPECT_TRUE(form->MicroMode());

  form->show();
  Trigger(form->MainMenu, "E&xit");
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(engine.LastCommand().Code, XA_MSG_COMMAND_EXIT);
}

TEST_F(TrayTest, SelectSourceFromTheTrayLeavesTheWindowHidden) {
  form->show();
  bool hiddenMeanwhile = false;
  EXPECT_TRUE(Opens(form2, [&] {
    hiddenMeanwhile = !form->isVisible();
    Trigger(form->MainMenu, "Select S&ource...");
  }));
  EXPECT_FALSE(hiddenMeanwhile);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->TrayComp->ShowForm());
  Trigger(form->MainMenu, "&Window Mode");
  EXPECT_TRUE(form->isVisible());
}

// Tests run without a notification area: Minimize must not strand the window.
TEST_F(TrayTest, WithoutATrayMinimizeMinimisesAndKeepsTheTaskbarEntry) {
  ASSERT_FALSE(TTrayComp::Available());
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  QTest::mouseClick(form->minimizebtn, Qt::LeftButton, Qt::NoModifier, QPoint(7, 6));
  EXPECT_TRUE(form->isMinimized());
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->TrayComp->ShowInTaskBar());
  EXPECT_FALSE(form->windowType() == Qt::Tool);
  form->WindowMode1Click();
  EXPECT_FALSE(form->isMinimized());
}

TEST_F(TrayTest, TheTooltipFollowsTheTimeAndIsCutTo62Characters) {
  const std::string title(40, 't');
  form->Songlbl->SetCaption(title);
  engine.PostTimecode(0, 1, 5);
  ASSERT_TRUE(engine.WaitDrained());
  EXPECT_EQ(form->TrayComp->ToolTip(), title + " / 01:05");
  EXPECT_EQ(form->TrayComp->Icon()->toolTip().toStdString(), title + " / 01:05");

  const std::string seventy = std::string(60, 'a') + "bcdefghijk";
  form->TrayComp->SetToolTip(seventy);
  EXPECT_EQ(form->TrayComp->ToolTip(), seventy.substr(0, 62));
  // Cut by characters, never inside one.
  std::string accented;
  for (int i = 0; i < 70; ++i) accented += "\xC3\xA9";
  form->TrayComp->SetToolTip(accented);
  EXPECT_EQ(form->TrayComp->ToolTip(), accented.substr(0, 124));
  // A title that looks like markup is shown as it is written.
  form->TrayComp->SetToolTip("<b>Live</b> / 00:01");
  QTextDocument shown;
  shown.setHtml(form->TrayComp->Icon()->toolTip());
  EXPECT_EQ(shown.toPlainText(), "<b>Live</b> / 00:01");
}

TEST_F(TrayTest, HelpOpensThePageWithTheDesktopsOpener) {
  const std::string log = FakeOpener(QFile::ReadOwner | QFile::ExeOwner);
  // No help page: nothing is started and nothing is said.
  form->EseguiHelp();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(log)));

  QDir().mkpath(QString::fromStdString(form->ProgramFolder + "help"));
  std::ofstream(HelpPage()) << "<html></html>";
  Trigger(form->MainMenu, "&Help");
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(QString::fromStdString(log)); }, 5000));
  EXPECT_EQ(Read(log), HelpPage());
  QFile::remove(QString::fromStdString(log));
  Trigger(form->MAINmenu2, "&Help");
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(QString::fromStdString(log)); }, 5000));
  EXPECT_TRUE(messages.empty());
}

TEST_F(TrayTest, AFailedHelpStartShowsTheLaunchersMessage) {
  QDir().mkpath(QString::fromStdString(form->ProgramFolder + "help"));
  std::ofstream(HelpPage()) << "<html></html>";
  setenv("PATH", bin.c_str(), 1);
  form->EseguiHelp();
  FakeOpener(QFile::ReadOwner);  // there, but not executable
  form->EseguiHelp();
  const std::string where = ".\nThe help page is " + HelpPage();
  EXPECT_EQ(messages, (Lines{"The help cannot be shown: xdg-open was not found; it comes with "
                             "the package xdg-utils" +
                                 where,
                             "The help cannot be shown: Attempt was made to dynamically link to "
                             "a task, or there was a sharing or network-protection error" +
                                 where}));
}

// An opener that starts but finds no browser (xdg-open ends with 3) or fails otherwise.
TEST_F(TrayTest, AnOpenerThatFailsSaysWhereTheHelpIs) {
  QDir().mkpath(QString::fromStdString(form->ProgramFolder + "help"));
  std::ofstream(HelpPage()) << "<html></html>";
  for (const int status : {3, 4, 0}) {
    messages.clear();
    std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nexit " << status << "\n";
    QFile::setPermissions(QString::fromStdString(bin + "/xdg-open"),
                          QFile::ReadOwner | QFile::ExeOwner);
    form->EseguiHelp();
    if (status == 0) {
      QTest::qWait(300);
      EXPECT_TRUE(messages.empty());
      continue;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 5000)) << status;
    EXPECT_EQ(messages.front(), "The help cannot be shown: " +
                                    std::string(status == 3 ? "no web browser or other program "
                                                              "was found for it"
                                                            : "xdg-open ended with status 4") +
                                    ".\nThe help page is " + HelpPage());
  }
}

TEST_F(TrayTest, AboutBoxShowsTheProgramAndItsLibraries) {
  EXPECT_EQ(form5.windowTitle(), "About - Sonavera");
  EXPECT_EQ(form5.size(), QSize(442, 123));
  // One version everywhere: the About box says what --version says.
  std::ostringstream version, ignored;
  const char* const argv[] = {"sonavera", "--version"};
  ASSERT_EQ(TCommandLine::Early(2, argv, version, ignored), 0);
  EXPECT_EQ("sonavera " + form5.lblVersion->text().mid(1).toStdString() + "\n", version.str());
  EXPECT_EQ(form5.lblVersion->text().front(), QChar('v'));
  EXPECT_EQ(form5.lblCredit->text(), "Powered by libmpg123 mp3 engine");
  EXPECT_EQ(form5.Licence->text(), "GNU General Public License, version 3 or later");
  EXPECT_EQ(form5.Licence->Target(), "https://www.gnu.org/licenses/gpl-3.0.html");
  EXPECT_TRUE(form5.rect().contains(form5.Licence->geometry()));
  EXPECT_GE(form5.Licence->x() - (form5.lblLicence->x() + form5.lblLicence->sizeHint().width()), 4);
  EXPECT_GE(form5.lblLicence->x(), 0);
  EXPECT_FALSE(form5.Licence->geometry().intersects(form5.OKbtn->geometry()));
  // A link that no browser can open says so.
  std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nexit 3\n";
  QFile::setPermissions(QString::fromStdString(bin + "/xdg-open"),
                        QFile::ReadOwner | QFile::ExeOwner);
  form5.show();
  QTest::mouseClick(form5.Licence, Qt::LeftButton, {}, QPoint(3, 3));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 5000));
  EXPECT_EQ(messages.front(),
            "Cannot open https://www.gnu.org/licenses/gpl-3.0.html: no web "
            "browser or other program was found for it.");
  form5.hide();
  EXPECT_FALSE(form5.Image1->pixmap().isNull());
  for (const TLegacy* link : form5.Libraries) {
    EXPECT_EQ(link->ActiveColor(), QColor(0, 0, 128));
    EXPECT_TRUE(link->Target().starts_with("https://")) << link->text().toStdString();
    EXPECT_TRUE(form5.rect().contains(link->geometry())) << link->text().toStdString();
  }
  // "&OK" closes it, by mouse and by Enter.
  EXPECT_TRUE(Opens(form5, [&] { form->About1Click(); }));
  QTimer::singleShot(0, &form5, [&] { QTest::mouseClick(form5.OKbtn, Qt::LeftButton); });
  EXPECT_EQ(form5.exec(), QDialog::Accepted);
  QTimer::singleShot(0, &form5, [&] { QTest::keyClick(&form5, Qt::Key_Return); });
  EXPECT_EQ(form5.exec(), QDialog::Accepted);
}

TEST_F(TrayTest, ButtonsAndBarsShowTheHandCursor) {
  const std::vector<const QWidget*> controls{form->Playbtn,  form->minimizebtn, form->modemodebtn,
                                             form->btnPlay2, form->btnClose2,   form->PosBar,
                                             form->VolBar};
  for (const QWidget* control : controls)
    EXPECT_EQ(control->cursor().shape(), Qt::PointingHandCursor)
        << control->toolTip().toStdString();
  // So do the labels and the picture that act on a click.
  const std::vector<const QWidget*> clickable{
      form->CDlbl,      form->Songlbl,    form->CurrTime,      form->lblDisplay2,
      form->replbl,     form->shufflelbl, form->Programlbl,    form->Albumlbl,
      form->EQUlbl,     form->CDImage,    form->PanelSELDisc,  form->PanelSELsong,
      form->imgMiniCD,  form->Zerobtn,    form->LoadPresetbtn, form->Presetbtn,
      form->imgMiniSong};
  for (std::size_t i = 0; i < clickable.size(); ++i)
    EXPECT_EQ(clickable[i]->cursor().shape(), Qt::PointingHandCursor) << "clickable " << i;
}

}  // namespace
