// The Preferences dialog run from the main window over the fake engine: what OK applies,
// what Cancel and Escape put back and what they leave, the colour picker, the hints, and the
// links its buttons and the "setup" argument make.
#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <filesystem>
#include <functional>

#include "CoolButton.h"
#include "ExtProgressBar.h"
#include "FileLabel.h"
#include "GradProgress.h"
#include "ProgramIcon.h"
#include "RunLabel.h"
#include "SettingsTest.h"
#include "SkinWriter.h"
#include "TempHome.h"
#include "WPopupMenu.h"
#include "XaudioPlayer.h"
#include "phComboBox.h"

namespace {

namespace fs = std::filesystem;

class Form3Test : public SettingsTest {
 protected:
  Form3Test() {
    TForm3::ShowError = [this](const std::string& text) { errors.push_back(text); };
  }
  ~Form3Test() override { TForm3::ShowError = savedShowError_; }

  // Runs Preferences from the main window; during acts inside the open dialog and should end
  // it. Returns when the dialog has closed.
  void RunPreferences(const std::function<void()>& during) {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, form3.get(), [this] { form3->done(0); });
    guard.start(5000);
    QTimer::singleShot(0, form3.get(), [this, during] {
      EXPECT_TRUE(form3->isVisible());
      during();
    });
    form->Preferences1Click();
    EXPECT_FALSE(form3->isVisible());
  }

  // Presses a colour button and answers the picker with color, or cancels it.
  void Pick(QPushButton* button, const QColor& color, bool confirm = true) {
    // The picker is made when a colour button is first pressed.
    QTimer::singleShot(0, form3.get(), [this, color, confirm] {
      ASSERT_NE(form3->ColorDialog, nullptr);
      EXPECT_TRUE(form3->ColorDialog->isVisible());
      form3->ColorDialog->setCurrentColor(color);
      confirm ? form3->ColorDialog->accept() : form3->ColorDialog->reject();
    });
    button->click();
  }

  // Whether hovering widget would show its hint now.
  static bool ShowsHint(QWidget* widget) {
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &help);
    const bool shown = QToolTip::isVisible() && QToolTip::text() == widget->toolTip();
    QToolTip::hideText();
    return shown;
  }

  std::string ColorsIni() const { return ReadText(SkinFolder("DEFAULT") + "Colors.ini"); }

  std::vector<std::string> errors;

 private:
  std::function<void(const std::string&)> savedShowError_ = TForm3::ShowError;
};

const QColor kGreen(0, 255, 0);

TEST_F(Form3Test, TheDialogHasItsPagesAndButtons) {
  Start();
  EXPECT_EQ(form3->windowTitle(), "Preferences - Sonavera");
  EXPECT_EQ(form3->size(), QSize(297, 251));
  ASSERT_EQ(form3->Pages->count(), 3);
  EXPECT_EQ(form3->Pages->tabText(0), "Player");
  EXPECT_EQ(form3->Pages->tabText(1), "System");
  EXPECT_EQ(form3->Pages->tabText(2), "Colors");
  EXPECT_EQ(form3->Bar1->Position(), 50);
  EXPECT_EQ(form3->Bar2->MaxValue(), 100);
  EXPECT_EQ(form3->Cancelbtn->geometry(), QRect(178, 227, 49, 19));
  EXPECT_EQ(form3->OKbtn->geometry(), QRect(238, 225, 55, 23));
  RunPreferences([this] {
    EXPECT_EQ(form3->focusWidget(), form3->OKbtn);
    form3->close();  // by the frame: Cancel
  });
  EXPECT_EQ(form3->result(), 2);

  // The System page's captions keep clear of the bars beside them, whose right ends stay.
  for (const auto& [caption, bar] :
       {std::pair<const char*, QWidget*>{"Engine priority level:", form3->BarPrior},
        {"Auto-close CD/Song timer:", form3->Barautoclose},
        {"Create Sonavera icon:", form3->CreaDesktop}}) {
    const QLabel* label = nullptr;
    for (const QLabel* child : form3->SystemPage->findChildren<QLabel*>())
      if (child->text() == caption) label = child;
    ASSERT_TRUE(label) << caption;
    EXPECT_GE(bar->x() - (label->x() + label->sizeHint().width()), 4) << caption;
  }
  EXPECT_EQ(form3->BarPrior->geometry().right(), 248);
  EXPECT_EQ(form3->Barautoclose->geometry().right(), 248);
  EXPECT_LE(form3->CreaStartmenu->geometry().right(), form3->SystemPage->width());
}

