// Picture box for the skin backgrounds and the album picture: shows a BMP or JPEG file,
// at its natural size from the top-left corner (clipped) or stretched to the box. JPEG
// files are decoded with the box's settings (stretched, at the smallest scale that still fills
// the box on the screen); with ProgressiveDisplay on, a progressive
// file appears scan by scan, repainted after each scan. Where no picture covers the box,
// the parent shows through.
#pragma once

#include <QImage>
#include <string>

#include "Control.h"
#include "PictureFile.h"

class TFEJpeg : public TControl {
 public:
  explicit TFEJpeg(QWidget* parent = nullptr);

  // Loads fileName (file-system bytes). The kind is told by the file's contents, not its
  // name. Throws std::runtime_error when the file cannot be read or is no valid BMP or
  // JPEG picture; the picture shown before stays.
  void LoadFromFile(const std::string& fileName);
  // The same for a picture's bytes (an embedded cover); name only names it in errors.
  void LoadFromData(std::string bytes, const std::string& name);
  // The same for a file already read.
  void Load(TPictureFile file);
  const QImage& Picture() const { return picture_; }

  bool Stretch() const { return stretch_; }
  void SetStretch(bool on);
  // Scan-by-scan display of progressive JPEG pictures; off by default.
  bool ProgressiveDisplay() const { return progressive_display_; }
  void SetProgressiveDisplay(bool on) { progressive_display_ = on; }

  // A left press and release over the picture; a double click gives one click and then
  // OnDblClick.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  void LoadJpeg(std::string bytes);
  void Show(const QImage& picture);

  QImage picture_;
  bool stretch_ = false;
  // Every picture is decoded in colour with smoothing.
  static constexpr bool kGrayscale = false;
  static constexpr bool kSmoothing = true;
  bool progressive_display_ = false;
  // A left press that a release over the picture turns into a click.
  bool clicked_ = false;
  // Counts the JPEG loads begun, so a load can tell that a newer one took over.
  unsigned loads_ = 0;
};
