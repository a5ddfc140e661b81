#include "FileLabel.h"

#include <QEvent>
#include <QFile>
#include <algorithm>
#include <vector>

namespace {

QString ToQt(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

// The last k names joined with separator.
std::string Tail(const std::vector<std::string>& names, size_t k, const std::string& separator) {
  std::string out;
  for (size_t i = names.size() - k; i < names.size(); ++i) {
    if (!out.empty()) out += separator;
    out += names[i];
  }
  return out;
}

}  // namespace

TFileLabel::TFileLabel(QWidget* parent) : QLabel(parent) {
  // The text follows the width, so the width must not follow the text.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  setTextFormat(Qt::PlainText);  // a folder named "<b>x" is a name, not markup
}

void TFileLabel::SetFileName(const std::string& name) {
  file_name_ = name;
  Refresh();
}

void TFileLabel::SetSeparator(const std::string& separator) {
  separator_ = separator;
  Refresh();
}

std::string TFileLabel::ShortText(const std::string& path, const std::string& separator,
                                  const QFontMetrics& fm, int width) {
  auto fits = [&](const std::string& s) { return fm.horizontalAdvance(ToQt(s)) <= width; };
  if (fits(path) || separator.empty()) return path;
  const size_t first = path.find(separator);
  if (first == std::string::npos) return path;
  const std::string drive = path.substr(0, first + separator.size());
  std::vector<std::string> names;
  for (size_t from = drive.size(); from <= path.size();) {
    const size_t to = std::min(path.find(separator, from), path.size());
    if (to > from) names.push_back(path.substr(from, to - from));
    from = to + separator.size();
  }
  if (names.empty()) return path;
  const std::string dots = "..." + separator;
  for (const std::string& prefix : {drive + dots, dots}) {
    for (size_t k = std::max<size_t>(names.size() - 1, 1); k >= 1; --k) {
      const std::string candidate = prefix + Tail(names, k, separator);
      if (fits(candidate)) return candidate;
    }
  }
  return names.back();
}

void TFileLabel::Refresh() {
  setText(ToQt(ShortText(file_name_, separator_, fontMetrics(), contentsRect().width())));
}

void TFileLabel::resizeEvent(QResizeEvent* e) {
  QLabel::resizeEvent(e);
  Refresh();
}

void TFileLabel::changeEvent(QEvent* e) {
  QLabel::changeEvent(e);
  if (e->type() == QEvent::FontChange) Refresh();
}