TEST_F(Form3Test, PreviewThenCancelPutsTheColoursBack) {
  Start();
  const TColorScheme before = form->Colors;
  const std::string file = ColorsIni();
  RunPreferences([this] {
    Pick(form3->btnCOLhitext, kGreen);
    Pick(form3->btnCOL2back, QColor(255, 0, 0));
    EXPECT_EQ(form3->hightext->palette().color(QPalette::WindowText), kGreen);
    EXPECT_NE(form->CDlbl->FontColor(), RGBColor(0, 255, 0)) << "not before the preview";
    form3->Button10->click();
    EXPECT_EQ(form->CDlbl->FontColor(), RGBColor(0, 255, 0));
    EXPECT_EQ(form->VolBar->BackColor(), RGBColor(255, 0, 0));
    form3->Cancelbtn->click();
  });
  EXPECT_EQ(form3->result(), 2);
  EXPECT_EQ(form->Colors, before);
  EXPECT_EQ(form3->SampleColors(), before);
  EXPECT_EQ(form->CDlbl->FontColor(), before.HighText);
  EXPECT_EQ(form->VolBar->BackColor(), before.VolBarBack);
  EXPECT_EQ(ColorsIni(), file) << "only OK writes the colours";
}

TEST_F(Form3Test, PreviewThenOkKeepsTheColoursAndWritesThem) {
  Start();
  RunPreferences([this] {
    Pick(form3->btnCOLhitext, kGreen);
    Pick(form3->btnCOL1Start, QColor(0, 0, 255));
    form3->Button10->click();
    form3->OKbtn->click();
  });
  EXPECT_EQ(form3->result(), 1);
  EXPECT_EQ(form->CDlbl->FontColor(), RGBColor(0, 255, 0));
  EXPECT_EQ(form->PosBar->StartColor(), RGBColor(0, 0, 255));
  const std::string file = ColorsIni();
  EXPECT_NE(file.find("HighTEXT=65280"), std::string::npos) << file;
  EXPECT_NE(file.find("PosBarStart=16711680"), std::string::npos) << file;
}

TEST_F(Form3Test, OkWithoutPreviewAppliesTheColours) {
  Start();
  RunPreferences([this] {
    Pick(form3->btnCOLmtext, kGreen);
    form3->OKbtn->click();
  });
  EXPECT_EQ(form->Totlbl->palette().color(QPalette::WindowText), kGreen);
  EXPECT_NE(ColorsIni().find("MediumTEXT=65280"), std::string::npos);
}

TEST_F(Form3Test, ACancelledPickerAndTheDefaultsChangeOnlyTheSamples) {
  WriteText(SkinFolder("DEFAULT") + "Colors.ini", "[Colors]\nLowTEXT=255\nVolBarEnd=255\n");
  Start();
  ASSERT_EQ(form->Colors.LowText, 255);
  RunPreferences([this] {
    Pick(form3->btnCOLlowtext, kGreen, false);
    EXPECT_EQ(form3->SampleColors().LowText, 255) << "a cancelled picker changes nothing";
    form3->Defaultbtn->click();
    EXPECT_EQ(form3->SampleColors(), TColorScheme::Defaults());
    EXPECT_EQ(form3->Bar2->EndColor(), TColorScheme::Defaults().VolBarEnd);
    EXPECT_EQ(form->Colors.LowText, 255) << "the window waits for preview or OK";
    EXPECT_EQ(form->VolBar->EndColor(), 255);
    form3->OKbtn->click();
  });
  EXPECT_EQ(form->Colors, TColorScheme::Defaults());
  EXPECT_EQ(form->VolBar->EndColor(), TColorScheme::Defaults().VolBarEnd);
}

TEST_F(Form3Test, EscapeLeavesTheHintsAndTheBoxAsTheyWere) {
  Start();
  ASSERT_TRUE(ShowsHint(form->Playbtn));
  RunPreferences([this] {
    form3->AttivaHints->click();
    EXPECT_FALSE(form3->AttivaHints->isChecked());
    QTest::keyClick(form3->OKbtn, Qt::Key_Escape);
  });
  EXPECT_EQ(form3->result(), 2);
  EXPECT_TRUE(form3->AttivaHints->isChecked());
  EXPECT_TRUE(ShowsHint(form->Playbtn));

  RunPreferences([this] {
    form3->AttivaHints->click();
    form3->OKbtn->click();
  });
  EXPECT_FALSE(ShowsHint(form->Playbtn));
  EXPECT_FALSE(ShowsHint(form->VolBar));
}

