#include "ListText.h"

#include <QListWidget>

#include "QtText.h"

void AddListText(QListWidget* list, const std::string& text) {
  auto* item = new QListWidgetItem(ToQString(text));
  item->setData(Qt::UserRole, QByteArray::fromStdString(text));
  list->addItem(item);
}

std::string ListText(const QListWidget* list, int index) {
  const QListWidgetItem* item = list->item(index);
  return item ? item->data(Qt::UserRole).toByteArray().toStdString() : std::string();
}
