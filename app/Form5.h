// TForm5: the About box. The program's picture, name, version and credits, the libraries it
// is built on with links to their licences, the program's own licence, and "&OK".
#pragma once

#include <QDialog>
#include <array>
#include <string>

class QLabel;
class QPushButton;
class TLegacy;

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  // programFolder ends in "/"; the picture lies in its pictures/ folder.
  explicit TForm5(const std::string& programFolder, QWidget* parent = nullptr);

  QLabel* Image1 = nullptr;
  QLabel* lblName = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblCredit = nullptr;
  QLabel* lblBuiltOn = nullptr;
  // Qt, libmpg123/libout123, libjpeg-turbo, TagLib: each names its licence and links to it.
  std::array<TLegacy*, 4> Libraries{};
  QLabel* lblLicence = nullptr;
  TLegacy* Licence = nullptr;
  QPushButton* OKbtn = nullptr;

  // Centred on the screen each time it opens.
  int exec() override;
};