TEST_F(Form3Test, HintsOffInTheSettingsSpareTheEqualizer) {
  WriteText(SettingsPath(), "[General]\nActiveHints=0\n");
  Start();
  EXPECT_FALSE(form3->AttivaHints->isChecked());
  EXPECT_FALSE(ShowsHint(form->Playbtn));
  EXPECT_FALSE(ShowsHint(form->closebtn));
  EXPECT_FALSE(ShowsHint(form->PosBar));
  form->VolumeUpdate(70);
  EXPECT_FALSE(ShowsHint(form->VolBar)) << "a new hint text is not shown either";
  form->modeequbtnClick();
  EXPECT_TRUE(ShowsHint(form->TrackBar[0]));
  EXPECT_TRUE(ShowsHint(form->Zerobtn));

  RunPreferences([this] {
    form3->AttivaHints->click();
    form3->OKbtn->click();
  });
  form->modeplaybtnClick();
  EXPECT_TRUE(ShowsHint(form->VolBar));
  EXPECT_EQ(form->VolBar->toolTip(), "Volume: 70%");
}

TEST_F(Form3Test, ThePriorityReachesTheEngineAtOnceAndSurvivesCancel) {
  Start();
  ASSERT_EQ(engine.PriorityValue(), 4);
  RunPreferences([this] {
    form3->Pages->setCurrentWidget(form3->SystemPage);
    form3->BarPrior->triggerAction(QScrollBar::SliderSingleStepSub);
    EXPECT_EQ(engine.PriorityValue(), 3);
    EXPECT_EQ(form3->lblPrior->text(), "3");
    form3->Cancelbtn->click();
  });
  EXPECT_EQ(engine.PriorityValue(), 3);
  EXPECT_EQ(form3->BarPrior->value(), 3);
  Restart();
  EXPECT_NE(Settings().find("Priority=3"), std::string::npos);
}

TEST_F(Form3Test, TheAutoCloseTimeIsTakenOnlyAtOk) {
  Start();
  ASSERT_EQ(form->TimerSelector->interval(), 5000);
  RunPreferences([this] {
    form3->Barautoclose->setValue(9);
    EXPECT_EQ(form3->lblautoclose->text(), "9");
    EXPECT_EQ(form->TimerSelector->interval(), 5000);
    form3->Cancelbtn->click();
  });
  EXPECT_EQ(form->TimerSelector->interval(), 5000);
  EXPECT_EQ(form3->Barautoclose->value(), 9) << "the bar keeps its place";
  RunPreferences([this] { form3->OKbtn->click(); });
  EXPECT_EQ(form->TimerSelector->interval(), 9000);
}

TEST_F(Form3Test, OkRestartsTheDiscTitleOnlyWhenAutoScrollChanged) {
  Start();
  form->CDlbl->StopRun(false);
  const int rest = form->CDlbl->Position();
  RunPreferences([this] { form3->OKbtn->click(); });
  EXPECT_FALSE(form->CDlbl->Running());
  EXPECT_EQ(form->CDlbl->Position(), rest);

  RunPreferences([this] {
    form3->AutoScroll->click();
    form3->OKbtn->click();
  });
  EXPECT_TRUE(form->CDlbl->Running());
  EXPECT_EQ(form->CDlbl->RunMode(), rmNormal);
}

TEST_F(Form3Test, OkTakesAutoStartAndRefusesAutoPlayWithoutADrive) {
  Start();
  ASSERT_EQ(form3->AutoPlayCD->count(), 0);
  RunPreferences([this] {
    form3->APlay->click();
    form3->Autost->click();
    form3->OKbtn->click();
  });
  EXPECT_FALSE(form3->APlay->isChecked());
  EXPECT_FALSE(form->AutoPlay);
  EXPECT_FALSE(form->Session.AutoStart);

  RunPreferences([this] {
    form3->Autost->click();
    form3->Cancelbtn->click();
  });
  EXPECT_FALSE(form3->Autost->isChecked()) << "Cancel puts the box back";
  EXPECT_FALSE(form->Session.AutoStart);
}

TEST_F(Form3Test, RememberLastPositionReopensTheAlbumAtTheNextStart) {
  const std::string album = WriteAlbum();
  Start();
  form2->CurrDir->SetFileName(album);
  RunPreferences([this] {
    form3->LastPos->click();
    form3->OKbtn->click();
  });
  Restart();
  EXPECT_TRUE(form3->LastPos->isChecked());
  EXPECT_TRUE(form->Session.AlbumLoaded());
  EXPECT_EQ(form->CDList->count(), 2);
}

TEST_F(Form3Test, TheMenuItemAndCtrlPOpenTheDialog) {
  Start();
  QAction* item = form->Preferences1;
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "&Preferences");
  EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
  EXPECT_TRUE(form->MAINmenu2->actions().contains(item));

  // The key may be handled before or after the event loop runs: look until the dialog shows.
  bool opened = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, form3.get(), [&] {
    if (!form3->isVisible()) return;
    opened = true;
    form3->CancelbtnClick();
  });
  poll.start(10);
  QTest::keyClick(form->windowHandle(), Qt::Key_P, Qt::ControlModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return opened && !form3->isVisible(); }, 5000));
}

