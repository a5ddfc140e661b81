#include "XiphTag.h"

#include <sys/stat.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/tfilestream.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <memory>

#include "FindFile.h"
#include "Utf8Text.h"

namespace {

const TagLib::FLAC::Picture* Chosen(const TagLib::List<TagLib::FLAC::Picture*>& pictures) {
  for (const TagLib::FLAC::Picture* picture : pictures)
    if (picture->type() == TagLib::FLAC::Picture::FrontCover) return picture;
  return pictures.isEmpty() ? nullptr : pictures.front();
}

}  // namespace

bool TXiphTag::Handles(const std::string& fileName) {
  return TFindFile::MatchesMask(fileName, "*.flac;*.ogg;*.oga;*.opus");
}

TXiphTag::TXiphTag(const std::string& fileName) {
  // Opening a pipe or a device named like a song would block the GUI thread.
  struct stat st;
  if (stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  // Read-only: reading a title never needs a song opened for writing.
  TagLib::FileStream stream(fileName.c_str(), true);
  if (!stream.isOpen()) return;
  TagLib::Tag* tag = nullptr;
  const TagLib::FLAC::Picture* picture = nullptr;
  std::unique_ptr<TagLib::File> file;
  const auto fromComment = [&](TagLib::Ogg::XiphComment* comment) {
    tag = comment;
    if (comment != nullptr) picture = Chosen(comment->pictureList());
  };
  if (TFindFile::MatchesMask(fileName, "*.flac")) {
    auto* flac = new TagLib::FLAC::File(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    file.reset(flac);
    tag = flac->tag();
    picture = Chosen(flac->pictureList());
  } else if (TFindFile::MatchesMask(fileName, "*.opus")) {
    auto* opus = new TagLib::Ogg::Opus::File(&stream, false);
    file.reset(opus);
    fromComment(opus->tag());
  } else {
    auto* vorbis = new TagLib::Ogg::Vorbis::File(&stream, false);
    file.reset(vorbis);
    if (vorbis->isValid()) {
      fromComment(vorbis->tag());
    } else {
      // An .oga file may hold FLAC instead.
      auto* oggFlac = new TagLib::Ogg::FLAC::File(&stream, false);
      file.reset(oggFlac);
      fromComment(oggFlac->tag());
    }
  }
  if (!file->isValid() || tag == nullptr) return;
  title_ = Utf8Prefix(tag->title().to8Bit(true), kMaxTitle);
  artist_ = Utf8Prefix(tag->artist().to8Bit(true), kMaxTitle);
  album_ = Utf8Prefix(tag->album().to8Bit(true), kMaxTitle);
  if (picture != nullptr) cover_.assign(picture->data().data(), picture->data().size());
}
