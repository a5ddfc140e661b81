// A picture file read whole and checked before anything is decoded. Only a regular file of
// bounded size is read (never with a blocking open); the size the picture declares is known
// before a pixel is allocated, and BMP data must be complete for that size, compressed data
// included, so a cut-off or hollow file is refused instead of being shown half blank.
#pragma once

#include <QImage>
#include <QSize>
#include <string>

class TPictureFile {
 public:
  // No picture of the player comes near this; a bigger file is refused unread.
  static constexpr std::size_t kMaxFileSize = 256u << 20;
  // The first bytes of a file, enough to tell a picture by.
  static constexpr std::size_t kHeadBytes = 4096;

  // Reads fileName (file-system bytes); throws std::runtime_error naming it when it is no
  // regular file, cannot be read, is too big, or declares no size.
  explicit TPictureFile(const std::string& fileName);
  // The same checks for bytes already read (an embedded cover); name only names them.
  TPictureFile(std::string data, const std::string& name);

  const std::string& FileName() const { return fileName_; }
  bool IsJpeg() const;
  bool IsBmp() const { return data_.compare(0, 2, "BM") == 0; }
  std::string TakeData() { return std::move(data_); }
  // Width and height as the file declares them.
  QSize DeclaredSize() const { return size_; }
  // Bytes of the decoded picture at 32 bits a pixel.
  long long DecodedBytes() const { return 4LL * size_.width() * size_.height(); }

  // Decodes any picture but JPEG (those go through the JPEG decoder of the picture box);
  // throws std::runtime_error when the data is damaged or incomplete.
  QImage Decode() const;

 private:
  static bool LooksLikePicture(const std::string& head);
  void Inspect();
  QSize JpegSize() const;
  QSize BmpSize() const;
  bool BmpComplete() const;
  bool RleComplete(std::size_t begin, std::size_t end, bool fourBits) const;

  std::string fileName_;
  std::string data_;
  QSize size_;
};
