// The main window's construction: every control created and placed at its fixed position.
// The layout never changes; skins only replace pictures and colours.
#include "Form1.h"

#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <cstdlib>

#include "CoolButton.h"
#include "ExtProgressBar.h"
#include "FEJpeg.h"
#include "Folders.h"
#include "FontMap.h"
#include "GradProgress.h"
#include "QtText.h"
#include "RunLabel.h"
#include "SettingsKeys.h"
#include "XaudioPlayer.h"

namespace {

void SetBackground(QWidget* widget, TColor color) {
  QPalette palette = widget->palette();
  palette.setColor(widget->backgroundRole(), ColorToQColor(color));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

QImage FormPicture(const std::string& programFolder, const char* name) {
  return QImage(QFile::decodeName(QByteArray::fromStdString(programFolder + "pictures/" + name)));
}

}  // namespace

std::function<void(const std::string& text)> TForm1::ShowMessage = [](const std::string& text) {
  PlainMessageBox(QMessageBox::Information, QStringLiteral("Sonavera"), ToQString(text));
};

std::function<void(QWidget* owner, const std::string& text)> TForm1::ShowNote =
    [](QWidget* owner, const std::string& text) {
      // A later note replaces the text of one still open rather than piling up boxes.
      static QPointer<QMessageBox> note;
      if (!note) {
        note = new QMessageBox(QMessageBox::Information, QStringLiteral("Sonavera"), QString(),
                               QMessageBox::Ok, owner);
        note->setTextFormat(Qt::PlainText);
        note->setModal(false);
        note->setAttribute(Qt::WA_DeleteOnClose);
      }
      note->setText(ToQString(text));
      note->show();
    };

TForm1::TForm1(const std::string& programFolder, const TXaudioEntryPoints& engine)
    : ProgramFolder(programFolder),
      SkinsRoot(programFolder + "SKIN/"),
      UserSkinsRoot(platform::UserDataFolder() + "Sonavera/SKIN/") {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setWindowTitle(QStringLiteral("Sonavera "));
  setFixedSize(196, 170);
  setFont(FontFromPixels("Arial", 11));

  ini.SaveToINI = true;
  ini.SaveNewKey = true;
  // The routines using the store end at its first error, silently (see their catch-alls).
  ini.OnError = [](TMyRegistry*, bool, const std::string& message) {
    throw std::runtime_error(message);
  };
  XAudio = new TXaudioPlayer(this, engine);
  // The form's stored priority; the settings may change it later. SONAVERA_OUTPUT names
  // another output (tests, recordings) before any song is opened.
  XAudio->SetPriority(unsigned(settings::kPriority.Default));
  if (const char* output = std::getenv("SONAVERA_OUTPUT"); output != nullptr && *output != '\0')
    XAudio->SetPlayerEnvironmentString(XA_ENVIRONMENT_OUTPUT, output);

  CreateFrame();
  CreatePlayPage();
  CreateEqualizerPage();
  CreateSelectorPages();
  CreateMicroPanel();
  CreateMainMenu();
  CreatePreferencesItem();
  CreateTray();
  ConnectAlbum();
  ConnectEqualizer();
  ConnectTransport();
  ConnectPlayOrder();
  CreateHotKeys();
  // Until a scheme is applied: the default colours, and black mode labels.
  PaintColors(Colors, clBlack, clBlack);
}

TForm1::~TForm1() = default;

void TForm1::SetTextColor(QWidget* widget, TColor color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, ColorToQColor(color));
  widget->setPalette(palette);
}

const std::array<TForm1::TSkinnedButton, 15>& TForm1::SkinnedButtons() {
  static const std::array<TSkinnedButton, 15> buttons{{
      {&TForm1::Playbtn, "btn-play.bmp", 3, 148, 21, 19, "Play/Restart"},
      {&TForm1::Stopbtn, "btn-stop.bmp", 25, 148, 21, 19, "Pause/Stop"},
      {&TForm1::rewbtn, "btn-rew.bmp", 47, 148, 21, 19, "Previous Song"},
      {&TForm1::fwdbtn, "btn-fwd.bmp", 69, 148, 21, 19, "Next Song"},
      {&TForm1::ejbtn, "btn-eject.bmp", 91, 148, 21, 19, "Open Source"},
      {&TForm1::repeatbtn, "btn-Repeat.bmp", 118, 151, 15, 13, "Repeat Mode"},
      {&TForm1::shufflebtn, "btn-Shuffle.bmp", 135, 151, 15, 13, "Shuffle Mode"},
      {&TForm1::progbtn, "btn-Program.bmp", 152, 151, 15, 13, "Program Mode"},
      {&TForm1::menubtn, "btn-Menu.bmp", 3, 2, 15, 13, "Menu"},
      {&TForm1::minimizebtn, "btn-Minimize.bmp", 162, 2, 15, 13, "Minimize"},
      {&TForm1::closebtn, "btn-Close.bmp", 179, 2, 15, 13, "Exit"},
      {&TForm1::modeplaybtn, "Mode-Play.bmp", 172, 51, 21, 19, "Play Panel"},
      {&TForm1::modeimagebtn, "Mode-Image.bmp", 172, 75, 21, 19, "Image Panel"},
      {&TForm1::modeequbtn, "Mode-Equ.bmp", 172, 99, 21, 19, "Equalizer Panel"},
      {&TForm1::modemodebtn, "Mode-album.bmp", 171, 148, 21, 19, "Album Mode"},
  }};
  return buttons;
}

