#include "WPopupMenu.h"

#include <QFile>

TWPopupMenu::TWPopupMenu(QWidget* parent) : QMenu(parent) {}

QAction* TWPopupMenu::AddMenuItem(const std::string& caption) {
  const int index = Count();
  QAction* action = addAction(QFile::decodeName(QByteArray::fromStdString(caption)));
  const bool brk = break_at_ > 0 && (index + 1) % break_at_ == 0;
  breaks_.push_back(brk ? break_type_ : mbNone);
  connect(action, &QAction::triggered, this, [this, index, caption] {
    if (OnClick) OnClick(this, index, caption);
  });
  return action;
}

void TWPopupMenu::Clear() {
  clear();
  breaks_.clear();
}

TMenuBreak TWPopupMenu::ItemBreak(int index) const {
  return index >= 0 && index < Count() ? breaks_[index] : mbNone;
}
