// Choosing the source through the Select Source dialog, and the two-second check: vanished
// sources and CD auto-play.
#include <sys/mount.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "AlbumTest.h"
#include "CoolButton.h"
#include "DirectoryListBox.h"
#include "FileLabel.h"
#include "RunLabel.h"
#include "phComboBox.h"

namespace {

class SourceTest : public AlbumTest {
 protected:
  SourceTest() {
    cd = volumes.AddCdRom("cdrom");
    WriteFiles(disk, {{"Music/Pop/01.mp3", Tagged("Pop One")}});
    form->FillDriveLists();
    form2.CurrDir->SetFileName("/before");
  }

  // Opens the dialog with the eject button; inside it runs steps, then the result comes
  // from whatever the steps did to close it.
  void Eject(const std::function<void()>& steps) {
    QTimer::singleShot(0, &form2, [this, steps] {
      ASSERT_TRUE(form2.isVisible());
      steps();
      // A step that failed leaves the dialog open; close it so the test goes on.
      if (form2.isVisible()) form2.reject();
    });
    QTest::mouseClick(form->ejbtn, Qt::LeftButton, {}, QPoint(10, 9));
  }

  void Loaded(const std::string& root, const std::string& disc) {
    EXPECT_EQ(form->Session.SourceRoot(), root);
    EXPECT_EQ(form->CDlbl->Caption(), disc);
  }

