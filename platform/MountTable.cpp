#include "MountTable.h"

#include <fstream>
#include <sstream>

namespace platform {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

}  // namespace

std::string MountTable::Unescape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
        IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
      int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      out.push_back(static_cast<char>(value & 0xFF));
      i += 3;
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

std::string MountTable::NormalizePath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out.push_back(c);
  }
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

MountTable MountTable::Parse(std::string_view text) {
  MountTable table;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::vector<std::string_view> fields = SplitFields(text.substr(pos, end - pos));
    pos = end + 1;
    if (fields.size() < 2 || fields[0].front() == '#') continue;
    MountEntry entry{Unescape(fields[0]), NormalizePath(Unescape(fields[1])),
                     fields.size() > 2 ? Unescape(fields[2]) : std::string()};
    if (entry.mountPoint.empty() || entry.mountPoint.front() != '/') continue;
    table.entries_.push_back(std::move(entry));
  }
  return table;
}

MountTable MountTable::Load(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return Parse(text.str());
}

const MountEntry* MountTable::AtMountPoint(const std::string& mountPoint) const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->mountPoint == mountPoint) return &*it;
  }
  return nullptr;
}

}  // namespace platform
