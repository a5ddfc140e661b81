// TTrackTags: what the media controls show of a song beyond its table title: the artist and
// album from its tags, and the cover embedded in the first song of a disc's folder (the one
// the window shows when the folder has no picture of its own) as a file a URL can name.
#pragma once

#include <string>
#include <utility>

class TTrackTags {
 public:
  // The artist and album of song: the ID3v1 trailer, else the ID3v2 frames (the Vorbis
  // comment of a FLAC, Ogg or Opus file); empty where the tags have none. The last song
  // read is kept, as the media controls ask often.
  const std::string& Artist(const std::string& song);
  const std::string& Album(const std::string& song);

  // The first song of folder (ending in "/") and the bytes of the cover embedded in it;
  // both empty when the folder has no song, the bytes empty when the song has no cover.
  static std::pair<std::string, std::string> FolderCover(const std::string& folder);
  // A file holding cover, written once under CoverFolder() and named by its contents;
  // empty when it cannot be written.
  static std::string CoverFile(const std::string& cover);
  // $XDG_RUNTIME_DIR/sonavera/covers/, else $XDG_CACHE_HOME (default ~/.cache) +
  // sonavera/covers/.
  static std::string CoverFolder();

 private:
  void Read(const std::string& song);

  std::string song_;
  std::string artist_;
  std::string album_;
};
