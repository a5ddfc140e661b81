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
#include "MainLayout.h"
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

// Puts widget at its place in the layout, under the layout's name and with its hint.
template <typename Widget>
Widget* Place(Widget* widget, const char* name) {
  const TControlPlace& place = TMainLayout::Of(name);
  widget->setObjectName(QLatin1String(name));
  widget->setGeometry(place.Left, place.Top, place.Width, place.Height);
  if (place.Hint != nullptr) widget->setToolTip(QString::fromLatin1(place.Hint));
  return widget;
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
  const TControlPlace& frame = TMainLayout::Of("Sfondo");
  setFixedSize(frame.Width, frame.Height);
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
      {&TForm1::Playbtn, "Playbtn"},
      {&TForm1::Stopbtn, "Stopbtn"},
      {&TForm1::rewbtn, "rewbtn"},
      {&TForm1::fwdbtn, "fwdbtn"},
      {&TForm1::ejbtn, "ejbtn"},
      {&TForm1::repeatbtn, "repeatbtn"},
      {&TForm1::shufflebtn, "shufflebtn"},
      {&TForm1::progbtn, "progbtn"},
      {&TForm1::menubtn, "menubtn"},
      {&TForm1::minimizebtn, "minimizebtn"},
      {&TForm1::closebtn, "closebtn"},
      {&TForm1::modeplaybtn, "modeplaybtn"},
      {&TForm1::modeimagebtn, "modeimagebtn"},
      {&TForm1::modeequbtn, "modeequbtn"},
      {&TForm1::modemodebtn, "modemodebtn"},
  }};
  return buttons;
}

TCoolButton* TForm1::SkinButton(QWidget* parent, const char* name) {
  auto* button = Place(new TCoolButton(parent), name);
  button->SetNumGlyphs(3);
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

// Micro-window buttons are not skinned: their single-cell pictures come with the program.
TCoolButton* TForm1::FormButton(QWidget* parent, const char* name) {
  TCoolButton* button = SkinButton(parent, name);
  button->SetNumGlyphs(1);
  button->LoadGlyph(ProgramFolder + "pictures/" + TMainLayout::Of(name).Picture);
  return button;
}

void TForm1::CreateFrame() {
  Sfondo = Place(new TFEJpeg(this), "Sfondo");
  ConnectDragHandle(Sfondo);

  for (const TSkinnedButton& b : SkinnedButtons()) this->*b.Member = SkinButton(this, b.Name);
  menubtn->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int x, int y) {
    menubtnMouseUp(x, y);
  };
  closebtn->OnClick = [this](QObject*) { closebtnClick(); };
  minimizebtn->OnClick = [this](QObject*) { minimizebtnClick(); };
  modeplaybtn->OnClick = [this](QObject*) { modeplaybtnClick(); };
  modeimagebtn->OnClick = [this](QObject*) { modeimagebtnClick(); };
  modeequbtn->OnClick = [this](QObject*) { modeequbtnClick(); };

  Display = Place(new QStackedWidget(this), "Display");
  Display->setFocusPolicy(Qt::StrongFocus);
  SetBackground(Display, clGray);
  connect(Display, &QStackedWidget::currentChanged, this, &TForm1::DisplayPageChanged);
}

QLabel* TForm1::DisplayLabel(const char* text, const char* name) {
  return Place(new QLabel(QString::fromLatin1(text), Page0), name);
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

  DISPimage = Place(new TFEJpeg(Page0), "DISPimage");
  CDImage = Place(new TFEJpeg(page1), "CDImage");
  CDImage->SetStretch(true);
  CDImage->SetProgressiveDisplay(true);
  CDImage->OnClick = [this](QObject*) { modeplaybtnClick(); };
  CDImage->setCursor(Qt::PointingHandCursor);

  const QFont titleFont = FontFromPixels("Small Fonts", 9);
  CDlbl = Place(new TRunLabel(Page0), "CDlbl");
  CDlbl->setFont(titleFont);
  CDlbl->SetRunMode(rmLabel);
  CDlbl->SetPixelsPerStep(2);
  CDlbl->SetShowAccelChar(false);
  CDlbl->SetCaption("NO CD LOADED");
  CDlbl->OnEnd = [this](QObject*) { CDlblEnd(); };
  Songlbl = Place(new TRunLabel(Page0), "Songlbl");
  Songlbl->setFont(titleFont);
  Songlbl->SetDirection(rdTopToBottom);
  Songlbl->SetRunMode(rmLabel);
  Songlbl->SetSpeed(60);
  Songlbl->SetPixelsPerStep(2);
  Songlbl->SetShowAccelChar(false);
  Songlbl->SetCaption("NO SONG LOADED");

  CurrTime = DisplayLabel("00:00", "CurrTime");
  CurrTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  CurrTime->setFont(FontFromPixels("Arial", 24, true));
  const QFont totalFont = FontFromPixels("Arial", 19, true);
  Separatore = DisplayLabel("/", "Separatore");
  Separatore->setFont(totalFont);
  Totlbl = DisplayLabel("00:00", "Totlbl");
  Totlbl->setFont(totalFont);
  const QFont statusFont = FontFromPixels("Small Fonts", 8);
  Bitratelbl = DisplayLabel("0 KBs", "Bitratelbl");
  Bitratelbl->setFont(FixedPitch(statusFont));
  Stereolbl = DisplayLabel("STEREO", "Stereolbl");
  replbl = DisplayLabel("REPEAT", "replbl");
  shufflelbl = DisplayLabel("SHUFFLE", "shufflelbl");
  Programlbl = DisplayLabel("PROGRAM", "Programlbl");
  Albumlbl = DisplayLabel("ALBUM", "Albumlbl");
  for (QLabel* label : {Stereolbl, replbl, shufflelbl, Programlbl, Albumlbl})
    label->setFont(statusFont);

  PosBar = Place(new TGradProgress(Page0), "PosBar");
  PosBar->SetMaxValue(400);
  PosBar->SetShowPercent(false);
  VolBar = Place(new TGradProgress(Page0), "VolBar");
  VolBar->SetMaxValue(100);
  VolBar->SetPosition(50);
  VolBar->SetShowPercent(false);
  for (TGradProgress* bar : {PosBar, VolBar}) bar->setCursor(Qt::PointingHandCursor);
}

