#include "Id3v2Bytes.h"

#include <QBuffer>
#include <QImage>

std::string SyncSafe(std::uint32_t n) {
  return {char(n >> 21 & 0x7f), char(n >> 14 & 0x7f), char(n >> 7 & 0x7f), char(n & 0x7f)};
}

namespace {

std::string BigEndian(std::uint32_t n) {
  return {char(n >> 24 & 0xff), char(n >> 16 & 0xff), char(n >> 8 & 0xff), char(n & 0xff)};
}

}  // namespace

std::string Id3v2(int version, const std::vector<std::pair<std::string, std::string>>& frames) {
  std::string body;
  for (const auto& [id, data] : frames) {
    const auto size = std::uint32_t(data.size());
    body += id + (version == 4 ? SyncSafe(size) : BigEndian(size)) + std::string(2, '\0') + data;
  }
  return "ID3" + std::string{char(version), '\0', '\0'} + SyncSafe(std::uint32_t(body.size())) +
         body;
}

std::string Jpeg(const QColor& color) {
  QImage image(40, 30, QImage::Format_RGB888);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPG");
  return bytes.toStdString();
}

std::string Picture(const std::string& data, char type) {
  return std::string("\0image/jpeg\0", 12) + type + std::string(1, '\0') + data;
}