class Form3Links : public Form3Test {
 protected:
  std::string DesktopLink() const { return home.Desktop + "Sonavera.desktop"; }
  std::string GroupLink() const { return home.Applications + "Sonavera/Sonavera.desktop"; }

  TempHome home{true};
};

TEST_F(Form3Links, TheButtonsMakeOneLinkToTheProgram) {
  Start();
  form3->CreaDesktop->click();
  ASSERT_TRUE(fs::exists(DesktopLink()));
  const std::string entry = ReadText(DesktopLink());
  const std::string program = QCoreApplication::applicationFilePath().toStdString();
  EXPECT_NE(entry.find("Exec=\"" + program + "\"\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("Icon=" + ProgramIconFile(form->ProgramFolder) + "\n"), std::string::npos);
  EXPECT_NE(entry.find("Path=" + form->ProgramFolder + "\n"), std::string::npos);
  EXPECT_NE(entry.find("StartupWMClass=" + QCoreApplication::applicationName().toStdString()),
            std::string::npos);

  form3->CreaStartmenu->click();
  EXPECT_TRUE(fs::exists(GroupLink()));
  EXPECT_FALSE(fs::exists(DesktopLink()));
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(form3->ShortCut.Active());
}

TEST_F(Form3Links, AnUnwritableDesktopShowsTheSaveError) {
  Start();
  // sysfs refuses new files even to root.
  home.SetDesktop("/sys/");
  form3->CreaDesktop->click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0],
            "IPersistFile.Save - Link creation error!\rFile Name \"/sys/Sonavera.desktop\"");
  EXPECT_FALSE(form3->ShortCut.Active());
  EXPECT_FALSE(fs::exists(GroupLink()));
  // The dialog goes on working.
  home.SetDesktop(home.Home + "Desk");
  form3->CreaDesktop->click();
  EXPECT_TRUE(fs::exists(DesktopLink()));
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(Form3Links, SetupMakesTheDesktopLinkBeforeTheAlbumIsRestored) {
  const std::string album = WriteAlbum();
  WriteText(SettingsPath(), "[General]\nLastPos=1\nLastAlbum=" + album + "\n");
  bool loadedAtLink = true;
  form3->ShortCut.OnSynchronized = [&](TShortCut*) { loadedAtLink = form->Session.AlbumLoaded(); };
  fs::create_directories(fs::path(GroupLink()).parent_path());
  WriteText(GroupLink(), "[Desktop Entry]\n");
  Start({"setup"});
  EXPECT_TRUE(fs::exists(DesktopLink()));
  EXPECT_FALSE(fs::exists(GroupLink())) << "the program group's link moves to the desktop";
  EXPECT_FALSE(loadedAtLink);
  EXPECT_TRUE(form->Session.AlbumLoaded());
  EXPECT_EQ(form2->CurrDir->FileName(), album) << "the keyword is no source";
}

TEST_F(Form3Test, TheReplayGainGroupShowsTheChoicesAndOkAppliesThem) {
  Start();
  // The group fits its page below the link buttons.
  EXPECT_GT(form3->GainGroup->y(), form3->CreaDesktop->geometry().bottom());
  EXPECT_LT(form3->GainGroup->geometry().bottom(), form3->SystemPage->height() - 2);
  EXPECT_LT(form3->GainUntagged->geometry().right(), form3->GainGroup->width() - 4);
  form->SetReplayGain(1, -2, 0);
  RunPreferences([this] {
    EXPECT_EQ(form3->GainMode->currentText(), "Track");
    EXPECT_EQ(form3->GainPreamp->value(), -2);
    form3->GainMode->setCurrentIndex(0);
    form3->GainPreamp->setValue(9);
    form3->CancelbtnClick();
  });
  EXPECT_EQ(form->ReplayGainMode, 1) << "Cancel keeps the choices";
  EXPECT_EQ(form->ReplayGainPreamp, -2);
  RunPreferences([this] {
    EXPECT_EQ(form3->GainPreamp->value(), -2) << "the dialog shows what the window holds";
    form3->GainMode->setCurrentIndex(2);
    form3->GainPreamp->setValue(7);
    form3->GainUntagged->setValue(-20);  // held at the bottom of its range
    form3->OKbtn->click();
  });
  EXPECT_EQ(form->ReplayGainMode, 2);
  EXPECT_EQ(form->ReplayGainPreamp, 7);
  EXPECT_EQ(form->ReplayGainUntagged, -15);
  form->close();
  const std::string text = Settings();
  for (const char* line :
       {"\nReplayGain=2\n", "\nReplayGainPreamp=7\n", "\nReplayGainUntagged=-15\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
}

}  // namespace
