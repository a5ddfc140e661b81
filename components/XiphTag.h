// The title and cover picture of a FLAC, Ogg Vorbis or Opus file, read through TagLib: the
// Vorbis comment's TITLE, and a FLAC PICTURE block or an Ogg METADATA_BLOCK_PICTURE.
#pragma once

#include <string>
#include <utility>

class TXiphTag {
 public:
  // Reads fileName; a missing or unreadable file, or one of another format, reads as empty.
  explicit TXiphTag(const std::string& fileName);

  // Whether the name ends in an extension of these formats (any case).
  static bool Handles(const std::string& fileName);

  // The title in UTF-8, at most kMaxTitle characters; empty when there is none.
  const std::string& Title() const { return title_; }
  // The artist and album in UTF-8, at most kMaxTitle characters each; empty when none.
  const std::string& Artist() const { return artist_; }
  const std::string& Album() const { return album_; }
  // The front cover's bytes, else those of the first picture; empty when there is none.
  const std::string& Cover() const { return cover_; }
  std::string TakeCover() { return std::move(cover_); }

  static constexpr std::size_t kMaxTitle = 255;

 private:
  std::string title_;
  std::string artist_;
  std::string album_;
  std::string cover_;
};
