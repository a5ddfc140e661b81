#include "AlbumScanner.h"

#include <array>
#include <charconv>

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
  MP3List.Mask = SongMask;
}

void TAlbumScanner::CreaTAB(std::vector<std::string>& CDList) {
  FindDiscFolders(SourceRoot);
  const std::string chosen = ChosenSource ? ChosenSource() : std::string();
  // Room for every row at once, and for the titles of the first discs shown: a table that
  // outgrows its text buffer copies all of it, a pause of milliseconds before the first song.
  constexpr std::size_t kTitleRoom = 64 * 1024;
  std::size_t songs = 0, bytes = kTitleRoom;
  for (const TDiscFolder& folder : m_discs) {
    songs += folder.Count;
    bytes += folder.Songs.size() - folder.Count +
             folder.Count * (folder.Path.size() - SourceRoot.size());
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
  using TDigits = std::array<char, 16>;
  const auto spelled = [](int n, TDigits& digits) {
    return std::string_view(
        digits.data(),
        std::size_t(std::to_chars(digits.begin(), digits.end(), n).ptr - digits.data()));
  };
  TDigits discDigits, trackDigits;
  m_tab.AppendRow({spelled(disc, discDigits), spelled(track, trackDigits), path});
}

void TAlbumScanner::FindDiscFolders(const std::string& root) {
  m_discs.clear();
  FindFile.Directory = root;
  FindFile.Execute();
  std::vector<std::string_view> paths;
  paths.reserve(m_discs.size());
  for (const TDiscFolder& disc : m_discs) paths.push_back(disc.Path);
  std::vector<TDiscFolder> sorted;
  sorted.reserve(m_discs.size());
  for (std::size_t i : TFileLister::PathOrder(paths)) sorted.push_back(std::move(m_discs[i]));
  m_discs.swap(sorted);
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
    m_discs.push_back({NewPath, std::move(songs), MP3List.Items().size()});
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
  return platform::SerialText(platform::Volumes().VolumeSerial(root));
}