TCoolButton* TForm1::SkinButton(QWidget* parent, int left, int top, int width, int height,
                                const char* hint) {
  auto* button = new TCoolButton(parent);
  button->setGeometry(left, top, width, height);
  button->SetNumGlyphs(3);
  button->setToolTip(QString::fromLatin1(hint));
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

// Micro-window buttons are not skinned: their single-cell pictures come with the program.
TCoolButton* TForm1::FormButton(QWidget* parent, const char* picture, int left, int top, int width,
                                int height, const char* hint) {
  TCoolButton* button = SkinButton(parent, left, top, width, height, hint);
  button->SetNumGlyphs(1);
  button->LoadGlyph(ProgramFolder + "pictures/" + picture);
  return button;
}

void TForm1::CreateFrame() {
  Sfondo = new TFEJpeg(this);
  Sfondo->setGeometry(0, 0, 196, 170);
  ConnectDragHandle(Sfondo);

  for (const TSkinnedButton& b : SkinnedButtons())
    this->*b.Member = SkinButton(this, b.Left, b.Top, b.Width, b.Height, b.Hint);
  menubtn->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int x, int y) {
    menubtnMouseUp(x, y);
  };
  closebtn->OnClick = [this](QObject*) { closebtnClick(); };
  minimizebtn->OnClick = [this](QObject*) { minimizebtnClick(); };
  modeplaybtn->OnClick = [this](QObject*) { modeplaybtnClick(); };
  modeimagebtn->OnClick = [this](QObject*) { modeimagebtnClick(); };
  modeequbtn->OnClick = [this](QObject*) { modeequbtnClick(); };

  Display = new QStackedWidget(this);
  Display->setGeometry(3, 19, 166, 126);
  Display->setFocusPolicy(Qt::StrongFocus);
  SetBackground(Display, clGray);
  connect(Display, &QStackedWidget::currentChanged, this, &TForm1::DisplayPageChanged);
}

QLabel* TForm1::DisplayLabel(const char* text, int left, int top, int width, int height) {
  auto* label = new QLabel(QString::fromLatin1(text), Page0);
  label->setGeometry(left, top, width, height);
  return label;
}

