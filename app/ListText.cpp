#include "ListText.h"

#include <QListWidget>

#include "QtText.h"

void AddListText(QListWidget* list, const std::string& text) { AddListTexts(list, {text}); }

void AddListTexts(QListWidget* list, const std::vector<std::string>& texts) {
  const int first = list->count();
  QStringList shown;
  shown.reserve(qsizetype(texts.size()));
  for (const std::string& text : texts) shown.append(ToQString(text));
  list->addItems(shown);
  for (std::size_t i = 0; i < texts.size(); ++i)
    list->item(first + int(i))->setData(Qt::UserRole, QByteArray::fromStdString(texts[i]));
}

std::string ListText(const QListWidget* list, int index) {
  const QListWidgetItem* item = list->item(index);
  return item ? item->data(Qt::UserRole).toByteArray().toStdString() : std::string();
}
