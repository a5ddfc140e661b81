#include "FileLister.h"

#include <algorithm>
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
                             const std::vector<TFindFile::TFolderEntry>& entries) {
  m_directory = folder;
  m_items.clear();
  for (const TFindFile::TFolderEntry& e : entries) {
    // Only plain files: opening a pipe named like a song would block the player.
    if (e.Regular && e.Name[0] != '.' && TFindFile::MatchesMask(e.Name, Mask)) {
      m_items.push_back(e.Name);
    }
  }
  SortNames(m_items);
}

std::string TFileLister::SortKey(const std::string& name) {
  const std::string folded = platform::AsciiLower(name);
  // strxfrm works on C strings: a name cannot hold a NUL byte anyway.
  std::string key(folded.size() * 2 + 1, '\0');
  std::size_t n = std::strxfrm(key.data(), folded.c_str(), key.size());
  if (n >= key.size()) {
    key.assign(n + 1, '\0');
    n = std::strxfrm(key.data(), folded.c_str(), key.size());
  }
  key.resize(n);
  // The NUL sorts before any collation byte, so a key that is a prefix of another still
  // comes first, and the raw name decides between names that collate equal.
  key += '\0';
  key += name;
  return key;
}

std::string TFileLister::PathSortKey(const std::string& path) {
  // Name by name: a folder's key is a prefix of its subfolders' keys, and the NUL closing each
  // name sorts before any key byte, so a folder and everything below it stay together even
  // where the locale gives "/" no weight.
  std::string key;
  for (std::size_t from = 0; from < path.size();) {
    std::size_t to = path.find('/', from);
    if (to == std::string::npos) to = path.size();
    if (to > from) {
      key += SortKey(path.substr(from, to - from));
      key += '\0';
    }
    from = to + 1;
  }
  return key;
}

void TFileLister::SortNames(std::vector<std::string>& names) {
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(SortKey(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}