void TForm1::CreatePlayPage() {
  const auto framedPage = [this](const char* name) {
    auto* page = new QFrame(Display);
    page->setObjectName(QString::fromLatin1(name));
    page->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The lowered edge of the forms: grey 128 above and left, white below and right.
    QPalette edges = page->palette();
    edges.setColor(QPalette::Dark, QColor(128, 128, 128));
    edges.setColor(QPalette::Light, Qt::white);
    page->setPalette(edges);
    Display->addWidget(page);
    return page;
  };
  Page0 = framedPage("Page0");
  page1 = framedPage("page1");
  page2 = framedPage("page2");

  DISPimage = new TFEJpeg(Page0);
  DISPimage->setGeometry(1, 1, 164, 125);
  CDImage = new TFEJpeg(page1);
  CDImage->setGeometry(3, 3, 160, 120);
  CDImage->SetStretch(true);
  CDImage->SetProgressiveDisplay(true);
  CDImage->OnClick = [this](QObject*) { modeplaybtnClick(); };
  CDImage->setCursor(Qt::PointingHandCursor);

  const QFont titleFont = FontFromPixels("Small Fonts", 9);
  CDlbl = new TRunLabel(Page0);
  CDlbl->setGeometry(22, 3, 140, 22);
  CDlbl->setFont(titleFont);
  CDlbl->SetRunMode(rmLabel);
  CDlbl->SetPixelsPerStep(2);
  CDlbl->SetShowAccelChar(false);
  CDlbl->SetCaption("NO CD LOADED");
  CDlbl->OnEnd = [this](QObject*) { CDlblEnd(); };
  Songlbl = new TRunLabel(Page0);
  Songlbl->setGeometry(22, 26, 140, 22);
  Songlbl->setFont(titleFont);
  Songlbl->SetDirection(rdTopToBottom);
  Songlbl->SetRunMode(rmLabel);
  Songlbl->SetSpeed(60);
  Songlbl->SetPixelsPerStep(2);
  Songlbl->SetShowAccelChar(false);
  Songlbl->SetCaption("NO SONG LOADED");

  CurrTime = DisplayLabel("00:00", 0, 46, 69, 29);
  CurrTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  CurrTime->setFont(FontFromPixels("Arial", 24, true));
  const QFont totalFont = FontFromPixels("Arial", 19, true);
  Separatore = DisplayLabel("/", 70, 50, 6, 22);
  Separatore->setFont(totalFont);
  Totlbl = DisplayLabel("00:00", 75, 50, 51, 22);
  Totlbl->setFont(totalFont);
  const QFont statusFont = FontFromPixels("Small Fonts", 8);
  Bitratelbl = DisplayLabel("0 KBs", 126, 52, 38, 9);
  Bitratelbl->setFont(FixedPitch(statusFont));
  Stereolbl = DisplayLabel("STEREO", 126, 60, 38, 9);
  replbl = DisplayLabel("REPEAT", 5, 77, 36, 9);
  shufflelbl = DisplayLabel("SHUFFLE", 43, 77, 38, 9);
  Programlbl = DisplayLabel("PROGRAM", 83, 77, 45, 9);
  Albumlbl = DisplayLabel("ALBUM", 130, 77, 32, 9);
  for (QLabel* label : {Stereolbl, replbl, shufflelbl, Programlbl, Albumlbl})
    label->setFont(statusFont);

  PosBar = new TGradProgress(Page0);
  PosBar->setGeometry(16, 95, 146, 10);
  PosBar->SetMaxValue(400);
  PosBar->SetShowPercent(false);
  PosBar->setToolTip(QStringLiteral("Position Bar"));
  VolBar = new TGradProgress(Page0);
  VolBar->setGeometry(16, 110, 146, 10);
  VolBar->SetMaxValue(100);
  VolBar->SetPosition(50);
  VolBar->SetShowPercent(false);
  VolBar->setToolTip(QStringLiteral("Volume Bar"));
  for (TGradProgress* bar : {PosBar, VolBar}) bar->setCursor(Qt::PointingHandCursor);
}

void TForm1::CreateEqualizerPage() {
  EQUimg = new TFEJpeg(page2);
  EQUimg->setGeometry(1, 1, 164, 124);

  AbilitaEQU = new QCheckBox(page2);
  AbilitaEQU->setGeometry(11, 3, 13, 15);
  AbilitaEQU->setFocusPolicy(Qt::NoFocus);
  EQUlbl = new QLabel(QStringLiteral("EQU Enabled"), page2);
  EQUlbl->setGeometry(29, 4, 70, 14);
  EQUlbl->setFont(FontFromPoints("Arial", 8));
  SetTextColor(EQUlbl, clWhite);

  const auto pageButton = [this](const char* caption, int left, int top, int width,
                                 const char* hint) {
    auto* button = new QPushButton(QString::fromLatin1(caption), page2);
    button->setGeometry(left, top, width, 15);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(QString::fromLatin1(hint));
    button->setFont(FontFromPixels("Arial", 10));
    button->setCursor(Qt::PointingHandCursor);
    return button;
  };
  Zerobtn = pageButton("&Zero", 128, 4, 27, "All bars to 0");
  LoadPresetbtn = pageButton("v", 128, 22, 12, "Select preset");
  Presetbtn = pageButton("-", 143, 22, 12, "Save/Remove preset");

  PresetEdit = new QLineEdit(QStringLiteral("Default"), page2);
  PresetEdit->setGeometry(11, 22, 113, 14);
  PresetEdit->setFrame(false);
  PresetEdit->setFocusPolicy(Qt::ClickFocus);
  PresetEdit->setFont(FontFromPixels("Arial", 11));
  PresetEdit->setTextMargins(1, 0, 0, 0);
  SetBackground(PresetEdit, clSilver);

  for (int band = 0; band < 8; ++band) {
    auto* slider = new TExtProgressBar(page2);
    slider->setGeometry(11 + 19 * band, 39, 10, 84);
    slider->SetRange(-40, 40);
    slider->SetOrientation(pbVertical);
    slider->SetSmooth(true);
    slider->SetPosition(0);
    slider->SetSelectionColor(ColorToQColor(clGray));
    slider->SetColor(ColorToQColor(clSilver));
    slider->setCursor(Qt::PointingHandCursor);
    slider->setToolTip(QStringLiteral("0%"));
    TrackBar[band] = slider;
  }
}

