#include "FileLister.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <numeric>
#include <utility>

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

// Whether the collation is byte order, so that the folded name is its own key.
bool ByteOrderCollation() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  if (!name) return true;
  // C.UTF-8 collates by code point, which is UTF-8 byte order.
  for (const char* c : {"C", "POSIX", "C.UTF-8", "C.utf8"}) {
    if (std::strcmp(name, c) == 0) return true;
  }
  return false;
}

// Appends the key of name to key (see SortKey); folded is scratch space.
void AppendSortKey(std::string& key, std::string_view name, bool byteOrder, std::string& folded) {
  folded.assign(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  if (byteOrder) {
    key += folded;
  } else {
    // strxfrm works on C strings: a name cannot hold a NUL byte anyway.
    const std::size_t at = key.size();
    key.resize(at + folded.size() * 4 + 1);
    std::size_t n = std::strxfrm(key.data() + at, folded.c_str(), key.size() - at);
    if (n >= key.size() - at) {
      key.resize(at + n + 1);
      n = std::strxfrm(key.data() + at, folded.c_str(), n + 1);
    }
    key.resize(at + n);
  }
  // The NUL sorts before any collation byte, so a key that is a prefix of another still
  // comes first, and the raw name decides between names that collate equal.
  key += '\0';
  key += name;
}

}  // namespace

std::string TFileLister::SortKey(const std::string& name) {
  std::string key, folded;
  AppendSortKey(key, name, ByteOrderCollation(), folded);
  return key;
}

std::string TFileLister::PathSortKey(const std::string& path) {
  // Name by name: a folder's key is a prefix of its subfolders' keys, and the NUL closing each
  // name sorts before any key byte, so a folder and everything below it stay together even
  // where the locale gives "/" no weight.
  const bool byteOrder = ByteOrderCollation();
  std::string key, folded;
  for (std::size_t from = 0; from < path.size();) {
    std::size_t to = path.find('/', from);
    if (to == std::string::npos) to = path.size();
    if (to > from) {
      AppendSortKey(key, std::string_view(path).substr(from, to - from), byteOrder, folded);
      key += '\0';
    }
    from = to + 1;
  }
  return key;
}

void TFileLister::SortNames(std::vector<std::string>& names) {
  if (names.size() < 2) return;
  const bool byteOrder = ByteOrderCollation();
  if (byteOrder) {
    // The keys' order without building them: folded bytes first (a name that is a prefix of
    // another comes first, as its closing NUL would), then the raw bytes.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      const std::size_t n = std::min(a.size(), b.size());
      for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i] >= 'A' && a[i] <= 'Z' ? a[i] + 32 : a[i]);
        const auto y = static_cast<unsigned char>(b[i] >= 'A' && b[i] <= 'Z' ? b[i] + 32 : b[i]);
        if (x != y) return x < y;
      }
      return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return;
  }
  // All keys in one buffer: one allocation for the folder, not one per name.
  std::string keys, folded;
  std::size_t bytes = 0;
  for (const std::string& name : names) bytes += name.size();
  keys.reserve(bytes * 6 + names.size() * 2);
  std::vector<std::size_t> ends(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    AppendSortKey(keys, names[i], byteOrder, folded);
    ends[i] = keys.size();
  }
  const auto keyOf = [&](std::size_t i) {
    const std::size_t from = i == 0 ? 0 : ends[i - 1];
    return std::string_view(keys).substr(from, ends[i] - from);
  };
  std::vector<std::size_t> order(names.size());
  std::iota(order.begin(), order.end(), std::size_t(0));
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return keyOf(a) < keyOf(b); });
  std::vector<std::string> sorted;
  sorted.reserve(names.size());
  for (std::size_t i : order) sorted.push_back(std::move(names[i]));
  names.swap(sorted);
}
