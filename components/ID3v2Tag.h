// Reads the ID3v2 tag at the start of an MP3 file (any version and text encoding) through
// TagLib, and what TagLib misses through a more tolerant reader: the title and the
// front-cover picture. The program falls back to these only where
// the ID3v1 trailer gives no title, or the disc's folder no picture.
#pragma once

#include <string>
#include <utility>

class TID3v2Tag {
 public:
  // Reads fileName; a missing, unreadable or untagged file (or anything but a plain file)
  // reads as an empty tag. Without withCover only the title is looked for, which spares
  // the second reading of a tag that has no picture.
  explicit TID3v2Tag(const std::string& fileName, bool withCover = true);

  // The first title (TIT2) in UTF-8, at most kMaxTitle characters; empty when there is none.
  const std::string& Title() const { return title_; }
  // The first artist and album in UTF-8, at most kMaxTitle characters; empty when none.
  const std::string& Artist() const { return artist_; }
  const std::string& Album() const { return album_; }
  // The bytes of the embedded front cover (APIC), else of the first embedded picture; empty
  // when there is none.
  const std::string& Cover() const { return cover_; }
  // The cover's bytes handed over, so a big picture is not held twice.
  std::string TakeCover() { return std::move(cover_); }

  static constexpr std::size_t kMaxTitle = 255;

 private:
  // False when TagLib saw the file has no ID3v2 tag at all.
  bool ReadWithTagLib(const std::string& fileName);

  bool with_cover_;
  std::string title_;
  std::string artist_;
  std::string album_;
  std::string cover_;
};
