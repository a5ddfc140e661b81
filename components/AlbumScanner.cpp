#include "AlbumScanner.h"

#include <algorithm>
#include <cstdint>

#include "VolumeLayer.h"

TAlbumScanner::TAlbumScanner(TSortGrid& tab) : m_tab(tab) {
  FindFile.Recurse = true;
  // Only the folder reports matter here.
  FindFile.CollectFiles = false;
  // Reading folders on a second thread overlaps listing and sorting them here.
  FindFile.ReadAhead = true;
  FindFile.OnNewPath = [this](TFindFile* sender, const std::string& path, bool& abort) {
    FindFileNewPath(sender, path, abort);
  };
  MP3List.Mask = "*.mp3";
}

void TAlbumScanner::CreaTAB(std::vector<std::string>& CDList) {
  FindDiscFolders(SourceRoot);
  const std::string chosen = ChosenSource ? ChosenSource() : std::string();
  // Room for every row at once, so the table grows no further than it needs.
  std::size_t songs = 0, bytes = 0;
  for (const TDiscFolder& folder : m_discs) {
    const std::size_t count =
        std::size_t(std::count(folder.Songs.begin(), folder.Songs.end(), '\0'));
    songs += count;
    bytes += folder.Songs.size() - count + count * (folder.Path.size() - SourceRoot.size());
  }
  m_tab.Reserve(int(songs), bytes);
  int disc = 0;
  std::string path;
  for (TDiscFolder& folder : m_discs) {
    ++disc;
    CDList.push_back(std::to_string(disc) + ". " + EstraiDisco(folder.Path, chosen));
    // Every disc path begins with the root text, so cutting its length leaves the path
    // relative to it.
    const std::size_t relative = folder.Path.size() - SourceRoot.size();
    path.assign(folder.Path, SourceRoot.size());
    int track = 0;
    for (std::size_t from = 0; from < folder.Songs.size();) {
      const std::size_t end = folder.Songs.find('\0', from);
      path.resize(relative);
      path.append(folder.Songs, from, end - from);
      AggiungiRiga(disc, ++track, path);
      from = end + 1;
    }
    // The table holds the songs now; their memory goes to the rows still to come.
    std::string().swap(folder.Songs);
  }
  if (m_tab.RowCount() > 2) m_tab.DeleteRow(1);
}

void TAlbumScanner::AggiungiRiga(int disc, int track, const std::string& path) {
  const int row = m_tab.RowCount();
  m_tab.InsertRow(row);
  m_tab.SetCells(0, row, std::to_string(disc));
  m_tab.SetCells(1, row, std::to_string(track));
  m_tab.SetCells(2, row, path);
  m_tab.SetCells(3, row, std::string());
}

void TAlbumScanner::FindDiscFolders(const std::string& root) {
  m_found.clear();
  m_discs.clear();
  FindFile.Directory = root;
  FindFile.Execute();
  // The sort keys have done their work; each goes as its disc moves over.
  m_discs.reserve(m_found.size());
  while (!m_found.empty()) m_discs.push_back(std::move(m_found.extract(m_found.begin()).mapped()));
}

void TAlbumScanner::FindFileNewPath(TFindFile* Sender, const std::string& NewPath, bool&) {
  // The walker has just read the folder; list it from that. The listing is kept, so a
  // folder that changes before the table is filled cannot give a disc without songs.
  MP3List.SetEntries(NewPath, Sender->Entries());
  if (!MP3List.Items().empty()) {
    std::string songs;
    for (const std::string& name : MP3List.Items()) {
      songs += name;
      songs += '\0';
    }
    m_found[TFileLister::PathSortKey(NewPath)] = {NewPath, std::move(songs)};
  }
  if (OnFolder) OnFolder();
}

std::vector<std::string> TAlbumScanner::TMPlist() const {
  std::vector<std::string> paths;
  for (const TDiscFolder& folder : m_discs) paths.push_back(folder.Path);
  return paths;
}

std::string TAlbumScanner::EstraiDisco(const std::string& path, const std::string& chosenSource) {
  const std::size_t slash = path.rfind('/');
  std::string s = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  if (s.empty()) {
    // The chosen source is a folder written without its trailing "/".
    s = chosenSource;
    if (s.empty() || s.back() != '/') s += '/';
  }
  std::size_t k = s.size();
  while (k > 1 && s[k - 2] != '/') --k;
  const std::string name = s.substr(k - 1, s.size() - k);
  return name.empty() ? s : name;
}

std::string TAlbumScanner::CalcolaSN(const std::string& root) {
  const std::uint32_t serial = platform::Volumes().VolumeSerial(root).value_or(0);
  return std::to_string(static_cast<std::int32_t>(serial));
}