void TForm1::CreateEqualizerPage() {
  EQUimg = Place(new TFEJpeg(page2), "EQUimg");

  AbilitaEQU = Place(new QCheckBox(page2), "AbilitaEQU");
  AbilitaEQU->setFocusPolicy(Qt::NoFocus);
  EQUlbl = Place(new QLabel(QStringLiteral("EQU Enabled"), page2), "EQUlbl");
  EQUlbl->setFont(FontFromPoints("Arial", 8));
  SetTextColor(EQUlbl, clWhite);

  const auto pageButton = [this](const char* caption, const char* name) {
    auto* button = Place(new QPushButton(QString::fromLatin1(caption), page2), name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFont(FontFromPixels("Arial", 10));
    button->setCursor(Qt::PointingHandCursor);
    return button;
  };
  Zerobtn = pageButton("&Zero", "Zerobtn");
  LoadPresetbtn = pageButton("v", "LoadPresetbtn");
  Presetbtn = pageButton("-", "Presetbtn");

  PresetEdit = Place(new QLineEdit(QStringLiteral("Default"), page2), "PresetEdit");
  PresetEdit->setFrame(false);
  PresetEdit->setFocusPolicy(Qt::ClickFocus);
  PresetEdit->setFont(FontFromPixels("Arial", 11));
  PresetEdit->setTextMargins(1, 0, 0, 0);
  SetBackground(PresetEdit, clSilver);

  for (int band = 0; band < 8; ++band) {
    const std::string name = "TrackBar" + std::to_string(band);
    auto* slider = Place(new TExtProgressBar(page2), name.c_str());
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
  // header, iconLabel and list are named by the layout's names of the page's three controls.
  const auto selectorPage = [this](const char* name, const char* title, TColor titleColor,
                                   const std::array<const char*, 3>& names, QLabel*& header,
                                   QLabel*& iconLabel, QListWidget*& list, const char* listColors) {
    auto* page = new QWidget(Display);
    page->setObjectName(QString::fromLatin1(name));
    Display->addWidget(page);
    header = Place(new QLabel(QString::fromLatin1(title), page), names[0]);
    header->setAlignment(Qt::AlignCenter);
    header->setFont(FontFromPixels("Arial", 11, true));
    SetBackground(header, clBlack);
    SetTextColor(header, titleColor);
    iconLabel = Place(new QLabel(page), names[1]);
    iconLabel->setPixmap(
        QPixmap::fromImage(FormPicture(ProgramFolder, TMainLayout::Of(names[1]).Picture)));
    list = Place(new QListWidget(page), names[2]);
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
  pagesong = selectorPage("pagesong", "Song Selector", clWhite,
                          {"PanelSELsong", "imgMiniSong", "SongList"}, PanelSELsong, imgMiniSong,
                          SongList, "background-color: #c0c0c0; color: black;");
  pagedisc =
      selectorPage("pagedisc", "Disc Selector", clSilver, {"PanelSELDisc", "imgMiniCD", "CDList"},
                   PanelSELDisc, imgMiniCD, CDList, "background-color: #808080; color: white;");
}

void TForm1::CreateMicroPanel() {
  MicroPanel = Place(new QWidget(this), "MicroPanel");
  SetBackground(MicroPanel, clTeal);
  MicroImage = Place(new TFEJpeg(MicroPanel), "MicroImage");
  MicroImage->LoadFromFile(ProgramFolder + "pictures/" + TMainLayout::Of("MicroImage").Picture);

  const QFont microFont = FontFromPixels("Small Fonts", 8);
  const auto microLabel = [this](const char* name, TColor color) {
    auto* label = Place(new QLabel(MicroPanel), name);
    label->setTextFormat(Qt::PlainText);  // titles are never markup
    SetTextColor(label, color);
    return label;
  };
  MicroCD = microLabel("MicroCD", clSilver);
  MicroCD->setFont(microFont);
  MicroSong = microLabel("MicroSong", clWhite);
  MicroSong->setFont(microFont);
  lblDisplay2 = microLabel("lblDisplay2", clWhite);
  lblDisplay2->setText(QStringLiteral("00:00"));
  lblDisplay2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblDisplay2->setFont(FontFromPixels("Arial", 11, true));
  for (QWidget* handle : {static_cast<QWidget*>(MicroImage), static_cast<QWidget*>(MicroCD),
                          static_cast<QWidget*>(MicroSong), static_cast<QWidget*>(lblDisplay2)})
    ConnectDragHandle(handle);

  btnrew2 = FormButton(MicroPanel, "btnrew2");
  btnfwd2 = FormButton(MicroPanel, "btnfwd2");
  btnrew1 = FormButton(MicroPanel, "btnrew1");
  btnfwd1 = FormButton(MicroPanel, "btnfwd1");
  btnPlay2 = FormButton(MicroPanel, "btnPlay2");
  btnStop2 = FormButton(MicroPanel, "btnStop2");
  btnClose2 = FormButton(MicroPanel, "btnClose2");
  btnClose2->OnClick = [this](QObject*) { closebtnClick(); };

  MicroPanel->hide();
  AggiornaMicroWindow();
}
