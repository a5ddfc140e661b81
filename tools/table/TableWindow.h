// The window of sonavera-table: the album table the player would build from a folder,
// in a sort grid with a search field, a filter switch and a status line.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "SortGrid.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class TSortGridView;

class TTableWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TTableWindow(QWidget* parent = nullptr);
  ~TTableWindow() override;

  // Scans root with the player's scanner and reads every song's title as the player does.
  void Scan(const std::string& root);

  TSortGrid& Table() { return m_tab; }
  TSortGridView* Grid = nullptr;
  QLineEdit* SearchText = nullptr;
  QComboBox* SearchCol = nullptr;  // "All columns", then one entry per column
  QCheckBox* CaseSensitive = nullptr;
  QCheckBox* Filter = nullptr;
  QLabel* Status = nullptr;

 private:
  // The title of every song row, in row order, read as the player reads them.
  std::vector<std::string> ReadTitles(const std::string& root) const;
  void SearchChanged();
  void FindNext();
  void FilterToggled(bool on);
  void ShowStatus();

  TSortGrid m_tab{4, 2};
  int m_discs = 0, m_songs = 0;
  qint64 m_scanMs = 0;
};
