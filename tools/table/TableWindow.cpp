#include "TableWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "AlbumScanner.h"
#include "MP3Tag.h"
#include "SongTitle.h"
#include "SortGridView.h"

namespace {
const char* const kHeaders[] = {"Disc", "Track", "Path", "Title"};
}

TTableWindow::TTableWindow(QWidget* parent) : QWidget(parent) {
  m_tab.SetFixedCols(0);
  for (int c = 0; c < 4; ++c) m_tab.SetCells(c, 0, kHeaders[c]);
  // Numbers sort as numbers, paths and titles as text.
  m_tab.OnBeginSort = [](TSortGrid* tab, int col) {
    tab->SortOptions.SortStyle = col < 2 ? ssNumeric : ssNormal;
  };
  Grid = new TSortGridView(&m_tab, this);
  Grid->MultiSelect = true;
  Grid->SetDefaultRowHeight(Grid->fontMetrics().height() + 4);

  SearchText = new QLineEdit(this);
  SearchText->setPlaceholderText(QStringLiteral("Search"));
  SearchCol = new QComboBox(this);
  SearchCol->addItem(QStringLiteral("All columns"));
  for (const char* header : kHeaders) SearchCol->addItem(QString::fromLatin1(header));
  CaseSensitive = new QCheckBox(QStringLiteral("Match case"), this);
  Filter = new QCheckBox(QStringLiteral("Filter"), this);
  Status = new QLabel(this);

  auto* bar = new QHBoxLayout;
  bar->addWidget(SearchText, 1);
  bar->addWidget(SearchCol);
  bar->addWidget(CaseSensitive);
  bar->addWidget(Filter);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(Grid, 1);
  layout->addWidget(Status);

  connect(SearchText, &QLineEdit::textChanged, this, &TTableWindow::SearchChanged);
  connect(SearchText, &QLineEdit::returnPressed, this, &TTableWindow::FindNext);
  connect(SearchCol, &QComboBox::currentIndexChanged, this, &TTableWindow::SearchChanged);
  connect(CaseSensitive, &QCheckBox::toggled, this, &TTableWindow::SearchChanged);
  connect(Filter, &QCheckBox::toggled, this, &TTableWindow::FilterToggled);
  resize(820, 560);
}

// The view lets go of the table before the table goes.
TTableWindow::~TTableWindow() { delete Grid; }

void TTableWindow::Scan(const std::string& root) {
  QElapsedTimer clock;
  clock.start();
  Filter->setChecked(false);
  TAlbumScanner scanner(m_tab);
  scanner.SourceRoot = root;
  m_tab.BeginUpdate();
  m_tab.Clear();
  std::vector<std::string> discs;
  scanner.CreaTAB(discs);
  const bool loaded = !m_tab.Cells(0, 1).empty();
  if (loaded) {
    const std::vector<std::string> titles = ReadTitles(root);
    for (int r = 1; r < m_tab.RowCount(); ++r) m_tab.SetCells(3, r, titles[std::size_t(r - 1)]);
  }
  m_tab.EndUpdate();
  m_scanMs = clock.elapsed();
  m_discs = int(discs.size());
  m_songs = loaded ? m_tab.RowCount() - 1 : 0;
  Grid->AutoSizeColumns();
  m_tab.GoToCell(0, 1);
  ShowStatus();
}

std::vector<std::string> TTableWindow::ReadTitles(const std::string& root) const {
  const int songs = m_tab.RowCount() - 1;
  std::vector<std::string> paths(static_cast<std::size_t>(songs)), titles(paths.size());
  for (int r = 1; r <= songs; ++r) paths[std::size_t(r - 1)] = root + m_tab.Cells(2, r);
  // Opening a file costs far more than what is read from it, and each core can wait on one:
  // every core reads, taking rows a block at a time.
  constexpr int kBlock = 256;
  std::atomic<int> next{0};
  const auto read = [&] {
    TMP3Tag tag;
    for (int from; (from = next.fetch_add(kBlock)) < songs;) {
      for (int i = from; i < std::min(from + kBlock, songs); ++i) {
        titles[std::size_t(i)] = SongTitle(tag, paths[std::size_t(i)], m_tab.Cells(1, i + 1));
      }
    }
  };
  std::vector<std::thread> readers(std::max(1u, std::thread::hardware_concurrency()) - 1);
  for (std::thread& reader : readers) reader = std::thread(read);
  read();
  for (std::thread& reader : readers) reader.join();
  return titles;
}

void TTableWindow::SearchChanged() {
  TSortGrid::TSearchOptions& search = m_tab.SearchOptions;
  search.SearchText = SearchText->text().toStdString();
  search.SearchCol = SearchCol->currentIndex() - 1;
  search.CaseSensitive = CaseSensitive->isChecked();
  search.LocaleCase = true;
  if (m_tab.Filtered()) {
    // Filter again with the new text, over every row.
    m_tab.SetFiltered(false);
    m_tab.SetFiltered(true);
    ShowStatus();
  } else if (!search.SearchText.empty()) {
    m_tab.Search(1);
  }
}

void TTableWindow::FindNext() {
  if (m_tab.SearchOptions.SearchText.empty()) return;
  if (m_tab.Search(m_tab.Row() + 1) < 0) m_tab.Search(1);
}

void TTableWindow::FilterToggled(bool on) {
  m_tab.SetFiltered(on);
  ShowStatus();
}

void TTableWindow::ShowStatus() {
  QString text = QStringLiteral("%1 discs, %2 songs, scanned in %3 ms")
                     .arg(m_discs)
                     .arg(m_songs)
                     .arg(m_scanMs);
  // The grid keeps one empty row when the filter matches nothing; it is shown as no row.
  const bool none = m_tab.Filtered() && m_tab.Cells(0, 1).empty();
  Grid->SetRowHeights(1, none ? 0 : Grid->DefaultRowHeight());
  if (none) {
    text += QStringLiteral(" (no match)");
  } else if (m_tab.Filtered()) {
    text += QStringLiteral(" (%1 shown)").arg(m_tab.RowCount() - 1);
  }
  Status->setText(text);
}
