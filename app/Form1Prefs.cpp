// The Preferences dialog's flow on the main window: what OK applies, what Cancel puts back,
// and the hints the dialog switches.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>

#include "CoolButton.h"
#include "Form1.h"
#include "Form3.h"
#include "GradProgress.h"
#include "HintSwitch.h"
#include "RunLabel.h"
#include "WPopupMenu.h"

void TForm1::CreatePreferencesItem() {
  Preferences1 = new QAction(QStringLiteral("&Preferences"), MAINmenu2);
  // Shown beside the item; the key itself is the window's own (ARHotKey3).
  Preferences1->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
  MAINmenu2->insertAction(Microview1, Preferences1);
  connect(Preferences1, &QAction::triggered, this, &TForm1::Preferences1Click);
}

void TForm1::ARHotKey3Pressed() { Preferences1Click(); }

void TForm1::Preferences1Click() {
  if (!Form3) return;
  const bool autoStart = Form3->Autost->isChecked(), autoPlay = Form3->APlay->isChecked(),
             autoScroll = Form3->AutoScroll->isChecked(), hints = Form3->AttivaHints->isChecked();
  const TColorScheme colors = Colors;
  Form3->SetSampleColors(Colors);

  if (Form3->exec() == 1) {
    Assegnacolori();
    Session.AutoStart = Form3->Autost->isChecked();
    if (Form3->AutoScroll->isChecked() != autoScroll) {
      CDlbl->StopRun(true);
      CDlbl->SetRunMode(Form3->AutoScroll->isChecked() ? rmNormal : rmLabel);
      CDlbl->StartRun(0, 0);
    }
    if (Form3->AttivaHints->isChecked() != hints) SettaHint(Form3->AttivaHints->isChecked());
    TimerSelector->setInterval(Form3->Barautoclose->value() * 1000);
    return;
  }
  // Cancel undoes a preview; the priority, the auto-close bar, "Remember last position",
  // the auto-play drive and links made stay as they are.
  Form3->Autost->setChecked(autoStart);
  Form3->APlay->setChecked(autoPlay);
  Form3->AutoScroll->setChecked(autoScroll);
  Form3->AttivaHints->setChecked(hints);
  Colors = colors;
  Form3->SetSampleColors(Colors);
  Assegnacolori();
}

void TForm1::SettaHint(bool on) {
  if (!hints_) hints_ = new THintSwitch(this);
  QWidget* const controls[] = {
      menubtn,  minimizebtn, closebtn,  modeplaybtn, modeimagebtn, modeequbtn, modemodebtn,
      progbtn,  shufflebtn,  repeatbtn, ejbtn,       fwdbtn,       rewbtn,     Stopbtn,
      Playbtn,  PosBar,      VolBar,    btnrew2,     btnfwd2,      btnrew1,    btnfwd1,
      btnPlay2, btnStop2,    btnClose2, lblDisplay2, CurrTime};
  for (QWidget* control : controls) hints_->SetShowHint(control, on);
}
