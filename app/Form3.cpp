#include "Form3.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>

#include "FontMap.h"
#include "Form1.h"
#include "GradProgress.h"
#include "ProgramIcon.h"
#include "SettingsKeys.h"
#include "XaudioPlayer.h"
#include "phComboBox.h"

namespace {

QCheckBox* CheckBox(QWidget* page, const char* caption, int left, int top, bool checked) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), page);
  box->setGeometry(left, top, 200, 17);
  box->setChecked(checked);
  return box;
}

QLabel* Label(QWidget* page, const char* caption, int left, int top) {
  auto* label = new QLabel(QString::fromLatin1(caption), page);
  label->move(left, top);
  return label;
}

// The small silver-on-black label beside a bar.
QLabel* ValueLabel(QWidget* page, int left, int top, int value) {
  auto* label = new QLabel(QString::number(value), page);
  label->setGeometry(left, top, 22, 12);
  label->setStyleSheet(QStringLiteral("background: black; color: silver;"));
  label->setFont(FontFromPixels("Small Fonts", 8));
  return label;
}

QScrollBar* Bar(QWidget* page, int left, int top, int width, int minimum, int maximum, int value) {
  auto* bar = new QScrollBar(Qt::Horizontal, page);
  bar->setGeometry(left, top, width, 12);
  bar->setRange(minimum, maximum);
  bar->setValue(value);
  // A small thumb, and a click beside it steps by one, as the arrows do.
  bar->setPageStep(1);
  return bar;
}

QPushButton* Button(QWidget* parent, const char* caption, int left, int top, int width,
                    int height) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setGeometry(left, top, width, height);
  button->setAutoDefault(false);
  return button;
}

// A text sample: its caption in its colour on a fixed background.
QLabel* TextSample(QWidget* parent, const char* caption, int top, const char* background) {
  auto* label = new QLabel(QString::fromLatin1(caption), parent);
  label->setGeometry(8, top, 60, 17);
  label->setAlignment(Qt::AlignCenter);
  label->setAutoFillBackground(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, QColor(QLatin1String(background)));
  label->setPalette(palette);
  return label;
}

// A gradient sample: half full, as the bars of the main window look in play.
TGradProgress* BarSample(QWidget* parent, int top) {
  auto* bar = new TGradProgress(parent);
  bar->setGeometry(8, top, 146, 10);
  bar->SetMaxValue(100);
  bar->SetPosition(50);
  bar->SetShowPercent(false);
  return bar;
}

}  // namespace

std::function<void(const std::string& text)> TForm3::ShowError = [](const std::string& text) {
  // The messages break lines with carriage returns, which Qt does not render as breaks.
  QString shown = QString::fromLocal8Bit(text);
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QMessageBox::critical(nullptr, QStringLiteral("Sonavera"), shown);
};

TForm3::TForm3(QWidget* parent) : TKeyUpDialog(parent, Qt::Tool) {
  setWindowTitle(QStringLiteral("Preferences - Sonavera"));
  setFixedSize(297, 251);
  setFont(FontFromPoints("Arial", 8));
  Pages = new QTabWidget(this);
  Pages->setGeometry(0, 0, 297, 217);
  PlayerPage = new QWidget;
  SystemPage = new QWidget;
  ColorsPage = new QWidget;
  Pages->addTab(PlayerPage, QStringLiteral("Player"));
  Pages->addTab(SystemPage, QStringLiteral("System"));
  Pages->addTab(ColorsPage, QStringLiteral("Colors"));
  CreatePlayerPage();
  CreateSystemPage();
  CreateColorsPage();

  Cancelbtn = Button(this, "&Cancel", 178, 227, 49, 19);
  OKbtn = Button(this, "&OK", 238, 225, 55, 23);
  OKbtn->setDefault(true);
  connect(OKbtn, &QPushButton::clicked, this, &TForm3::OKbtnClick);
  connect(Cancelbtn, &QPushButton::clicked, this, &TForm3::CancelbtnClick);

  ShortCut.SetDescription("Sonavera");
  ShortCut.ExactFolder = "Sonavera";
  ShortCut.ExactFolderBase = fbProgramsMenu;
  ShortCut.SetIconIndex(0);
  ShortCut.SetShowCmd(cmdShowNormal);
  ShortCut.SetPlace({plExactFolder});
}

void TForm3::CreatePlayerPage() {
  Autost = CheckBox(PlayerPage, "AutoStart", 8, 16, true);
  APlay = CheckBox(PlayerPage, "AutoPlay Sonavera-CD on drive:", 8, 46, false);
  APlay->adjustSize();
  AutoPlayCD = new TphComboBox(PlayerPage);
  // The drive list stands beside the caption, moved right where the caption needs the room.
  AutoPlayCD->setGeometry(std::max(168, APlay->geometry().right() + 4), 44, 54, 20);
  AutoPlayCD->setStyleSheet(QStringLiteral("font-weight: bold; background: lightgray;"));
  AutoScroll = CheckBox(PlayerPage, "AutoScroll CD title", 8, 76, false);
  LastPos = CheckBox(PlayerPage, "Remember last position", 8, 106, false);
  AttivaHints = CheckBox(PlayerPage, "Show Help Hints", 8, 136, true);
}

