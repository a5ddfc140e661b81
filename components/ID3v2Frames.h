// A tolerant reader of the ID3v2 tag (2.2, 2.3, 2.4) at the start of an MP3 file, for the
// tags TagLib gives up on: frames of size 0 and frames of unknown or malformed names are
// stepped over, unsynchronisation (of the tag or of a frame) and extended headers are
// honoured, UTF-16 text without a byte-order mark is read as little-endian, and a 2.4 frame
// size written as a plain number instead of a syncsafe one is recognised. Only the title
// and the pictures are looked at; compressed and encrypted frames are skipped.
#pragma once

#include <cstddef>
#include <string>

class TID3v2Frames {
 public:
  // No tag is read beyond this many bytes (a picture larger than this is refused anyway).
  static constexpr std::size_t kMaxTagBytes = 256u << 20;

  // Reads the tag of fileName, a regular file; anything unreadable reads as no tag.
  explicit TID3v2Frames(const std::string& fileName);

  // The first title in UTF-8 (whole, not yet cut to any length); empty when there is none.
  const std::string& Title() const { return title_; }
  // The front cover's bytes, else the first picture's; empty when there is none.
  const std::string& Cover() const { return cover_; }

 private:
  void Walk(std::string tag);
  void Frame(const std::string& id, std::string body);
  void Picture(const std::string& body, bool oldStyle);

  std::string title_;
  std::string cover_;
  bool frontCover_ = false;
};
