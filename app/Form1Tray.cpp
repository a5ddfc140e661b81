// The main menu, the notification-area icon with its menu, hiding to it and coming back,
// the help page and the About box.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include "AppExec.h"
#include "AppLauncher.h"
#include "Form1.h"
#include "Form5.h"
#include "OpenerFailure.h"
#include "TrayComp.h"
#include "WPopupMenu.h"

namespace {

QAction* MenuItem(TWPopupMenu* menu, const char* caption, const char* shortcut, TForm1* form,
                  void (TForm1::*handler)()) {
  QAction* action = menu->addAction(QString::fromLatin1(caption));
  if (shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
  QObject::connect(action, &QAction::triggered, form, handler);
  return action;
}

}  // namespace

// The menu shows the Ctrl keys of its items; the keys themselves are the window's own.
// "&Open Source..." is put before "&Select Skin..." by the album code, "&Preferences"
// after it by the Preferences code.
void TForm1::CreateMainMenu() {
  MAINmenu2 = new TWPopupMenu(this);
  SelectSkin1 = MenuItem(MAINmenu2, "&Select Skin...", "Ctrl+S", this, &TForm1::SelectSkin1Click);
  Microview1 = MenuItem(MAINmenu2, "MicroWindow", "Ctrl+M", this, &TForm1::Microview1Click);
  CreateZoomMenu();
  MAINmenu2->addSeparator();
  Help1 = MenuItem(MAINmenu2, "&Help", nullptr, this, &TForm1::MenuItem9Click);
  About1 = MenuItem(MAINmenu2, "About", nullptr, this, &TForm1::About1Click);
  MAINmenu2->addSeparator();
  MenuItem11 = MenuItem(MAINmenu2, "&Exit", "Ctrl+X", this, &TForm1::closebtnClick);
}

void TForm1::CreateTray() {
  MainMenu = new TWPopupMenu(this);
  WindowMode1 = MenuItem(MainMenu, "&Window Mode", nullptr, this, &TForm1::WindowMode1Click);
  MainMenu->addSeparator();
  Play1 = MenuItem(MainMenu, "&Play", nullptr, this, &TForm1::PlaybtnClick);
  Stop1 = MenuItem(MainMenu, "&Stop", nullptr, this, &TForm1::StopbtnClick);
  Rewind1 = MenuItem(MainMenu, "&Rewind", nullptr, this, &TForm1::rewbtnClick);
  Forward1 = MenuItem(MainMenu, "&Forward", nullptr, this, &TForm1::fwdbtnClick);
  SelectSource1 =
      MenuItem(MainMenu, "Select S&ource...", nullptr, this, &TForm1::SelectSource1Click);
  MainMenu->addSeparator();
  MenuItem9 = MenuItem(MainMenu, "&Help", nullptr, this, &TForm1::MenuItem9Click);
  MainMenu->addSeparator();
  Exit1 = MenuItem(MainMenu, "E&xit", nullptr, this, &TForm1::closebtnClick);

  TrayComp = new TTrayComp(this);
  TrayComp->SetIcon(
      QIcon(QFile::decodeName(QByteArray::fromStdString(ProgramFolder + "pictures/Sonavera.png"))));
  TrayComp->SetPopupMenu(MainMenu);
  TrayComp->DefLClick = false;
  TrayComp->OnLeftClick = [this](QObject*) { WindowMode1Click(); };
  // Without a notification area the window keeps its taskbar entry, or nothing would
  // bring it back.
  TrayComp->SetShowInTaskBar(!TTrayComp::Available());
  TrayComp->SetShowIcon(true);
}

void TForm1::UpdateTrayHint() { TrayComp->SetToolTip(TrayHint); }

// With no notification area to come back from, the window is minimised instead.
void TForm1::minimizebtnClick() {
  if (TTrayComp::Available()) {
    TrayComp->SetShowForm(false);
    WatchTray();
    return;
  }
  TrayComp->SetShowInTaskBar(true);
  showMinimized();
}

// A tray that goes away (a panel restart, another session) must not strand the hidden
// window: it comes back as it was, normal or micro, with a taskbar entry.
void TForm1::WatchTray() {
  if (!trayWatch_) {
    trayWatch_ = new QTimer(this);
    trayWatch_->setInterval(kTrayWatchMs);
    connect(trayWatch_, &QTimer::timeout, this, [this] {
      if (TrayComp->ShowForm()) {
        trayWatch_->stop();
      } else if (!TTrayComp::Available()) {
        trayWatch_->stop();
        TrayComp->SetShowInTaskBar(true);
        WindowMode1Click();
      }
    });
  }
  trayWatch_->start();
}

void TForm1::WindowMode1Click() {
  TrayComp->SetShowForm(true);
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

// The dialog is used from the tray: the window stays hidden behind it.
void TForm1::SelectSource1Click() {
  TrayComp->SetShowForm(true);
  hide();
  ejbtnClick();
  TrayComp->SetShowForm(false);
  WatchTray();
}

void TForm1::MenuItem9Click() { EseguiHelp(); }

// Whatever keeps the page from showing, the message says where it is, so it can still be
// read in any browser.
void TForm1::EseguiHelp() {
  const std::string path = ProgramFolder + "help/index.html";
  if (!QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).isFile()) return;
  const auto show = [path](const std::string& reason) {
    ShowMessage("The help cannot be shown: " + reason + ".\nThe help page is " + path);
  };
  TAppExec launcher;
  launcher.ExeName = platform::kOpenCommand;
  launcher.ExeParams = {path};
  launcher.OnExit = ReportOpenerExit(this, show);
  try {
    launcher.Execute();
  } catch (const EAppExecWinExec&) {
    show(OpenerStartFailure(launcher.ErrNo));
  }
}

void TForm1::About1Click() {
  if (Form5) Form5->exec();
}