void TForm3::CreateSystemPage() {
  const QLabel* priority = Label(SystemPage, "Engine priority level:", 10, 31);
  const QLabel* autoclose = Label(SystemPage, "Auto-close CD/Song timer:", 10, 71);
  // Both bars begin at least 6 pixels right of the wider caption, their right ends fixed.
  const int captions = 10 + std::max(priority->sizeHint().width(), autoclose->sizeHint().width());
  const int shift = std::max(0, captions + 6 - 143);
  Label(SystemPage, "0 (min)", 142 + shift, 16);
  Label(SystemPage, "4(max)", 214, 16);
  BarPrior = Bar(SystemPage, 144 + shift, 32, 105 - shift, 0, 4, 0);
  lblPrior = ValueLabel(SystemPage, 252, 33, BarPrior->value());
  // Every change of the bars reaches their labels, the settings' included.
  connect(BarPrior, &QScrollBar::valueChanged, this, &TForm3::BarPriorChange);
  Label(SystemPage, "2 sec", 142 + shift, 58);
  Label(SystemPage, "100 sec", 214, 58);
  Barautoclose = Bar(SystemPage, 143 + shift, 73, 106 - shift, 2, 100, 5);
  lblautoclose = ValueLabel(SystemPage, 252, 74, Barautoclose->value());
  connect(Barautoclose, &QScrollBar::valueChanged, this, &TForm3::BarautocloseChange);

  const QLabel* icon = Label(SystemPage, "Create Sonavera icon:", 8, 121);
  const int iconShift = std::max(0, 8 + icon->sizeHint().width() + 6 - 120);
  CreaDesktop = Button(SystemPage, "Desktop", 120 + iconShift, 120, 56, 17);
  CreaStartmenu = Button(SystemPage, "StartMenu", 184 + iconShift, 120, 65, 17);
  connect(CreaDesktop, &QPushButton::clicked, this, &TForm3::CreaDesktopClick);
  connect(CreaStartmenu, &QPushButton::clicked, this, &TForm3::CreaStartmenuClick);
  CreateGainGroup();
}

void TForm3::CreateGainGroup() {
  GainGroup = new QGroupBox(QStringLiteral("ReplayGain"), SystemPage);
  GainGroup->setGeometry(6, 140, 279, 46);
  // One row: the mode needs no caption of its own beside the group's; each pre-amp follows
  // its caption at the width the font gives it.
  GainMode = new QComboBox(GainGroup);
  GainMode->addItems({QStringLiteral("Off"), QStringLiteral("Track"), QStringLiteral("Album"),
                      QStringLiteral("Auto")});
  GainMode->setGeometry(8, 21, 56, 19);
  int left = 8 + 56 + 10;
  const auto preamp = [this, &left](const char* caption) {
    const QLabel* label = Label(GainGroup, caption, left, 24);
    left += label->sizeHint().width() + 4;
    auto* box = new QSpinBox(GainGroup);
    box->setRange(settings::kPreampMin, settings::kPreampMax);
    box->setGeometry(left, 21, 40, 19);
    left += 40 + 10;
    return box;
  };
  GainPreamp = preamp("Pre-amp");
  GainPreamp->setToolTip(QStringLiteral("dB added to songs with a gain"));
  GainUntagged = preamp("Untagged");
  GainUntagged->setToolTip(QStringLiteral("dB added to songs without a gain"));
}

void TForm3::ShowReplayGain() {
  if (!Form1) return;
  GainMode->setCurrentIndex(Form1->ReplayGainMode);
  GainPreamp->setValue(Form1->ReplayGainPreamp);
  GainUntagged->setValue(Form1->ReplayGainUntagged);
}

QPushButton* TForm3::ColorButton(QWidget* parent, const char* caption, int left, int top, int width,
                                 TColor TColorScheme::*sample) {
  QPushButton* button = Button(parent, caption, left, top, width, 17);
  connect(button, &QPushButton::clicked, this, [this, sample] { ColorButtonClick(sample); });
  return button;
}

