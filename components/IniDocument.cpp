#include "IniDocument.h"

#include "CaseInsensitive.h"

namespace {

enum class Kind { kOther, kSection, kKey };

struct Line {
  Kind kind = Kind::kOther;
  std::string_view name;
  std::string_view value;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

Line Classify(std::string_view raw) {
  std::string_view text = Trim(raw);
  if (text.empty() || text.front() == ';' || text.front() == '#') return {};
  if (text.front() == '[') {
    std::size_t close = text.find(']');
    return {Kind::kSection,
            Trim(text.substr(1, close == std::string_view::npos ? close : close - 1)),
            {}};
  }
  std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {};
  std::string_view name = Trim(text.substr(0, equals));
  if (name.empty()) return {};
  return {Kind::kKey, name, Trim(text.substr(equals + 1))};
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsTrimmedName(std::string_view name) { return !name.empty() && Trim(name) == name; }

// Values with blanks at either end, or already in quotes, are written in quotes so that
// reading them back gives exactly what was written.
std::string Encode(std::string_view value) {
  bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (quoted || Trim(value) != value) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

std::string KeyLine(std::string_view key, std::string_view value, const std::string& end) {
  return std::string(key) + "=" + Encode(value) + end;
}

}  // namespace

IniDocument::IniDocument(std::string_view text) {
  // Editors on other systems start the file with a byte-order mark, or end lines with a CR
  // alone; both are kept as they are.
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (text.starts_with(kBom)) {
    bom_ = true;
    text.remove_prefix(kBom.size());
  }
  if (text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos)
    newline_ = '\r';
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find(newline_, pos);
    if (end == std::string_view::npos) {
      lines_.emplace_back(text.substr(pos));
      break;
    }
    lines_.emplace_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  endsWithNewline_ = !text.empty() && text.back() == newline_;
  crlf_ = newline_ == '\n' && !lines_.empty() && !lines_.front().empty() &&
          lines_.front().back() == '\r';
}

std::optional<std::string> IniDocument::Value(std::string_view section,
                                              std::string_view key) const {
  bool inSection = false;
  bool seenSection = false;
  for (const std::string& raw : lines_) {
    Line line = Classify(raw);
    if (line.kind == Kind::kSection) {
      // Only the first section of a name counts, as with the system's own reader.
      if (inSection) return std::nullopt;
      inSection = !seenSection && platform::EqualsIgnoringCase(line.name, section);
      seenSection = seenSection || inSection;
    } else if (inSection && line.kind == Kind::kKey &&
               platform::EqualsIgnoringCase(line.name, key)) {
      std::string_view value = line.value;
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
      return std::string(value);
    }
  }
  return std::nullopt;
}

bool IniDocument::CanStore(std::string_view section, std::string_view key, std::string_view value) {
  return IsTrimmedName(section) && IsTrimmedName(key) && !HasLineBreak(section) &&
         !HasLineBreak(key) && !HasLineBreak(value) &&
         section.find(']') == std::string_view::npos && key.find('=') == std::string_view::npos &&
         key.front() != '[' && key.front() != ';' && key.front() != '#';
}

bool IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  const std::string end = crlf_ ? "\r" : "";
  std::size_t header = lines_.size();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    Line line = Classify(lines_[i]);
    if (line.kind == Kind::kSection && platform::EqualsIgnoringCase(line.name, section)) {
      header = i;
      break;
    }
  }
  if (header == lines_.size()) {
    lines_.push_back("[" + std::string(section) + "]" + end);
    lines_.push_back(KeyLine(key, value, end));
    endsWithNewline_ = true;
    return true;
  }
  std::size_t insertAt = header + 1;
  for (std::size_t i = header + 1; i < lines_.size(); ++i) {
    Line line = Classify(lines_[i]);
    if (line.kind == Kind::kSection) break;
    if (line.kind == Kind::kKey && platform::EqualsIgnoringCase(line.name, key)) {
      std::string replaced = KeyLine(line.name, value, end);
      if (replaced == lines_[i]) return false;
      lines_[i] = std::move(replaced);
      return true;
    }
    if (!Trim(lines_[i]).empty()) insertAt = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), KeyLine(key, value, end));
  if (insertAt == lines_.size() - 1) endsWithNewline_ = true;
  return true;
}

std::string IniDocument::Text() const {
  std::string text = bom_ ? "\xEF\xBB\xBF" : "";
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    text += lines_[i];
    if (i + 1 < lines_.size() || endsWithNewline_) text += newline_;
  }
  return text;
}