void TForm1::CreateSelectorPages() {
  const auto selectorPage = [this](const char* name, const char* title, TColor titleColor,
                                   const char* icon, QLabel*& header, QLabel*& iconLabel,
                                   QListWidget*& list, const char* listColors) {
    auto* page = new QWidget(Display);
    page->setObjectName(QString::fromLatin1(name));
    Display->addWidget(page);
    header = new QLabel(QString::fromLatin1(title), page);
    header->setGeometry(0, 0, 166, 15);
    header->setAlignment(Qt::AlignCenter);
    header->setFont(FontFromPixels("Arial", 11, true));
    SetBackground(header, clBlack);
    SetTextColor(header, titleColor);
    iconLabel = new QLabel(page);
    iconLabel->setGeometry(24, 1, 12, 12);
    iconLabel->setPixmap(QPixmap::fromImage(FormPicture(ProgramFolder, icon)));
    list = new QListWidget(page);
    list->setGeometry(0, 15, 166, 111);
    list->setFrameShape(QFrame::NoFrame);
    list->setFont(FontFromPixels("Small Fonts", 9));
    list->setUniformItemSizes(true);
    // Item height and colours in one style sheet: a style sheet overrides the palette.
    list->setStyleSheet(QStringLiteral("QListWidget { %1 } QListWidget::item { height: 11px; "
                                       "padding: 0px; }")
                            .arg(QLatin1String(listColors)));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return page;
  };
  pagesong = selectorPage("pagesong", "Song Selector", clWhite, "imgMiniSong.bmp", PanelSELsong,
                          imgMiniSong, SongList, "background-color: #c0c0c0; color: black;");
  pagedisc = selectorPage("pagedisc", "Disc Selector", clSilver, "imgMiniCD.bmp", PanelSELDisc,
                          imgMiniCD, CDList, "background-color: #808080; color: white;");
}

void TForm1::CreateMicroPanel() {
  MicroPanel = new QWidget(this);
  MicroPanel->setGeometry(0, 0, 217, 47);
  SetBackground(MicroPanel, clTeal);
  MicroImage = new TFEJpeg(MicroPanel);
  MicroImage->setGeometry(0, 0, 209, 38);
  MicroImage->LoadFromFile(ProgramFolder + "pictures/MicroImage.bmp");

  const QFont microFont = FontFromPixels("Small Fonts", 8);
  const auto microLabel = [this](int left, int top, int width, int height, TColor color) {
    auto* label = new QLabel(MicroPanel);
    label->setTextFormat(Qt::PlainText);  // titles are never markup
    label->setGeometry(left, top, width, height);
    SetTextColor(label, color);
    return label;
  };
  MicroCD = microLabel(14, 6, 115, 10, clSilver);
  MicroCD->setFont(microFont);
  MicroSong = microLabel(14, 23, 115, 10, clWhite);
  MicroSong->setFont(microFont);
  lblDisplay2 = microLabel(162, 21, 31, 14, clWhite);
  lblDisplay2->setText(QStringLiteral("00:00"));
  lblDisplay2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblDisplay2->setFont(FontFromPixels("Arial", 11, true));
  lblDisplay2->setToolTip(QStringLiteral("Song time"));
  for (QWidget* handle : {static_cast<QWidget*>(MicroImage), static_cast<QWidget*>(MicroCD),
                          static_cast<QWidget*>(MicroSong), static_cast<QWidget*>(lblDisplay2)})
    ConnectDragHandle(handle);

  btnrew2 = FormButton(MicroPanel, "btnrew2.bmp", 134, 7, 9, 10, "Previous Disc");
  btnfwd2 = FormButton(MicroPanel, "btnfwd2.bmp", 143, 7, 9, 10, "Next Disc");
  btnrew1 = FormButton(MicroPanel, "btnrew1.bmp", 134, 24, 9, 10, "Previous Song");
  btnfwd1 = FormButton(MicroPanel, "btnfwd1.bmp", 143, 24, 9, 10, "Next Song");
  btnPlay2 = FormButton(MicroPanel, "btnPlay2.bmp", 157, 5, 13, 13, "Play/Restart");
  btnStop2 = FormButton(MicroPanel, "btnStop2.bmp", 174, 5, 13, 13, "Pause/Stop");
  btnClose2 = FormButton(MicroPanel, "btnClose2.bmp", 192, 1, 16, 19, "Exit");
  btnClose2->OnClick = [this](QObject*) { closebtnClick(); };

  MicroPanel->hide();
  AggiornaMicroWindow();
}
