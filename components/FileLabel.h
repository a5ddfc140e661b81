// A label showing a path, shortened to the label's width: the whole path when it fits;
// else the drive part, "..." and the separator, then as many of the last folder names as
// fit; else the same without the drive part; else the last folder name alone. The path
// itself (FileName) is kept unchanged; only the shown text is shortened.
#pragma once

#include <QFontMetrics>
#include <QLabel>
#include <string>

class TFileLabel : public QLabel {
 public:
  explicit TFileLabel(QWidget* parent = nullptr);

  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& name);
  const std::string& Separator() const { return separator_; }
  void SetSeparator(const std::string& separator);

  // The text shown for path in width pixels of font fm.
  static std::string ShortText(const std::string& path, const std::string& separator,
                               const QFontMetrics& fm, int width);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void Refresh();

  std::string file_name_;
  std::string separator_ = "/";
};
