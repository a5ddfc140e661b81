// A folder list of one drive: the folders from the drive's root down to the current folder,
// each inside the one before, and below the current folder its subfolders (hidden ones
// left out) in name order. A mouse release on a folder, or Enter, opens it; OnChange
// follows every change of the current folder. A folder of many subfolders is filled a
// batch at a time between other events, so the dialog stays responsive.
#pragma once

#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

class TDirectoryListBox : public QTreeWidget {
 public:
  explicit TDirectoryListBox(QWidget* parent = nullptr);

  // The drive's root folder; setting it opens that folder.
  const std::string& Drive() const { return drive_; }
  void SetDrive(const std::string& root);
  // The current folder: no trailing "/" except for "/" itself. A folder outside the drive
  // makes its own path the list's top.
  const std::string& Directory() const { return directory_; }
  void SetDirectory(const std::string& folder);

  // The folder an item stands for.
  static std::string ItemPath(const QTreeWidgetItem* item);
  // The item of the current folder (the last of the chain from the root).
  QTreeWidgetItem* CurrentFolderItem() const { return current_; }
  // Subfolders still waiting to be listed.
  bool Filling() const { return next_ < pending_.size(); }

  std::function<void()> OnChange;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void Rebuild();
  void FillBatch(unsigned generation);
  QTreeWidgetItem* FolderItem(const std::string& name, const std::string& path, bool open);

  QIcon openIcon_, closedIcon_;
  std::string drive_;
  std::string directory_;
  QTreeWidgetItem* current_ = nullptr;
  std::vector<std::string> pending_;  // subfolder names of the current folder, sorted
  std::size_t next_ = 0;
  unsigned generation_ = 0;  // a new folder makes the batches of the old one stale
};
