// A JPEG picture decoded with libjpeg: full size, 24-bit RGB (also from CMYK files), the accurate
// integer DCT with fancy upsampling and block smoothing. A progressive file can be shown scan by
// scan: every call of NextPass decodes one more scan into Image(). Damaged data (a corrupt or
// truncated stream, a picture too large to hold) throws std::runtime_error with the
// decoder's reason; the object is then finished and frees everything it held.
#pragma once

#include <QImage>
#include <memory>
#include <string>

struct JpegState;

class TJpegImage {
 public:
  // Larger pictures are refused rather than risking the memory of the whole player.
  static constexpr long long kMaxPixels = 40'000'000;
  // More scans than this is damage, not a real progressive file.
  static constexpr int kMaxScans = 500;
  // Real files have about ten scans; after this many shown, the rest appears at once, so a
  // file of many scans costs no more than this many passes over the picture.
  static constexpr int kMaxShownScans = 24;

  // data is the whole file. Reads the header at once (throws when it is damaged).
  TJpegImage(std::string data, bool grayscale, bool smoothing, bool scan_by_scan);
  ~TJpegImage();
  TJpegImage(const TJpegImage&) = delete;
  TJpegImage& operator=(const TJpegImage&) = delete;

  // True for a progressive file decoded scan by scan.
  bool Buffered() const { return buffered_; }

  // Decodes the next pass: the next scan of a buffered progressive file, else the whole
  // picture. Returns false when the picture is complete and nothing was decoded.
  bool NextPass();
  // The picture as far as it is decoded, RGB888 (also for grey-scale output).
  QImage Image() const;

  // Decodes a whole picture in one go.
  static QImage Decode(std::string data, bool grayscale, bool smoothing);

 private:
  [[noreturn]] void Fail();

  std::string data_;
  std::unique_ptr<JpegState> state_;
  QImage image_;
  bool grayscale_;
  bool cmyk_ = false;
  bool adobe_ = false;
  bool buffered_ = false;
  bool complete_ = false;
  int last_scan_ = 0;
};