  std::string cd;
};

TEST_F(SourceTest, PickingAFolderLoadsItAndAutoPlayGoesOff) {
  form->AutoPlay = true;
  form3.APlay->setChecked(true);
  Eject([this] {
    EXPECT_EQ(form2.height(), 100);
    QTest::mouseClick(form2.HardDiskItem, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(form2.height(), 285);
    EXPECT_EQ(form2.Directory->Directory(), disk);
    EXPECT_EQ(form2.CurrDir->FileName(), disk);
    form2.Directory->SetDirectory(disk + "/Music");
    EXPECT_EQ(form2.CurrDir->FileName(), disk + "/Music");
    QTest::mouseClick(form2.OKbtn, Qt::LeftButton);
  });
  Loaded(disk + "/Music", "1. POP");
  EXPECT_EQ(form2.CurrDir->FileName(), disk + "/Music");
  EXPECT_EQ(form->Songlbl->Caption(), "1. Pop One");
  EXPECT_EQ(Codes().back(), XA_MSG_COMMAND_PLAY);
  EXPECT_FALSE(form->AutoPlay);
  EXPECT_FALSE(form3.APlay->isChecked());
}

TEST_F(SourceTest, PickingTheAutoPlayDriveKeepsAutoPlay) {
  volumes.InsertDisc(cd, 77, {{"Disc/a.mp3", Untagged()}});
  form->AutoPlay = true;
  form3.APlay->setChecked(true);
  Eject([this] {
    QTest::mouseClick(form2.CDROMItem, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::keyClick(&form2, Qt::Key_Return);
  });
  Loaded(cd, "1. DISC");
  EXPECT_EQ(form->SerialNumber, "77");
  EXPECT_TRUE(form->AutoPlay);
  EXPECT_TRUE(form3.APlay->isChecked());
}

TEST_F(SourceTest, CancelAndAnEmptyDriveKeepTheChosenSourceAndTheAlbum) {
  Load(disk + "/Music");
  engine.ClearCommands();
  Eject([this] {
    form2.SetDriveSelectIndex(1);
    EXPECT_EQ(form2.CurrDir->FileName(), disk);
    QTest::keyClick(&form2, Qt::Key_Escape);
  });
  Eject([this] {
    form2.SetDriveSelectIndex(1);
    QTest::mouseClick(form2.Cancelbtn, Qt::LeftButton);
  });
  // The CD drive holds no disc: its folder is there, but nothing is mounted on it.
  volumes.Eject(cd, true);
  Eject([this] {
    form2.SetDriveSelectIndex(0);
    EXPECT_EQ(form2.CurrDir->FileName(), cd);
    form2.OKbtnClick();
    EXPECT_EQ(form2.result(), 2);
  });
  EXPECT_EQ(form2.CurrDir->FileName(), "/before");
  Loaded(disk + "/Music", "1. POP");
  EXPECT_TRUE(Codes().empty());
}

TEST_F(SourceTest, EnterInTheFolderListOpensTheFolderWithoutConfirming) {
  Eject([this] {
    form2.SetDriveSelectIndex(1);
    form2.Directory->setFocus();
    QTreeWidgetItem* music = form2.Directory->CurrentFolderItem()->child(0);
    ASSERT_NE(music, nullptr);
    form2.Directory->setCurrentItem(music);
    QTest::keyClick(form2.Directory, Qt::Key_Return);
    EXPECT_TRUE(form2.isVisible());
    EXPECT_EQ(form2.CurrDir->FileName(), disk + "/Music");
    // One click on a folder opens it.
    QTreeWidgetItem* pop = form2.Directory->CurrentFolderItem()->child(0);
    ASSERT_NE(pop, nullptr);
    const QRect rect = form2.Directory->visualItemRect(pop);
    QTest::mouseClick(form2.Directory->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(form2.CurrDir->FileName(), disk + "/Music/Pop");
    form2.OKbtn->setFocus();
    QTest::keyClick(form2.OKbtn, Qt::Key_Return);
  });
  Loaded(disk + "/Music/Pop", "1. POP");
}

// Without an optical drive the dialog opens on the hard disks, at the chosen folder; OK on
// the root asks before the whole file system is walked.
TEST_F(SourceTest, TheDialogStartsWhereTheMusicIsAndTheRootAsksFirst) {
  form2.CDROMs->clear();
  form2.CurrDir->SetFileName(disk + "/Music/Pop");
  std::vector<std::string> asked;
  const auto savedConfirm = TForm2::Confirm;
  TForm2::Confirm = [&asked](QWidget*, const std::string& question) {
    asked.push_back(question);
    return false;
  };
  Eject([this] {
    EXPECT_EQ(form2.DriveSelectIndex(), 1);
    EXPECT_EQ(form2.height(), 285);
    EXPECT_EQ(form2.Directory->Directory(), disk + "/Music/Pop");
    form2.Directory->SetDirectory("/");
    form2.OKbtnClick();
    EXPECT_TRUE(form2.isVisible()) << "declined, the dialog stays";
    form2.CancelbtnClick();
  });
  TForm2::Confirm = savedConfirm;
  EXPECT_EQ(asked, std::vector<std::string>{TForm2::kWholeDisk});
  EXPECT_EQ(form2.CurrDir->FileName(), disk + "/Music/Pop");
  EXPECT_FALSE(form->Session.AlbumLoaded());
}

class AutoPlayTest : public SourceTest {
 protected:
  AutoPlayTest() {
    form->AutoPlay = true;
    form3.APlay->setChecked(true);
  }
};

TEST_F(AutoPlayTest, NewCdPlaysOnlyWhenStoppedAndOnlyOnce) {
  volumes.InsertDisc(cd, 5, {{"Live/01.mp3", Tagged("Opening")}});
  form->Session.Playing = true;
  form->AutoPTimerTimer();
  EXPECT_FALSE(form->Session.AlbumLoaded());
  EXPECT_TRUE(Codes().empty());

  form->Session.Playing = false;
  form->AutoPTimerTimer();
  Loaded(cd, "1. LIVE");
  EXPECT_EQ(form2.CurrDir->FileName(), cd);
  EXPECT_EQ(form->SerialNumber, "5");
  EXPECT_TRUE(form->AutoPlay);
  EXPECT_EQ(Codes().back(), XA_MSG_COMMAND_PLAY);

  // The disc already loaded is left alone.
  engine.ClearCommands();
  form->AutoPTimerTimer();
  EXPECT_TRUE(Codes().empty());
}

TEST_F(AutoPlayTest, DiscWithoutSongsSwitchesAutoPlayOff) {
  volumes.InsertDisc(cd, 6, {{"Docs/readme.txt", "text"}});
  form->AutoPTimerTimer();
  EXPECT_FALSE(form->AutoPlay);
  EXPECT_TRUE(Codes().empty());
}

TEST_F(AutoPlayTest, EjectedDiscUnloadsWithinOneTickButNotWhileTheDialogShows) {
  volumes.InsertDisc(cd, 5, {{"Live/01.mp3", Untagged()}});
  form->AutoPTimerTimer();
  ASSERT_TRUE(form->Session.AlbumLoaded());
  volumes.Eject(cd, true);

  Eject([this] {
    form->AutoPTimerTimer();
    EXPECT_TRUE(form->Session.AlbumLoaded());
  });
  form->AutoPTimerTimer();
  EXPECT_FALSE(form->Session.AlbumLoaded());
  EXPECT_EQ(form->CDlbl->Caption(), "NO CD LOADED");
  EXPECT_EQ(form->Songlbl->Caption(), "NO SONG LOADED");
  EXPECT_EQ(form->SerialNumber, "empty");

  // The same disc back in the auto-play drive plays again.
  volumes.InsertDisc(cd, 5, {{"Live/01.mp3", Untagged()}});
  form->AutoPTimerTimer();
  EXPECT_TRUE(form->Session.AlbumLoaded());

  // A deleted folder goes the same way.
  form->AutoPlay = false;
  Load(disk + "/Music");
  std::filesystem::remove_all(disk + "/Music");
  form->AutoPTimerTimer();
  EXPECT_EQ(form->CDlbl->Caption(), "NO CD LOADED");
}

// The check asks the volumes only when they may have changed or the folder is another one.
TEST_F(SourceTest, QuietTicksLeaveTheVolumesAlone) {
  Load(disk + "/Music");
  form->AutoPTimerTimer();
  const int queries = volumes.SerialQueries();
  for (int i = 0; i < 3; ++i) form->AutoPTimerTimer();
  EXPECT_EQ(volumes.SerialQueries(), queries);
  EXPECT_TRUE(form->Session.AlbumLoaded());
  // The same name, now another folder.
  std::filesystem::rename(disk + "/Music", disk + "/Old");
  WriteFiles(disk, {{"Music/Pop/01.mp3", Tagged("Pop One")}});
  volumes.SetSerial(disk, 99);
  (void)volumes.VolumesChanged();  // a change the check must find out by itself
  form->AutoPTimerTimer();
  EXPECT_GT(volumes.SerialQueries(), queries);
  EXPECT_EQ(form->CDlbl->Caption(), "NO CD LOADED");
}

TEST_F(SourceTest, SourceWhoseVolumeChangedCountsAsVanished) {
  // Another stick in the same place: the folder is there, the volume is not the loaded one.
  Load(disk + "/Music");
  form->AutoPTimerTimer();
  EXPECT_TRUE(form->Session.AlbumLoaded());
  volumes.SetSerial(disk, 99);
  form->AutoPTimerTimer();
  EXPECT_EQ(form->CDlbl->Caption(), "NO CD LOADED");

  // An unmounted volume leaves its mount point behind, an ordinary empty folder.
  const std::string stick = disk + "/stick";
  std::filesystem::create_directories(stick);
  if (mount("tmpfs", stick.c_str(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here";
  WriteFiles(stick, {{"Live/01.mp3", Untagged()}});
  Load(stick);
  form->AutoPTimerTimer();
  EXPECT_TRUE(form->Session.AlbumLoaded());
  ASSERT_EQ(umount2(stick.c_str(), MNT_DETACH), 0);
  form->AutoPTimerTimer();
  EXPECT_EQ(form->CDlbl->Caption(), "NO CD LOADED");
}

TEST_F(AutoPlayTest, NoAutoPlayWhileALoadRuns) {
  volumes.InsertDisc(cd, 5, {{"Live/01.mp3", Untagged()}});
  // A tick that arrives while the load lets events run.
  bool tickedDuringLoad = false;
  QTimer::singleShot(0, form.get(), [&] {
    tickedDuringLoad = form->Loading();
    EXPECT_EQ(form->CurrTime->text(), "Scan");
    EXPECT_EQ(form->Totlbl->text(), "");
    form->AutoPTimerTimer();
  });
  Load(disk + "/Music");
  EXPECT_TRUE(tickedDuringLoad);
  Loaded(disk + "/Music", "1. POP");
  EXPECT_TRUE(form->AutoPlay);
  // Once the load is over, the next tick plays the new disc.
  form->Session.Playing = false;
  form->AutoPTimerTimer();
  Loaded(cd, "1. LIVE");
}

}  // namespace
