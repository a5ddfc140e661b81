#include "PictureFile.h"

#include <QBuffer>
#include <QImageReader>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "RegularFile.h"

namespace {

uint32_t Le(const std::string& d, std::size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(d[at + i]);
  return v;
}

uint32_t Be16(const std::string& d, std::size_t at) {
  return static_cast<unsigned char>(d[at]) << 8 | static_cast<unsigned char>(d[at + 1]);
}

constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;

}  // namespace

TPictureFile::TPictureFile(const std::string& fileName) : fileName_(fileName) {
  // A file is read whole only once its size and first bytes show a picture: a big file
  // named like one is refused at a glance.
  std::optional<std::string> head = platform::ReadRegularFile(fileName, kMaxFileSize, kHeadBytes);
  if (!head) throw std::runtime_error("Cannot read picture file " + fileName);
  if (!LooksLikePicture(*head)) throw std::runtime_error("Not a valid picture: " + fileName);
  std::optional<std::string> data = head->size() < kHeadBytes
                                        ? std::move(head)
                                        : platform::ReadRegularFile(fileName, kMaxFileSize);
  if (!data) throw std::runtime_error("Cannot read picture file " + fileName);
  data_ = std::move(*data);
  Inspect();
}

bool TPictureFile::LooksLikePicture(const std::string& head) {
  if (head.compare(0, 3, "\xff\xd8\xff") == 0 || head.compare(0, 2, "BM") == 0) return true;
  QByteArray bytes = QByteArray::fromRawData(head.data(), qsizetype(head.size()));
  QBuffer buffer(&bytes);
  return !QImageReader::imageFormat(&buffer).isEmpty();
}

TPictureFile::TPictureFile(std::string data, const std::string& name)
    : fileName_(name), data_(std::move(data)) {
  if (data_.size() > kMaxFileSize) throw std::runtime_error("Picture too large: " + name);
  Inspect();
}

void TPictureFile::Inspect() {
  if (IsJpeg()) {
    size_ = JpegSize();
  } else if (IsBmp()) {
    size_ = BmpSize();
  } else {
    QByteArray bytes = QByteArray::fromRawData(data_.data(), qsizetype(data_.size()));
    QBuffer buffer(&bytes);
    size_ = QImageReader(&buffer).size();
  }
  if (!size_.isValid() || size_.isEmpty())
    throw std::runtime_error("Not a valid picture: " + fileName_);
}

bool TPictureFile::IsJpeg() const {
  return data_.size() >= 2 && static_cast<unsigned char>(data_[0]) == 0xFF &&
         static_cast<unsigned char>(data_[1]) == 0xD8;
}

// The frame header's size: markers are walked from the start to the first SOFn.
QSize TPictureFile::JpegSize() const {
  std::size_t at = 2;
  while (at + 4 <= data_.size()) {
    if (static_cast<unsigned char>(data_[at]) != 0xFF) return {};
    const unsigned marker = static_cast<unsigned char>(data_[at + 1]);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    const uint32_t length = Be16(data_, at + 2);
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (at + 9 > data_.size()) return {};
      return QSize(int(Be16(data_, at + 7)), int(Be16(data_, at + 5)));
    }
    if (length < 2) return {};
    at += 2 + length;
  }
  return {};
}

QSize TPictureFile::BmpSize() const {
  if (data_.size() < 26) return {};
  const uint32_t header = Le(data_, 14, 4);
  if (header == 12) return QSize(int(Le(data_, 18, 2)), int(Le(data_, 20, 2)));
  if (data_.size() < 38) return {};
  const int64_t width = std::abs(int64_t(int32_t(Le(data_, 18, 4))));
  const int64_t height = std::abs(int64_t(int32_t(Le(data_, 22, 4))));
  if (width >> 24 || height >> 24) return {};
  return QSize(int(width), int(height));
}

// Qt's reader shows a bitmap whose pixel data breaks off with the missing rows blank; a
// cut-off file counts as damaged here, as a cut-off JPEG does.
bool TPictureFile::BmpComplete() const {
  const std::string& d = data_;
  const uint64_t offset = Le(d, 10, 4);
  const uint32_t header = Le(d, 14, 4);
  const uint64_t width = uint64_t(size_.width());
  const uint64_t height = uint64_t(size_.height());
  uint64_t bits, compression = 0, imageSize = 0;
  if (header == 12) {  // OS/2 core header
    bits = Le(d, 24, 2);
  } else {
    bits = Le(d, 28, 2);
    compression = Le(d, 30, 4);
    imageSize = Le(d, 34, 4);
  }
  if (bits > 64 || offset > d.size()) return false;
  if (compression == kBiRle8 || compression == kBiRle4) {
    const uint64_t end = imageSize == 0 ? d.size() : offset + imageSize;
    return end <= d.size() && RleComplete(offset, end, compression == kBiRle4);
  }
  // Uncompressed rows are padded to whole 32-bit words; other packed data declares its size.
  const bool plain = compression == 0 || compression == 3 || compression == 6;
  const uint64_t dataSize = plain ? (width * bits + 31) / 32 * 4 * height : imageSize;
  return offset + dataSize <= d.size();
}

// Run-length data must describe every row the header declares: a stream that ends early (or
// holds nothing but its end marker) would otherwise become a picture of that size anyway.
bool TPictureFile::RleComplete(std::size_t begin, std::size_t end, bool fourBits) const {
  const uint64_t height = uint64_t(size_.height());
  uint64_t y = 0;
  std::size_t at = begin;
  while (at + 2 <= end && y < height) {
    const unsigned count = static_cast<unsigned char>(data_[at]);
    const unsigned code = static_cast<unsigned char>(data_[at + 1]);
    at += 2;
    if (count > 0) continue;  // a run
    if (code == 0) {
      ++y;  // end of line
    } else if (code == 1) {
      return y + 1 >= height;  // end of bitmap: the last row was reached
    } else if (code == 2) {
      if (at + 2 > end) return false;
      y += static_cast<unsigned char>(data_[at + 1]);  // a move
      at += 2;
    } else {
      // Literal pixels, padded to a whole 16-bit word.
      const std::size_t bytes = fourBits ? (code + 1) / 2 : code;
      at += (bytes + 1) / 2 * 2;
    }
  }
  return y >= height && at <= end;
}

QImage TPictureFile::Decode() const {
  if (IsBmp() && !BmpComplete()) throw std::runtime_error("Incomplete picture data: " + fileName_);
  QByteArray bytes = QByteArray::fromRawData(data_.data(), qsizetype(data_.size()));
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer);
  QImage image = reader.read();
  if (image.isNull()) throw std::runtime_error("Not a valid picture: " + fileName_);
  return image;
}
