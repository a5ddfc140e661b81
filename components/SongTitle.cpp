#include "SongTitle.h"

#include <exception>

#include "ID3v2Tag.h"
#include "MP3Tag.h"

std::string SongTitle(TMP3Tag& tag, const std::string& fullPath, const std::string& track) {
  std::string title;
  // A file that cannot be opened is named by its file name, like one without a tag.
  try {
    tag.SetFilename(fullPath);
    title = tag.Title();
    // Most files today carry only an ID3v2 tag; its title beats the file name.
    if (!tag.Valid() || title.empty()) {
      const TID3v2Tag v2(fullPath);
      if (!v2.Title().empty()) title = v2.Title();
    }
  } catch (const std::exception&) {
  }
  if (title.empty()) {
    const std::string name = fullPath.substr(fullPath.rfind('/') + 1);
    title = name.substr(0, name.size() >= 4 ? name.size() - 4 : 0);
  }
  return track + ". " + title;
}
