#include "TrackTags.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>
#include <QSaveFile>
#include <exception>
#include <filesystem>

#include "AlbumScanner.h"
#include "FileLister.h"
#include "Folders.h"
#include "ID3v2Tag.h"
#include "XiphTag.h"

namespace {

// An ID3v1 field is padded with NULs or blanks.
std::string Field(const std::string& text) {
  std::string field = text.substr(0, text.find('\0'));
  while (!field.empty() && field.back() == ' ') field.pop_back();
  return field;
}

// The last 128 bytes of a plain file (the ID3v1 trailer); empty for anything else. The
// tag reader of the table leaves the album out.
std::string Trailer(const std::string& song) {
  constexpr off_t kSize = 128;
  const int fd = ::open(song.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  std::string bytes(kSize, '\0');
  struct stat st {};
  const bool read = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kSize &&
                    pread(fd, bytes.data(), kSize, st.st_size - kSize) == kSize;
  ::close(fd);
  return read ? bytes : std::string();
}

// Clients guess a picture's kind from its name.
const char* Extension(const std::string& bytes) {
  if (bytes.starts_with("\xFF\xD8")) return ".jpg";
  if (bytes.starts_with("\x89PNG")) return ".png";
  if (bytes.starts_with("GIF8")) return ".gif";
  if (bytes.starts_with("BM")) return ".bmp";
  return ".img";
}

}  // namespace

const std::string& TTrackTags::Artist(const std::string& song) {
  Read(song);
  return artist_;
}

const std::string& TTrackTags::Album(const std::string& song) {
  Read(song);
  return album_;
}

void TTrackTags::Read(const std::string& song) {
  if (song == song_) return;
  song_ = song;
  artist_.clear();
  album_.clear();
  try {
    if (TXiphTag::Handles(song)) {
      const TXiphTag tag(song);
      artist_ = tag.Artist();
      album_ = tag.Album();
      return;
    }
    if (const std::string v1 = Trailer(song); v1.starts_with("TAG")) {
      artist_ = Field(v1.substr(33, 30));
      album_ = Field(v1.substr(63, 30));
    }
    if (!artist_.empty() && !album_.empty()) return;
    const TID3v2Tag v2(song);
    if (artist_.empty()) artist_ = v2.Artist();
    if (album_.empty()) album_ = v2.Album();
  } catch (const std::exception&) {
    // TagLib's failures on a broken file: the song has no tags to show.
  }
}

std::pair<std::string, std::string> TTrackTags::FolderCover(const std::string& folder) {
  TFileLister songs;
  songs.Mask = TAlbumScanner::SongMask;
  songs.SetDirectory(folder);
  if (songs.Items().empty()) return {};
  std::string song = folder + songs.Items().front();
  std::string cover =
      TXiphTag::Handles(song) ? TXiphTag(song).TakeCover() : TID3v2Tag(song).TakeCover();
  return {std::move(song), std::move(cover)};
}

std::string TTrackTags::CoverFolder() {
  const std::string runtime = qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString();
  std::error_code error;
  if (!runtime.empty() && runtime.starts_with('/') && std::filesystem::is_directory(runtime, error))
    return runtime + "/sonavera/covers/";
  std::string cache = qEnvironmentVariable("XDG_CACHE_HOME").toStdString();
  if (cache.empty() || !cache.starts_with('/')) cache = platform::HomeFolder() + ".cache";
  return cache + "/sonavera/covers/";
}

// The same cover is the same file: a disc met again is not written again.
std::string TTrackTags::CoverFile(const std::string& cover) {
  if (cover.empty()) return {};
  const QByteArray bytes = QByteArray::fromStdString(cover);
  const std::string folder = CoverFolder();
  const std::string path =
      folder + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().toStdString() +
      Extension(cover);
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) return path;
  std::filesystem::create_directories(folder, error);
  QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return {};
  return path;
}