void TForm3::CreateColorsPage() {
  TextGroup = new QGroupBox(QStringLiteral("Text"), ColorsPage);
  TextGroup->setGeometry(6, 4, 102, 122);
  hightext = TextSample(TextGroup, "High", 24, "black");
  btnCOLhitext = ColorButton(TextGroup, "..", 72, 24, 22, &TColorScheme::HighText);
  mediumtext = TextSample(TextGroup, "Medium", 56, "black");
  btnCOLmtext = ColorButton(TextGroup, "..", 72, 56, 22, &TColorScheme::MediumText);
  lowtext = TextSample(TextGroup, "Low", 88, "white");
  btnCOLlowtext = ColorButton(TextGroup, "..", 72, 88, 22, &TColorScheme::LowText);

  BarsGroup = new QGroupBox(QStringLiteral("Trackbars"), ColorsPage);
  BarsGroup->setGeometry(114, 4, 171, 122);
  Label(BarsGroup, "Position", 8, 16);
  Bar1 = BarSample(BarsGroup, 32);
  btnCOL1Start = ColorButton(BarsGroup, "Start", 8, 46, 46, &TColorScheme::PosBarStart);
  btnCOL1end = ColorButton(BarsGroup, "End", 58, 46, 46, &TColorScheme::PosBarEnd);
  btnCOL1back = ColorButton(BarsGroup, "Back", 108, 46, 46, &TColorScheme::PosBarBack);
  Label(BarsGroup, "Volume", 8, 66);
  Bar2 = BarSample(BarsGroup, 82);
  btnCOL2start = ColorButton(BarsGroup, "Start", 8, 96, 46, &TColorScheme::VolBarStart);
  btnCOL2end = ColorButton(BarsGroup, "End", 58, 96, 46, &TColorScheme::VolBarEnd);
  btnCOL2back = ColorButton(BarsGroup, "Back", 108, 96, 46, &TColorScheme::VolBarBack);

  Defaultbtn = Button(ColorsPage, "&Default color values", 6, 136, 136, 23);
  Button10 = Button(ColorsPage, "&Preview colors", 149, 136, 136, 23);
  connect(Defaultbtn, &QPushButton::clicked, this, &TForm3::DefaultbtnClick);
  connect(Button10, &QPushButton::clicked, this, &TForm3::Button10Click);
  SetSampleColors(samples_);
}

void TForm3::SetSampleColors(const TColorScheme& colors) {
  samples_ = colors;
  const std::pair<QLabel*, TColor> texts[] = {
      {hightext, colors.HighText}, {mediumtext, colors.MediumText}, {lowtext, colors.LowText}};
  for (const auto& [label, color] : texts) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(color));
    label->setPalette(palette);
  }
  Bar1->SetStartColor(colors.PosBarStart);
  Bar1->SetEndColor(colors.PosBarEnd);
  Bar1->SetBackColor(colors.PosBarBack);
  Bar2->SetStartColor(colors.VolBarStart);
  Bar2->SetEndColor(colors.VolBarEnd);
  Bar2->SetBackColor(colors.VolBarBack);
}

void TForm3::ColorButtonClick(TColor TColorScheme::*sample) {
  // Made at its first use: building it loads the icon theme, which the start need not wait
  // for. Qt's own picker: the same on every desktop, and one the program can drive.
  if (!ColorDialog) {
    ColorDialog = new QColorDialog(this);
    ColorDialog->setOption(QColorDialog::DontUseNativeDialog);
  }
  ColorDialog->setCurrentColor(ColorToQColor(samples_.*sample));
  if (ColorDialog->exec() != QDialog::Accepted) return;
  TColorScheme colors = samples_;
  colors.*sample = QColorToColor(ColorDialog->selectedColor());
  SetSampleColors(colors);
}

void TForm3::DefaultbtnClick() { SetSampleColors(TColorScheme::Defaults()); }

void TForm3::Button10Click() {
  if (!Form1) return;
  Form1->Colors = samples_;
  Form1->Assegnacolori();
}

void TForm3::BarPriorChange() {
  // The engine takes the priority at once; Cancel does not take it back.
  if (Form1) Form1->XAudio->SetPriority(static_cast<unsigned>(BarPrior->value()));
  lblPrior->setNum(BarPrior->value());
}

// The selector timer takes the new time only at OK.
void TForm3::BarautocloseChange() { lblautoclose->setNum(Barautoclose->value()); }

void TForm3::MakeLink(TPlace place) {
  const std::string folder = Form1 ? Form1->ProgramFolder : std::string();
  const std::string program =
      QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
  ShortCut.SetIconPath(ProgramIconFile(folder));
  ShortCut.SetPath(program);
  ShortCut.SetWorkingDirectory(folder);
  ShortCut.SetWindowClass(QCoreApplication::applicationName().toStdString());
  ShortCut.SetPlace({place});
  try {
    ShortCut.SetActive(true);
  } catch (const EShortCut& error) {
    ShortCut.SetActive(false);
    ShowError(error.what());
    return;
  }
  ShortCut.SetActive(false);
}

void TForm3::CreaDesktopClick() { MakeLink(plDesktop); }

void TForm3::CreaStartmenuClick() { MakeLink(plExactFolder); }

void TForm3::OKbtnClick() {
  // Auto-play needs a drive to watch.
  const bool autoPlay = AutoPlayCD->count() > 0 && APlay->isChecked();
  if (!autoPlay) APlay->setChecked(false);
  if (Form1) {
    Form1->AutoPlay = autoPlay;
    Form1->Session.AutoStart = Autost->isChecked();
    Form1->Colors = samples_;
    Form1->ScriviSkinINI();
    Form1->SetReplayGain(GainMode->currentIndex(), GainPreamp->value(), GainUntagged->value());
  }
  done(1);
}

void TForm3::CancelbtnClick() { done(2); }

void TForm3::reject() { done(2); }

int TForm3::exec() {
  if (const QScreen* where = screen()) move(where->geometry().center() - rect().center());
  ShowReplayGain();
  OKbtn->setFocus();
  return QDialog::exec();
}

void TForm3::FormKeyUp(int key) {
  if (key == Qt::Key_Escape) CancelbtnClick();
}
