// A JPEG picture decoded with libjpeg: full size or scaled down, 24-bit RGB (also from CMYK files),
// the accurate integer DCT with fancy upsampling and block smoothing. A progressive file can be
// shown scan by scan: every call of NextPass decodes one more scan into Image(). Damaged data (a
// corrupt or truncated stream, a picture too large to hold) throws std::runtime_error with the
// decoder's reason; the object is then finished and frees everything it held.
#pragma once

#include <QImage>
#include <functional>
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
  // Each scan shown is a pass over the whole picture: of a big picture fewer are shown one
  // by one, so that those passes together cover no more than this many pixels as stored.
  static constexpr long long kMaxShownPixels = 48'000'000;

  // data is the whole file. Reads the header at once (throws when it is damaged). With a
  // valid least size the picture is decoded at the smallest DCT scale (in eighths) that still
  // gives at least that many pixels each way, which is much faster for a big picture; of a
  // progressive file only the scans that scale shows are then read.
  TJpegImage(std::string data, bool grayscale, bool smoothing, bool scan_by_scan,
             QSize least = QSize());
  ~TJpegImage();
  TJpegImage(const TJpegImage&) = delete;
  TJpegImage& operator=(const TJpegImage&) = delete;

  // True for a progressive file decoded scan by scan.
  bool Buffered() const { return buffered_ && scan_by_scan_; }
  // The size of the picture as stored in the file.
  QSize StoredSize() const { return stored_; }

  // Decodes the next pass: the next scan of a buffered progressive file, else the whole
  // picture. Returns false when the picture is complete and nothing was decoded.
  bool NextPass();
  // The picture as far as it is decoded, RGB888 (also for grey-scale output).
  QImage Image() const;

  // Called between slices of the work (a few rows of blocks, or of output), so that a
  // caller can keep its window alive through a long decode. It may throw to abandon the
  // decode; the object is then finished.
  void SetYield(std::function<void()> yield) { yield_ = std::move(yield); }

  // Decodes a whole picture in one go.
  static QImage Decode(std::string data, bool grayscale, bool smoothing);

 private:
  // Rows of blocks read, or rows of output written, between two yields.
  static constexpr int kSliceRows = 16;

  void LeaveOutUnusedScans(bool grayscale, QSize least);
  [[noreturn]] void Fail();
  void Yield();
  void OutputPass(int scan);

  std::string data_;
  std::unique_ptr<JpegState> state_;
  QImage image_;
  bool grayscale_;
  bool cmyk_ = false;
  bool adobe_ = false;
  // Files of several scans are always read scan by scan, so that the work comes in slices.
  bool buffered_ = false;
  bool scan_by_scan_ = false;
  QSize stored_;
  bool complete_ = false;
  int last_scan_ = 0;
  // Scans shown one by one before the rest appears at once.
  int shown_scans_ = kMaxShownScans;
  std::function<void()> yield_;
};
