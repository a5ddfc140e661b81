#include "ControlGallery.h"

#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <stdexcept>

#include "CoolButton.h"
#include "FileLabel.h"
#include "FontMap.h"
#include "GradProgress.h"
#include "Legacy.h"
#include "Placement.h"
#include "RunLabel.h"
#include "WPopupMenu.h"
#include "phComboBox.h"

namespace {

// A plain backdrop for a row of samples.
QWidget* Host(int width, int height, const QColor& colour) {
  auto* host = new QWidget;
  host->setFixedSize(width, height);
  host->setAutoFillBackground(true);
  QPalette palette = host->palette();
  palette.setColor(QPalette::Window, colour);
  host->setPalette(palette);
  return host;
}

QImage Grab(QWidget* host) {
  const QImage image = host->grab().toImage();
  delete host;
  return image;
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &event);
}

}  // namespace

std::vector<std::pair<std::string, QImage>> TControlGallery::Render() const {
  return {{"coolbutton", CoolButtons()},     {"gradprogress", GradientBars()},
          {"runlabel", RunLabels()},         {"fejpeg", Pictures()},
          {"extprogressbar", BandSliders()}, {"wpopupmenu", Menu()},
          {"legacy", LinkLabels()},          {"filelabel", PathLabels()},
          {"phcombobox", DriveCombos()}};
}

// The DEFAULT strips in three rows: as shown normally, held down under the pointer,
// disabled.
QImage TControlGallery::CoolButtons() const {
  const std::string folder = runtime_ + "SKIN/DEFAULT/";
  const char* files[] = {"btn-play.bmp",   "btn-stop.bmp",     "btn-rew.bmp",     "btn-fwd.bmp",
                         "btn-eject.bmp",  "Mode-Play.bmp",    "Mode-Image.bmp",  "Mode-Equ.bmp",
                         "Mode-album.bmp", "btn-Repeat.bmp",   "btn-Shuffle.bmp", "btn-Program.bmp",
                         "btn-Menu.bmp",   "btn-Minimize.bmp", "btn-Close.bmp"};
  QWidget* host = Host(15 * 24 + 4, 3 * 24 + 4, QColor(60, 68, 82));
  for (int row = 0; row < 3; ++row)
    for (int i = 0; i < 15; ++i) {
      auto* button = new TCoolButton(host);
      button->setGeometry(4 + 24 * i, 4 + 24 * row, 21, 19);
      button->SetNumGlyphs(3);
      if (!button->LoadGlyph(folder + files[i]))
        throw std::runtime_error(folder + files[i] + ": not a picture");
      const QPoint centre(10, 9);
      if (row == 1) {
        SendMouse(button, QEvent::MouseButtonPress, centre, Qt::LeftButton);
        SendMouse(button, QEvent::MouseMove, centre, Qt::LeftButton);
      }
      if (row == 2) button->setEnabled(false);
    }
  return Grab(host);
}

// Position and volume bars with the player's default colours at a few fillings, and a
// raised bar with its percentage.
QImage TControlGallery::GradientBars() const {
  QWidget* host = Host(154, 4 + 14 * 5, QColor(192, 192, 192));
  const int fillings[] = {0, 100, 200, 400};
  for (int i = 0; i < 5; ++i) {
    auto* bar = new TGradProgress(host);
    bar->setGeometry(4, 4 + 14 * i, 146, 10);
    bar->SetMaxValue(400);
    bar->SetStartColor(i % 2 ? RGBColor(0, 64, 128) : RGBColor(0, 0, 160));
    bar->SetEndColor(clSilver);
    bar->SetBackColor(RGBColor(0, 78, 195));
    bar->SetShowPercent(i == 4);
    if (i == 4) {
      bar->setGeometry(4, 4 + 14 * i, 146, 12);
      bar->SetBevelStyle(bsRaised);
      bar->SetPosition(300);
    } else {
      bar->SetPosition(fillings[i]);
    }
  }
  return Grab(host);
}

// Title labels at rest: left, centred with a raised look, and one that ran top to bottom.
QImage TControlGallery::RunLabels() const {
  QWidget* host = Host(148, 4 + 24 * 3, QColor(10, 18, 30));
  const TAlignment alignments[] = {taLeftJustify, taCenter, taLeftJustify};
  TRunLabel* labels[3];
  for (int i = 0; i < 3; ++i) {
    TRunLabel* label = labels[i] = new TRunLabel(host);
    label->setGeometry(4, 4 + 24 * i, 140, 22);
    label->SetAlignment(alignments[i]);
    label->SetRunMode(rmLabel);
    label->setFont(FontFromPixels("Small Fonts", 9));
    label->SetFontColor(RGBColor(184, 226, 234));
    label->SetCaption(i == 2 ? "Song Title" : "DISC TITLE");
  }
  TEffects raised = labels[1]->Effects();
  raised.LabelStyle = lsRaised;
  raised.HighlightDepth = raised.ShadowDepth = 1;
  labels[1]->SetEffects(raised);
  labels[2]->SetDirection(rdTopToBottom);
  host->show();
  if (!SettleRunLabels({labels[0], labels[1], labels[2]}))
    throw std::runtime_error("the title labels did not come to rest");
  return Grab(host);
}

