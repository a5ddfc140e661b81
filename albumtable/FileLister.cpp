#include "FileLister.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <utility>

#include "CaseInsensitive.h"

bool TFileLister::SetDirectory(const std::string& folder) {
  std::vector<TFindFile::TFolderEntry> entries;
  const bool ok = TFindFile::ReadFolder(folder, entries);
  if (!ok) entries.clear();
  SetEntries(folder, entries);
  return ok;
}

void TFileLister::SetEntries(const std::string& folder,
                             std::span<const TFindFile::TFolderEntry> entries) {
  m_directory = folder;
  std::size_t count = 0;
  for (const TFindFile::TFolderEntry& e : entries) {
    // Only plain files: opening a pipe named like a song would block the player.
    if (e.Regular && e.Name[0] != '.' && TFindFile::MatchesMask(e.Name, Mask)) {
      // The previous folder's names keep their memory for this one's.
      if (count == m_items.size()) m_items.emplace_back();
      m_items[count++].assign(e.Name);
    }
  }
  m_items.resize(count);
  SortNames(m_items);
}

namespace {

// Whether the collation is byte order, so that folded names compare by their bytes.
bool ByteOrderCollation() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  if (!name) return true;
  // C.UTF-8 collates by code point, which is UTF-8 byte order.
  for (const char* c : {"C", "POSIX", "C.UTF-8", "C.utf8"}) {
    if (std::strcmp(name, c) == 0) return true;
  }
  return false;
}

// Folded bytes first (a name that is a prefix of another comes first), then the raw bytes.
int CompareBytes(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(platform::AsciiLower(a[i]));
    const auto y = static_cast<unsigned char>(platform::AsciiLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

// The collation is read once; the folded copies strcoll needs reuse their memory.
class TNameOrder {
 public:
  bool ByteOrder() const { return m_byteOrder; }

  int Compare(std::string_view a, std::string_view b) {
    if (m_byteOrder || a == b) return CompareBytes(a, b);
    // strcoll stops at the first weight that differs: far cheaper than a whole collation key
    // (strxfrm) per name. Names cannot hold a NUL, so the C strings are whole.
    Fold(a, m_a);
    Fold(b, m_b);
    const int collated = std::strcoll(m_a.c_str(), m_b.c_str());
    return collated != 0 ? collated : a.compare(b);
  }

 private:
  static void Fold(std::string_view name, std::string& folded) {
    folded.assign(name);
    for (char& c : folded) c = platform::AsciiLower(c);
  }

  bool m_byteOrder = ByteOrderCollation();
  std::string m_a, m_b;
};

// Paths a and b name by name, empty names skipped, each pair of names by compare: a folder
// comes right before its subfolders. Negative, zero or positive.
template <class Compare>
int ComparePaths(std::string_view a, std::string_view b, Compare compare) {
  const auto next = [](std::string_view& path) {
    while (!path.empty() && path.front() == '/') path.remove_prefix(1);
    const std::size_t end = std::min(path.find('/'), path.size());
    const std::string_view name = path.substr(0, end);
    path.remove_prefix(end);
    return name;
  };
  for (;;) {
    const std::string_view x = next(a), y = next(b);
    if (x.empty() || y.empty()) return int(!x.empty()) - int(!y.empty());
    if (x != y) return compare(x, y);
  }
}

// Sorts items by cheap, which is the order where the collation is byte order. In other
// locales it mostly is the order too: one pass of full over neighbours confirms that, far
// cheaper than sorting by full, which happens only when a pair is out of order.
template <class T, class Cheap, class Full>
void SortConfirmed(std::vector<T>& items, bool byteOrder, Cheap cheap, Full full) {
  std::sort(items.begin(), items.end(), cheap);
  if (byteOrder) return;
  for (std::size_t i = 1; i < items.size(); ++i) {
    if (full(items[i], items[i - 1])) {
      std::sort(items.begin(), items.end(), full);
      return;
    }
  }
}

}  // namespace

bool TFileLister::PathBefore(std::string_view a, std::string_view b) {
  TNameOrder order;
  return ComparePaths(a, b, [&order](auto x, auto y) { return order.Compare(x, y); }) < 0;
}

std::vector<std::size_t> TFileLister::PathOrder(const std::vector<std::string_view>& paths) {
  std::vector<std::size_t> order(paths.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  TNameOrder names;
  SortConfirmed(
      order, names.ByteOrder(),
      [&](std::size_t i, std::size_t j) {
        return ComparePaths(paths[i], paths[j], CompareBytes) < 0;
      },
      [&](std::size_t i, std::size_t j) {
        return ComparePaths(paths[i], paths[j],
                            [&names](auto x, auto y) { return names.Compare(x, y); }) < 0;
      });
  return order;
}

void TFileLister::SortNames(std::vector<std::string>& names) {
  TNameOrder order;
  SortConfirmed(
      names, order.ByteOrder(),
      [](const std::string& a, const std::string& b) { return CompareBytes(a, b) < 0; },
      [&order](const std::string& a, const std::string& b) { return order.Compare(a, b) < 0; });
}
