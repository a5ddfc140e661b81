#include "DirectoryListBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>

#include "FileLister.h"
#include "FindFile.h"
#include "QtText.h"

namespace {

constexpr std::size_t kBatch = 200;

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// child inside parent, with exactly one "/" between.
std::string Join(const std::string& parent, const std::string& child) {
  return parent.ends_with('/') ? parent + child : parent + "/" + child;
}

std::vector<std::string> Subfolders(const std::string& folder) {
  std::vector<TFindFile::TFolderEntry> entries;
  TFindFile::ReadFolder(folder, entries);
  std::vector<std::string> names;
  for (const TFindFile::TFolderEntry& e : entries) {
    if (e.Folder && e.Name[0] != '.') names.push_back(e.Name);
  }
  TFileLister::SortNames(names);
  return names;
}

}  // namespace

TDirectoryListBox::TDirectoryListBox(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setIndentation(10);
  setUniformRowHeights(true);
}

void TDirectoryListBox::SetDrive(const std::string& root) {
  drive_ = WithoutTrailingSlash(root);
  SetDirectory(drive_);
}

void TDirectoryListBox::SetDirectory(const std::string& folder) {
  const std::string path = WithoutTrailingSlash(folder);
  const bool inside =
      drive_ == "/" ? path.starts_with('/') : path == drive_ || path.starts_with(drive_ + "/");
  if (drive_.empty() || !inside) drive_ = path;
  const bool changed = path != directory_;
  directory_ = path;
  Rebuild();
  if (changed && OnChange) OnChange();
}

std::string TDirectoryListBox::ItemPath(const QTreeWidgetItem* item) {
  return item ? item->data(0, Qt::UserRole).toByteArray().toStdString() : std::string();
}

QTreeWidgetItem* TDirectoryListBox::FolderItem(const std::string& name, const std::string& path,
                                               bool open) {
  auto* item = new QTreeWidgetItem(QStringList(ToQString(name)));
  item->setData(0, Qt::UserRole, QByteArray::fromStdString(path));
  // The style's folder icons load the icon theme: not at start-up, only once a list is shown.
  if (openIcon_.isNull()) {
    openIcon_ = style()->standardIcon(QStyle::SP_DirOpenIcon);
    closedIcon_ = style()->standardIcon(QStyle::SP_DirIcon);
  }
  item->setIcon(0, open ? openIcon_ : closedIcon_);
  return item;
}

void TDirectoryListBox::Rebuild() {
  ++generation_;
  clear();
  // The chain from the drive's root down to the current folder.
  current_ = FolderItem(drive_, drive_, true);
  addTopLevelItem(current_);
  std::size_t start = drive_.size();
  while (start < directory_.size()) {
    if (directory_[start] == '/') ++start;
    const std::size_t end = std::min(directory_.find('/', start), directory_.size());
    auto* item = FolderItem(directory_.substr(start, end - start), directory_.substr(0, end), true);
    current_->addChild(item);
    current_->setExpanded(true);
    current_ = item;
    start = end;
  }
  setCurrentItem(current_);
  pending_ = Subfolders(directory_);
  next_ = 0;
  FillBatch(generation_);
}

void TDirectoryListBox::FillBatch(unsigned generation) {
  if (generation != generation_) return;
  QList<QTreeWidgetItem*> batch;
  for (; next_ < pending_.size() && std::size_t(batch.size()) < kBatch; ++next_)
    batch.append(FolderItem(pending_[next_], Join(directory_, pending_[next_]), false));
  current_->addChildren(batch);
  current_->setExpanded(true);
  if (Filling()) QTimer::singleShot(0, this, [this, generation] { FillBatch(generation); });
}

void TDirectoryListBox::mouseReleaseEvent(QMouseEvent* event) {
  QTreeWidget::mouseReleaseEvent(event);
  if (const QTreeWidgetItem* item = itemAt(event->position().toPoint()))
    SetDirectory(ItemPath(item));
}

// Enter opens the highlighted folder; it is the list's own key, not the dialog's.
void TDirectoryListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void TDirectoryListBox::keyReleaseEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
    if (currentItem()) SetDirectory(ItemPath(currentItem()));
    event->accept();
    return;
  }
  QTreeWidget::keyReleaseEvent(event);
}
