#include "Form4.h"

#include <QCollator>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "FontMap.h"
#include "ListText.h"

TForm4::TForm4(QWidget* parent) : TKeyUpDialog(parent, Qt::Tool) {
  setWindowTitle(QStringLiteral("Skin Select - Sonavera"));
  setFixedSize(178, 230);
  setFont(FontFromPixels("Arial", 11));

  Skinbox = new QListWidget(this);
  Skinbox->setGeometry(0, 0, 178, 201);
  Cancelbtn = new QPushButton(QStringLiteral("&Cancel"), this);
  Cancelbtn->setGeometry(8, 204, 75, 23);
  Cancelbtn->setAutoDefault(false);
  OKbtn = new QPushButton(QStringLiteral("&OK"), this);
  OKbtn->setGeometry(95, 204, 75, 23);
  OKbtn->setDefault(true);

  connect(Skinbox, &QListWidget::itemClicked, this, &TForm4::SkinboxClick);
  connect(Skinbox, &QListWidget::itemDoubleClicked, this, &TForm4::OKbtnClick);
  connect(OKbtn, &QPushButton::clicked, this, &TForm4::OKbtnClick);
  connect(Cancelbtn, &QPushButton::clicked, this, &TForm4::CancelbtnClick);
}

void TForm4::AddSkin(const std::string& name) {
  // The name is kept as the file system gave it; the shown text is only for the eye.
  const QByteArray bytes = QByteArray::fromStdString(name);
  auto* item = new QListWidgetItem(QFile::decodeName(bytes));
  item->setData(Qt::UserRole, bytes);
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  int row = Skinbox->count();
  while (row > 0 && collator.compare(item->text(), Skinbox->item(row - 1)->text()) < 0) --row;
  Skinbox->insertItem(row, item);
}

int TForm4::exec() {
  Skinbox->setCurrentRow(-1);
  Skinbox->clearSelection();
  if (const QScreen* where = screen()) move(where->geometry().center() - rect().center());
  OKbtn->setFocus();
  return QDialog::exec();
}

void TForm4::SkinboxClick() {
  QListWidgetItem* item = Skinbox->currentItem();
  if (Skinbox->count() > 0 && item && item->isSelected() && OnPreview)
    OnPreview(ListText(Skinbox, Skinbox->row(item)));
}

void TForm4::OKbtnClick() { done(1); }

void TForm4::CancelbtnClick() { done(2); }

void TForm4::reject() { done(2); }

// Escape ends the dialog when it is released, as Cancel.
void TForm4::FormKeyUp(int key) {
  if (key == Qt::Key_Escape) CancelbtnClick();
}