// The default album picture at natural size (clipped), stretched, and as a JPEG file
// decoded by the picture control itself.
QImage TControlGallery::Pictures() const {
  const std::string bmp = runtime_ + "SKIN/DEFAULT/IMG-Default.bmp";
  QTemporaryDir temp;
  const QString jpeg = temp.path() + "/album.jpg";
  if (!QImage(QFile::decodeName(bmp.c_str())).save(jpeg, "JPG", 85))
    throw std::runtime_error("cannot write a sample JPEG");
  QWidget* host = Host(4 + 124 + 4 + 84 + 4 + 164, 128, QColor(128, 128, 128));
  PlacePicture(host, bmp, QRect(4, 4, 124, 90));
  PlacePicture(host, bmp, QRect(132, 4, 80, 60), true);
  PlacePicture(host, QFile::encodeName(jpeg).toStdString(), QRect(216, 4, 160, 120));
  return Grab(host);
}

// Equalizer band sliders from -40 to +40.
QImage TControlGallery::BandSliders() const {
  QWidget* host = Host(4 + 19 * 9, 92, QColor(40, 48, 60));
  PlaceBandSliders(host, 4, 4, 19, {-40, -30, -20, -10, 0, 10, 20, 30, 40});
  return Grab(host);
}

// The main menu with its shortcuts.
QImage TControlGallery::Menu() const {
  TWPopupMenu menu;
  const std::pair<const char*, const char*> items[] = {{"&Open Source...", "Ctrl+O"},
                                                       {"&Select Skin...", "Ctrl+S"},
                                                       {"&Preferences", "Ctrl+P"},
                                                       {"MicroWindow", "Ctrl+M"},
                                                       {"", ""},
                                                       {"&Help", ""},
                                                       {"About", ""},
                                                       {"", ""},
                                                       {"&Exit", "Ctrl+X"}};
  for (const auto& [caption, keys] : items) {
    if (!*caption) {
      menu.addSeparator();
      continue;
    }
    QAction* item = menu.AddMenuItem(caption);
    if (*keys) item->setShortcut(QKeySequence(QString::fromLatin1(keys)));
  }
  menu.ensurePolished();
  menu.resize(menu.sizeHint());
  return menu.grab().toImage();
}

// Link labels of the About box: at rest and with the mouse over them.
QImage TControlGallery::LinkLabels() const {
  QWidget* host = Host(220, 44, QColor(192, 192, 192));
  for (int i = 0; i < 2; ++i) {
    auto* link = new TLegacy(host);
    link->SetCaption("www.example.org/sonavera");
    link->SetAddress("http://www.example.org/sonavera");
    link->SetActiveColor(QColor(0, 0, 128));
    link->setFont(FontFromPoints("Arial", 8));
    link->move(4, 4 + 20 * i);
    link->adjustSize();
    if (i == 1) {
      const QPointF inside(2, 2);
      QEnterEvent enter(inside, inside, link->mapToGlobal(inside));
      QCoreApplication::sendEvent(link, &enter);
    }
  }
  return Grab(host);
}

// The Select Source folder label with one path at shrinking widths.
QImage TControlGallery::PathLabels() const {
  const int widths[] = {240, 150, 90, 40};
  QWidget* host = Host(248, 4 + 18 * 4, QColor(192, 192, 192));
  for (int i = 0; i < 4; ++i) {
    auto* label = new TFileLabel(host);
    label->setGeometry(4, 4 + 18 * i, widths[i], 14);
    label->setFont(FontFromPoints("Arial", 8));
    label->SetFileName("/home/listener/Music/Some Artist/Second Album");
  }
  return Grab(host);
}

// The two drive lists: hard disks with picture 0, CD-ROM drives with picture 1.
QImage TControlGallery::DriveCombos() const {
  const std::string pictures = runtime_ + "pictures/";
  std::vector<QPixmap> images;
  for (const char* file : {"Drive-Disk.bmp", "Drive-CD.bmp"}) {
    QImage image(QFile::decodeName((pictures + file).c_str()));
    if (image.isNull()) throw std::runtime_error(pictures + file + ": not a picture");
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(pixmap.createMaskFromColor(image.pixelColor(0, image.height() - 1)));
    images.push_back(pixmap);
  }
  QWidget* host = Host(4 + 2 * 134, 32, QColor(192, 192, 192));
  const std::pair<const char*, int> drives[] = {{"/", 0}, {"/media/cdrom", 1}};
  for (int i = 0; i < 2; ++i) {
    auto* combo = new TphComboBox(host);
    combo->setGeometry(4 + 134 * i, 4, 130, 22);
    combo->SetImages(images);
    combo->SetImageIndex(drives[i].second);
    combo->AddItem(drives[i].first);
    combo->SetItemIndex(0);
  }
  return Grab(host);
}
