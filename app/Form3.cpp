#include "Form3.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>

#include "FontMap.h"
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
  return bar;
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setWindowTitle(QStringLiteral("Preferences - Sonavera"));
  setFixedSize(297, 251);
  setFont(FontFromPoints("Arial", 8));
  Pages = new QTabWidget(this);
  Pages->setGeometry(0, 0, 297, 217);
  PlayerPage = new QWidget;
  SystemPage = new QWidget;
  Pages->addTab(PlayerPage, QStringLiteral("Player"));
  Pages->addTab(SystemPage, QStringLiteral("System"));

  Autost = CheckBox(PlayerPage, "AutoStart", 8, 16, true);
  APlay = CheckBox(PlayerPage, "AutoPlay Sonavera-CD on drive:", 8, 46, false);
  APlay->setFixedWidth(158);
  AutoPlayCD = new TphComboBox(PlayerPage);
  AutoPlayCD->setGeometry(168, 44, 54, 20);
  AutoPlayCD->setStyleSheet(QStringLiteral("font-weight: bold; background: lightgray;"));
  AutoScroll = CheckBox(PlayerPage, "AutoScroll CD title", 8, 76, false);
  LastPos = CheckBox(PlayerPage, "Remember last position", 8, 106, false);
  AttivaHints = CheckBox(PlayerPage, "Show Help Hints", 8, 136, true);

  Label(SystemPage, "Engine priority level:", 10, 31);
  Label(SystemPage, "0 (min)", 142, 16);
  Label(SystemPage, "4(max)", 214, 16);
  BarPrior = Bar(SystemPage, 144, 32, 105, 0, 4, 0);
  lblPrior = ValueLabel(SystemPage, 252, 33, BarPrior->value());
  // The value labels follow their bars however the bars are moved (settings included).
  connect(BarPrior, &QScrollBar::valueChanged, lblPrior, qOverload<int>(&QLabel::setNum));
  Label(SystemPage, "Auto-close CD/Song timer:", 10, 71);
  Label(SystemPage, "2 sec", 142, 58);
  Label(SystemPage, "100 sec", 214, 58);
  Barautoclose = Bar(SystemPage, 143, 73, 106, 2, 100, 5);
  lblautoclose = ValueLabel(SystemPage, 252, 74, Barautoclose->value());
  connect(Barautoclose, &QScrollBar::valueChanged, this, &TForm3::BarautocloseChange);
}

void TForm3::BarautocloseChange() { lblautoclose->setNum(Barautoclose->value()); }
