// Turns a source root into the album table: every folder under the root that directly
// holds MP3 files is a disc, discs are numbered in folder-name order and songs in file-name
// order. Window-free; the main window forwards its CreaTAB, AggiungiRiga, EstraiDisco,
// CalcolaSN and FindFileNewPath here and shows the disc list it gets back.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "FileLister.h"
#include "FindFile.h"
#include "SortGrid.h"

class TAlbumScanner {
 public:
  // tab: the album table (4 columns: disc, track, relative path, title; header row 0).
  explicit TAlbumScanner(TSortGrid& tab);
  TAlbumScanner(const TAlbumScanner&) = delete;
  TAlbumScanner& operator=(const TAlbumScanner&) = delete;

  // The folder text the table's paths are relative to, exactly as chosen.
  std::string SourceRoot;
  // The chosen source of the source dialog; names a disc whose path has no folder part.
  std::function<std::string()> ChosenSource;
  // Called after each folder of the walk, so a window can go on repainting through a long one.
  std::function<void()> OnFolder;

  // The songs a disc holds: MP3, FLAC, Ogg Vorbis and Opus files.
  static constexpr const char* SongMask = "*.mp3;*.flac;*.ogg;*.oga;*.opus";

  // Walks SourceRoot and appends its songs to the table and one "n. name" entry per disc
  // to CDList; then drops the empty row that clearing the table left in front.
  void CreaTAB(std::vector<std::string>& CDList);
  // Appends the song row (disc, track, path, empty title).
  void AggiungiRiga(int disc, int track, const std::string& path);
  // Clears the disc-folder list and walks root, filing every folder that holds songs.
  void FindDiscFolders(const std::string& root);
  // The walk's per-folder handler: files NewPath as a disc when it holds songs. Sender
  // is the walker that reports NewPath.
  void FindFileNewPath(TFindFile* Sender, const std::string& NewPath, bool& Abort);

  // The disc folders (full paths ending in "/"), in disc order: entry i is disc i + 1.
  std::vector<std::string> TMPlist() const;

  // The last folder name of path; a path without a folder part names the disc after
  // chosenSource. "/" stays "/".
  static std::string EstraiDisco(const std::string& path, const std::string& chosenSource = "");
  // Signed decimal serial number of the medium in the volume mounted at root; "0" when
  // there is no readable medium.
  static std::string CalcolaSN(const std::string& root);

  TFindFile FindFile;
  TFileLister MP3List;

 private:
  struct TDiscFolder {
    std::string Path;
    // The names MP3List listed during the walk, each closed by a NUL (names cannot hold
    // one): one block per disc, not one per song. Emptied once the table holds them.
    std::string Songs;
    std::size_t Count = 0;  // names in Songs
  };

  TSortGrid& m_tab;
  std::vector<TDiscFolder> m_discs;  // in walk order, then in disc order
};
