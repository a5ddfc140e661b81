#include "SkinWindow.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

#include "FontMap.h"
#include "GradProgress.h"
#include "Placement.h"
#include "RunLabel.h"

TSkinWindow::TSkinWindow(const std::string& folder, QWidget* parent)
    : QWidget(parent), scheme_(TSkinScheme::Read(folder + "Colors.ini")) {
  setFixedSize(196, 170);
  PlacePicture(this, folder + "IMG-Background.bmp", QRect(0, 0, 196, 170));
  display_ = new QStackedWidget(this);
  display_->setGeometry(3, 19, 166, 126);
  display_->setAutoFillBackground(true);
  QPalette grey = display_->palette();
  grey.setColor(QPalette::Window, QColor(128, 128, 128));
  display_->setPalette(grey);
  display_->addWidget(PlayPage(folder));
  display_->addWidget(ImagePage(folder));
  display_->addWidget(EqualizerPage(folder));
  AddButtons(folder);
}

void TSkinWindow::ShowPage(TPage page) { display_->setCurrentIndex(page); }

void TSkinWindow::AddButtons(const std::string& folder) {
  PlaceButtons(this, folder, 3,
               {{"btn-play.bmp", {3, 148, 21, 19}},
                {"btn-stop.bmp", {25, 148, 21, 19}},
                {"btn-rew.bmp", {47, 148, 21, 19}},
                {"btn-fwd.bmp", {69, 148, 21, 19}},
                {"btn-eject.bmp", {91, 148, 21, 19}},
                {"btn-Repeat.bmp", {118, 151, 15, 13}},
                {"btn-Shuffle.bmp", {135, 151, 15, 13}},
                {"btn-Program.bmp", {152, 151, 15, 13}},
                {"btn-Menu.bmp", {3, 2, 15, 13}},
                {"btn-Minimize.bmp", {162, 2, 15, 13}},
                {"btn-Close.bmp", {179, 2, 15, 13}},
                {"Mode-Play.bmp", {172, 51, 21, 19}},
                {"Mode-Image.bmp", {172, 75, 21, 19}},
                {"Mode-Equ.bmp", {172, 99, 21, 19}},
                {"Mode-album.bmp", {171, 148, 21, 19}}});
}

QWidget* TSkinWindow::NewPage() {
  auto* page = new QWidget;
  auto* frame = new QFrame(page);
  frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  frame->setGeometry(0, 0, 166, 126);
  return page;
}

QWidget* TSkinWindow::PlayPage(const std::string& folder) {
  QWidget* page = NewPage();
  PlacePicture(page, folder + "IMG-Display.bmp", QRect(1, 1, 164, 125));
  const char* texts[] = {"NO CD LOADED", "NO SONG LOADED"};
  const TRunDirection directions[] = {rdRightToLeft, rdTopToBottom};
  for (int i = 0; i < 2; ++i) {
    auto* title = new TRunLabel(page);
    title->setGeometry(22, 3 + 23 * i, 140, 22);
    title->SetDirection(directions[i]);
    title->SetRunMode(rmLabel);
    title->SetLayout(tlCenter);
    title->setFont(FontFromPixels("Small Fonts", 9));
    title->SetFontColor(scheme_.high);
    title->SetCaption(texts[i]);
    titles_[i] = title;
  }
  const QFont small = FontFromPixels("Small Fonts", 8);
  PlaceLabel(page, "01:23", QRect(0, 46, 69, 29), FontFromPixels("Arial", 24, true), scheme_.high,
             Qt::AlignRight | Qt::AlignVCenter);
  PlaceLabel(page, "/", QRect(70, 50, 0, 0), FontFromPixels("Arial", 19, true), scheme_.medium);
  PlaceLabel(page, "04:56", QRect(75, 50, 51, 22), FontFromPixels("Arial", 19, true),
             scheme_.medium);
  PlaceLabel(page, "128 KBs", QRect(126, 52, 0, 0), small, scheme_.medium);
  PlaceLabel(page, "STEREO", QRect(126, 60, 0, 0), small, scheme_.medium);
  // Repeat on, the other modes off: both mode colours show.
  PlaceLabel(page, "REPEAT", QRect(5, 77, 0, 0), small, scheme_.medium);
  PlaceLabel(page, "SHUFFLE", QRect(43, 77, 0, 0), small, scheme_.low);
  PlaceLabel(page, "PROGRAM", QRect(83, 77, 0, 0), small, scheme_.low);
  PlaceLabel(page, "ALBUM", QRect(130, 77, 0, 0), small, scheme_.low);

  const struct {
    int top, max, position;
    TColor start, end, back;
  } bars[] = {{95, 400, 130, scheme_.posStart, scheme_.posEnd, scheme_.posBack},
              {110, 100, 50, scheme_.volStart, scheme_.volEnd, scheme_.volBack}};
  for (const auto& b : bars) {
    auto* bar = new TGradProgress(page);
    bar->setGeometry(16, b.top, 146, 10);
    bar->SetShowPercent(false);
    bar->SetMaxValue(b.max);
    bar->SetPosition(b.position);
    bar->SetStartColor(b.start);
    bar->SetEndColor(b.end);
    bar->SetBackColor(b.back);
  }
  return page;
}

QWidget* TSkinWindow::ImagePage(const std::string& folder) {
  QWidget* page = NewPage();
  PlacePicture(page, folder + "IMG-Default.bmp", QRect(3, 3, 160, 120), true);
  return page;
}

QWidget* TSkinWindow::EqualizerPage(const std::string& folder) {
  QWidget* page = NewPage();
  PlacePicture(page, folder + "IMG-Equ.bmp", QRect(1, 1, 164, 124));
  auto* enabled = new QCheckBox(page);
  enabled->setGeometry(11, 3, 13, 15);
  enabled->setChecked(true);
  PlaceLabel(page, "EQU Enabled", QRect(29, 4, 62, 14), FontFromPoints("Arial", 8), clWhite);
  const struct {
    const char* caption;
    QRect place;
  } buttons[] = {{"&Zero", {128, 4, 27, 15}}, {"v", {128, 22, 12, 15}}, {"-", {143, 22, 12, 15}}};
  for (const auto& b : buttons) (new QPushButton(b.caption, page))->setGeometry(b.place);
  auto* preset = new QLineEdit("Default", page);
  preset->setGeometry(11, 22, 113, 14);
  preset->setFrame(false);
  QPalette silver = preset->palette();
  silver.setColor(QPalette::Base, QColor(192, 192, 192));
  preset->setPalette(silver);

  PlaceBandSliders(page, 11, 39, 19, {12, 20, 8, 0, -6, 4, 16, 24});
  return page;
}

bool TSkinWindow::SettleTitles() { return SettleRunLabels({titles_[0], titles_[1]}); }
