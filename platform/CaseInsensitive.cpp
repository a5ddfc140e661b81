#include "CaseInsensitive.h"

#include <dirent.h>

#include <climits>
#include <cwchar>
#include <cwctype>
#include <memory>

namespace platform {

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Upper(c);
  return out;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

std::string LocaleLower(std::string_view text) {
  std::string lower;
  lower.reserve(text.size());
  std::mbstate_t in{};
  std::mbstate_t out{};
  char buffer[MB_LEN_MAX];
  for (std::size_t at = 0; at < text.size();) {
    wchar_t wide = 0;
    const std::size_t used = std::mbrtowc(&wide, text.data() + at, text.size() - at, &in);
    if (used == 0 || used > text.size() - at) {
      // A NUL, or a byte that begins no character here: kept, and reading starts afresh.
      lower += text[at++];
      in = std::mbstate_t{};
      continue;
    }
    const std::size_t written = std::wcrtomb(buffer, wchar_t(std::towlower(wint_t(wide))), &out);
    if (written == std::size_t(-1)) {
      lower.append(text.data() + at, used);
      out = std::mbstate_t{};
    } else {
      lower.append(buffer, written);
    }
    at += used;
  }
  return lower;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::optional<std::string> FindEntryIgnoringCase(const std::string& folder,
                                                 const std::string& name) {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
    return std::nullopt;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()), closedir);
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = readdir(dir.get())) {
    std::string_view entryName = entry->d_name;
    if (entryName == name) return std::string(entryName);
    // Among several case variants the lowest in byte order wins, whatever the listing order.
    if (EqualsIgnoringCase(entryName, name) && (!found || entryName < *found))
      found = std::string(entryName);
  }
  return found;
}

}  // namespace platform
