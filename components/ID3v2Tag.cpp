#include "ID3v2Tag.h"

#include <sys/stat.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tfilestream.h>

#include "ID3v2Frames.h"
#include "Utf8Text.h"

TID3v2Tag::TID3v2Tag(const std::string& fileName, bool withCover) : with_cover_(withCover) {
  // Opening a pipe or a device named like a song would block the GUI thread.
  struct stat st;
  if (stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  if (!ReadWithTagLib(fileName) || (!title_.empty() && (!cover_.empty() || !withCover))) return;
  // TagLib lists no frames at all for some tags that other readers take (an empty or
  // oddly named frame before the title), and reads UTF-16 without a byte-order mark as
  // empty: what it missed comes from a more tolerant reading.
  const TID3v2Frames frames(fileName);
  if (title_.empty()) title_ = Utf8Prefix(frames.Title(), kMaxTitle);
  if (cover_.empty() && withCover) cover_ = frames.Cover();
}

bool TID3v2Tag::ReadWithTagLib(const std::string& fileName) {
  // Read-only: reading a title never needs a song opened for writing.
  TagLib::FileStream stream(fileName.c_str(), true);
  if (!stream.isOpen()) return true;
  TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
  if (!file.isOpen()) return true;
  if (!file.hasID3v2Tag()) return false;
  TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
  const TagLib::ID3v2::FrameList& titles = tag->frameList("TIT2");
  if (!titles.isEmpty()) title_ = Utf8Prefix(titles.front()->toString().to8Bit(true), kMaxTitle);
  artist_ = Utf8Prefix(tag->artist().to8Bit(true), kMaxTitle);
  album_ = Utf8Prefix(tag->album().to8Bit(true), kMaxTitle);
  if (!with_cover_) return true;
  const TagLib::ID3v2::AttachedPictureFrame* chosen = nullptr;
  for (const TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
    const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
    if (!picture) continue;
    if (!chosen) chosen = picture;
    if (picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover) {
      chosen = picture;
      break;
    }
  }
  if (chosen) cover_.assign(chosen->picture().data(), chosen->picture().size());
  return true;
}
