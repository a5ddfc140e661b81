#include "SongTitle.h"

#include <exception>

#include "ID3v2Tag.h"
#include "MP3Tag.h"
#include "XiphTag.h"

namespace {

// The file name without its extension stands in for a missing title.
std::string TitleOrName(const std::string& title, const std::string& fullPath) {
  if (!title.empty()) return title;
  const std::string name = fullPath.substr(fullPath.rfind('/') + 1);
  const std::size_t dot = name.rfind('.');
  const std::size_t cut = dot != std::string::npos && name.size() - dot == 5 ? 5 : 4;
  return name.substr(0, name.size() >= cut ? name.size() - cut : 0);
}

}  // namespace

std::string SongTitle(TMP3Tag& tag, const std::string& fullPath, const std::string& track) {
  std::string title;
  // A file that cannot be opened is named by its file name, like one without a tag.
  try {
    if (TXiphTag::Handles(fullPath))
      return track + ". " + TitleOrName(TXiphTag(fullPath).Title(), fullPath);
    tag.SetFilename(fullPath);
    title = tag.Title();
    // Most files today carry only an ID3v2 tag; its title beats the file name.
    if (!tag.Valid() || title.empty()) {
      const TID3v2Tag v2(fullPath, false);
      if (!v2.Title().empty()) title = v2.Title();
    }
  } catch (const std::exception&) {
  }
  return track + ". " + TitleOrName(title, fullPath);
}
