#include "Form5.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "FontMap.h"
#include "Form1.h"
#include "Legacy.h"

namespace {

struct TLibrary {
  const char* Caption;
  const char* Address;
};

// The licences of the libraries ask to be named wherever the program shows its credits.
constexpr std::array<TLibrary, 4> kLibraries{{
    {"Qt 6 (LGPL 3)", "https://www.gnu.org/licenses/lgpl-3.0.html"},
    {"libmpg123/libout123 (LGPL 2.1)", "https://www.gnu.org/licenses/old-licenses/lgpl-2.1.html"},
    {"libjpeg-turbo (IJG, BSD)", "https://libjpeg-turbo.org/About/License"},
    {"TagLib (LGPL 2.1)", "https://www.gnu.org/licenses/old-licenses/lgpl-2.1.html"},
}};

void OpenFailed(TLegacy* link, const std::string& reason) {
  TForm1::ShowMessage("Cannot open " + link->Target() + ": " + reason + ".");
}

}  // namespace

TForm5::TForm5(const std::string& programFolder, QWidget* parent) : QDialog(parent, Qt::Tool) {
  setWindowTitle(QStringLiteral("About - Sonavera"));
  setFixedSize(442, 123);
  setFont(FontFromPixels("Arial", 11));
  QPalette silver = palette();
  silver.setColor(QPalette::Window, QColor(192, 192, 192));
  silver.setColor(QPalette::WindowText, Qt::black);
  setPalette(silver);
  setAutoFillBackground(true);

  Image1 = new QLabel(this);
  Image1->setGeometry(10, 10, 30, 30);
  Image1->setPixmap(
      QPixmap(QFile::decodeName(QByteArray::fromStdString(programFolder + "pictures/About.bmp"))));

  const auto label = [this](const char* text, int top, int height, const QFont& font) {
    auto* l = new QLabel(QString::fromLatin1(text), this);
    l->setGeometry(52, top, 380, height);
    l->setFont(font);
    return l;
  };
  lblName = label("Sonavera", 6, 22, FontFromPixels("Arial", 19, true));
  lblVersion = label("v" SONAVERA_VERSION, 30, 15, FontFromPixels("Arial", 11));
  // MP3 goes through libmpg123 inside the program's own engine.
  lblCredit = label("Powered by libmpg123 mp3 engine", 46, 15, FontFromPixels("Arial", 11));
  lblBuiltOn = label("Built on:", 66, 15, FontFromPixels("Arial", 11));
  lblBuiltOn->setGeometry(10, 66, 42, 15);

  // Each link as wide as its caption; one that cannot be opened says why.
  const auto link = [this](const char* caption, const char* address, int left, int top) {
    auto* legacy = new TLegacy(this);
    legacy->setFont(FontFromPixels("Arial", 11));
    legacy->SetCaption(caption);
    legacy->SetAddress(address);
    legacy->SetAddressType(atWWW);
    legacy->SetActiveColor(QColor(0, 0, 128));
    legacy->adjustSize();
    legacy->move(left, top);
    legacy->OnOpenFailed = OpenFailed;
    return legacy;
  };
  // Two libraries to a line.
  for (std::size_t i = 0; i < kLibraries.size(); ++i)
    Libraries[i] = link(kLibraries[i].Caption, kLibraries[i].Address, i % 2 == 0 ? 52 : 200,
                        66 + 17 * int(i / 2));
  lblLicence = label("Licence:", 100, 15, FontFromPixels("Arial", 11));
  // Right-aligned to end 4 pixels before its link: "Licence:" is as wide as its room.
  const int licenceWidth = lblLicence->sizeHint().width();
  lblLicence->setGeometry(48 - licenceWidth, 100, licenceWidth, 15);
  Licence = link("GNU General Public License, version 3 or later",
                 "https://www.gnu.org/licenses/gpl-3.0.html", 52, 100);

  OKbtn = new QPushButton(QStringLiteral("&OK"), this);
  OKbtn->setGeometry(357, 92, 75, 23);
  OKbtn->setDefault(true);
  connect(OKbtn, &QPushButton::clicked, this, &QDialog::accept);
}

int TForm5::exec() {
  if (const QScreen* where = screen()) move(where->geometry().center() - rect().center());
  OKbtn->setFocus();
  return QDialog::exec();
}
