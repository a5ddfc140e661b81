#include "MP3Tag.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>

#include "Utf8Text.h"

namespace {

constexpr std::size_t kTagSize = 128;
constexpr std::size_t kTextLength = 30;
constexpr std::size_t kYearLength = 4;
constexpr std::uint8_t kNoGenre = 12;

constexpr std::array<const char*, 115> kGenres = {"Blues",
                                                  "Classic Rock",
                                                  "Country",
                                                  "Dance",
                                                  "Disco",
                                                  "Funk",
                                                  "Grunge",
                                                  "Hip-Hop",
                                                  "Jazz",
                                                  "Metal",
                                                  "New Age",
                                                  "Oldies",
                                                  "Other",
                                                  "Pop",
                                                  "R&B",
                                                  "Rap",
                                                  "Reggae",
                                                  "Rock",
                                                  "Techno",
                                                  "Industrial",
                                                  "Alternative",
                                                  "Ska",
                                                  "Death Metal",
                                                  "Pranks",
                                                  "Soundtrack",
                                                  "Euro-Techno",
                                                  "Ambient",
                                                  "Trip-Hop",
                                                  "Vocal",
                                                  "Jazz+Funk",
                                                  "Fusion",
                                                  "Trance",
                                                  "Classical",
                                                  "Instrumental",
                                                  "Acid",
                                                  "House",
                                                  "Game",
                                                  "Sound Clip",
                                                  "Gospel",
                                                  "Noise",
                                                  "AlternRock",
                                                  "Bass",
                                                  "Soul",
                                                  "Punk",
                                                  "Space",
                                                  "Meditative",
                                                  "Instrumental Pop",
                                                  "Instrumental Rock",
                                                  "Ethnic",
                                                  "Gothic",
                                                  "Darkwave",
                                                  "Techno-Industrial",
                                                  "Electronic",
                                                  "Pop-Folk",
                                                  "Eurodance",
                                                  "Dream",
                                                  "Southern Rock",
                                                  "Comedy",
                                                  "Cult",
                                                  "Gangsta",
                                                  "Top 40",
                                                  "Christian Rap",
                                                  "Pop/Funk",
                                                  "Jungle",
                                                  "Native American",
                                                  "Cabaret",
                                                  "New Wave",
                                                  "Psychadelic",
                                                  "Rave",
                                                  "Showtunes",
                                                  "Trailer",
                                                  "Lo-Fi",
                                                  "Tribal",
                                                  "Acid Punk",
                                                  "Acid Jazz",
                                                  "Polka",
                                                  "Retro",
                                                  "Musical",
                                                  "Rock & Roll",
                                                  "Hard Rock",
                                                  "Folk",
                                                  "Folk/Rock",
                                                  "National Folk",
                                                  "Swing",
                                                  "Bebob",
                                                  "Latin",
                                                  "Revival",
                                                  "Celtic",
                                                  "Bluegrass",
                                                  "Avantgarde",
                                                  "Gothic Rock",
                                                  "Progressive Rock",
                                                  "Psychedelic Rock",
                                                  "Symphonic Rock",
                                                  "Slow Rock",
                                                  "Big Band",
                                                  "Chorus",
                                                  "Easy Listening",
                                                  "Acoustic",
                                                  "Humour",
                                                  "Speech",
                                                  "Chanson",
                                                  "Opera",
                                                  "Chamber Music",
                                                  "Sonata",
                                                  "Symphony",
                                                  "Booty Bass",
                                                  "Primus",
                                                  "Porn Groove",
                                                  "Satire",
                                                  "Slow Jam",
                                                  "Club",
                                                  "Tango",
                                                  "Samba",
                                                  "Folklore"};

void TrimTrailingSpaces(std::string& text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
}

// Closes the file however the read ends.
struct FileHandle {
  int fd;
  ~FileHandle() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

void TMP3Tag::SetFilename(const std::string& filename) {
  filename_ = filename;
  ReadTag();
  if (onFileNameChange) onFileNameChange(this);
}

void TMP3Tag::Reset() {
  title_.clear();
  artist_.clear();
  album_.clear();
  year_.clear();
  comment_.clear();
  genreId_ = kNoGenre;
}

void TMP3Tag::ReadTag() {
  valid_ = false;
  Reset();
  struct stat info {};
  if (filename_.empty() || stat(filename_.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
    error_ = "File does not exist!";
  } else {
    // Non-blocking, so that a pipe or device named like a song cannot hang the read.
    FileHandle file{open(filename_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
      throw std::system_error(errno, std::generic_category(),
                              "Cannot open file \"" + filename_ + "\"");
    struct stat opened {};
    if (fstat(file.fd, &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_size <= static_cast<off_t>(kTagSize)) {
      error_ = "File too small to be a MP3 file!";
    } else {
      std::array<char, kTagSize> tag{};
      // A file cut short meanwhile leaves zeros, which read as no tag.
      if (pread(file.fd, tag.data(), kTagSize, opened.st_size - kTagSize) < 0) tag.fill(0);
      for (std::size_t i = 3; i < 3 + kTextLength; ++i) {
        if (tag[i] != '\0') title_.push_back(tag[i]);
      }
      artist_.assign(tag.data() + 33, kTextLength);
      year_.assign(tag.data() + 93, kYearLength);
      genreId_ = static_cast<std::uint8_t>(tag[127]);
      TrimTrailingSpaces(artist_);
      TrimTrailingSpaces(title_);
      TrimTrailingSpaces(year_);
      if (tag[0] == 'T' && tag[1] == 'A' && tag[2] == 'G') {
        valid_ = true;
      } else {
        error_ = "MP3 does not contain a mp3 tag or wrong file format!";
        Reset();
        std::size_t slash = filename_.rfind('/');
        const std::string_view name(filename_);
        title_ = Utf8Prefix(name.substr(slash == std::string::npos ? 0 : slash + 1), kTextLength);
      }
    }
  }
  if (!valid_ && onError) onError(this, error_);
}

std::string TMP3Tag::Genre() const {
  return valid_ && genreId_ < kGenres.size() ? kGenres[genreId_] : "";
}

void TMP3Tag::Changed() {
  if (onChange) onChange(this);
}

void TMP3Tag::Assign(std::string& field, const std::string& value, std::size_t length) {
  field = Utf8Prefix(value, length);
  Changed();
}

void TMP3Tag::SetTitle(const std::string& value) { Assign(title_, value, kTextLength); }
void TMP3Tag::SetArtist(const std::string& value) { Assign(artist_, value, kTextLength); }
void TMP3Tag::SetAlbum(const std::string& value) { Assign(album_, value, kTextLength); }
void TMP3Tag::SetYear(const std::string& value) { Assign(year_, value, kYearLength); }
void TMP3Tag::SetComment(const std::string& value) { Assign(comment_, value, kTextLength); }

void TMP3Tag::SetGenreID(std::uint8_t value) {
  genreId_ = value;
  Changed();
}
