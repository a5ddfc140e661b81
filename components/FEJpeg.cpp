#include "FEJpeg.h"

#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "JpegImage.h"

namespace {

// No picture of the player comes near this; a bigger file is refused unread.
constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

std::string ReadPictureFile(const std::string& fileName) {
  const QString name = QFile::decodeName(QByteArray::fromStdString(fileName));
  // Only regular files: a FIFO or a device would block the GUI thread.
  if (!QFileInfo(name).isFile()) throw std::runtime_error("Picture file not found: " + fileName);
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("Cannot open " + fileName);
  if (file.size() > kMaxFileSize) throw std::runtime_error("Picture file too large: " + fileName);
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw std::runtime_error("Cannot read " + fileName);
  return bytes.toStdString();
}

uint32_t Le(const std::string& d, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(d[at + i]);
  return v;
}

// Qt's reader shows a bitmap whose pixel data breaks off with the missing rows blank; a
// cut-off file counts as damaged here, as a cut-off JPEG does.
bool BmpComplete(const std::string& d) {
  if (d.size() < 26 || d.compare(0, 2, "BM") != 0) return false;
  const uint64_t offset = Le(d, 10, 4);
  const uint32_t header = Le(d, 14, 4);
  uint64_t width, height, bits, compression = 0, image_size = 0;
  if (header == 12) {  // OS/2 core header
    width = Le(d, 18, 2);
    height = Le(d, 20, 2);
    bits = Le(d, 24, 2);
  } else {
    if (d.size() < 38) return false;
    width = uint64_t(std::abs(int64_t(int32_t(Le(d, 18, 4)))));
    height = uint64_t(std::abs(int64_t(int32_t(Le(d, 22, 4)))));
    bits = Le(d, 28, 2);
    compression = Le(d, 30, 4);
    image_size = Le(d, 34, 4);
  }
  if (width >> 24 || height >> 24 || bits > 64) return false;
  // Uncompressed rows are padded to whole 32-bit words; packed data declares its size.
  const bool plain = compression == 0 || compression == 3 || compression == 6;
  const uint64_t data_size = plain ? (width * bits + 31) / 32 * 4 * height : image_size;
  return offset + data_size <= d.size();
}

}  // namespace

TFEJpeg::TFEJpeg(QWidget* parent) : TControl(parent) {}

void TFEJpeg::LoadFromFile(const std::string& fileName) {
  LoadFromData(ReadPictureFile(fileName), fileName);
}

void TFEJpeg::LoadFromData(std::string data, const std::string& name) {
  if (data.size() > std::size_t(kMaxFileSize))
    throw std::runtime_error("Picture too large: " + name);
  if (data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0xFF &&
      static_cast<unsigned char>(data[1]) == 0xD8) {
    LoadJpeg(std::move(data));
    return;
  }
  QImage bmp;
  if (!BmpComplete(data) ||
      !bmp.loadFromData(reinterpret_cast<const uchar*>(data.data()), int(data.size()), "BMP")) {
    throw std::runtime_error("Not a valid BMP or JPEG picture: " + name);
  }
  Show(bmp);
}

void TFEJpeg::LoadJpeg(std::string data) {
  TJpegImage jpeg(std::move(data), grayscale_, smoothing_, progressive_display_);
  if (!jpeg.Buffered()) {
    jpeg.NextPass();
    Show(jpeg.Image());
    return;
  }
  const QImage previous = picture_;
  try {
    while (jpeg.NextPass()) {
      picture_ = jpeg.Image();
      repaint();
    }
  } catch (...) {
    // A stream that breaks off after some scans leaves the old picture, not a half one.
    Show(previous);
    throw;
  }
}

void TFEJpeg::Show(const QImage& picture) {
  picture_ = picture;
  update();
}

void TFEJpeg::SetStretch(bool on) {
  if (stretch_ == on) return;
  stretch_ = on;
  update();
}

void TFEJpeg::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter p(this);
  if (stretch_) {
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), picture_);
  } else {
    p.drawImage(0, 0, picture_);
  }
}

void TFEJpeg::mousePressEvent(QMouseEvent* e) {
  TControl::mousePressEvent(e);
  clicked_ = e->button() == Qt::LeftButton;
}

void TFEJpeg::mouseReleaseEvent(QMouseEvent* e) {
  TControl::mouseReleaseEvent(e);
  const bool click =
      clicked_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
  clicked_ = false;
  if (click && OnClick) OnClick(this);
}

// The release that ends a double click is no second click.
void TFEJpeg::mouseDoubleClickEvent(QMouseEvent* e) {
  TControl::mouseDoubleClickEvent(e);
  clicked_ = false;
  if (e->button() == Qt::LeftButton && OnDblClick) OnDblClick(this);
}
