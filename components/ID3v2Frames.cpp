#include "ID3v2Frames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace {

uint32_t Syncsafe(const std::string& d, std::size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 7 | (static_cast<unsigned char>(d[at + i]) & 0x7f);
  return v;
}

uint32_t Big(const std::string& d, std::size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | static_cast<unsigned char>(d[at + i]);
  return v;
}

// Undoes unsynchronisation: every 0xFF 0x00 was a lone 0xFF.
std::string Resync(const std::string& d) {
  std::string out;
  out.reserve(d.size());
  for (std::size_t i = 0; i < d.size(); ++i) {
    out.push_back(d[i]);
    if (static_cast<unsigned char>(d[i]) == 0xff && i + 1 < d.size() && d[i + 1] == '\0') ++i;
  }
  return out;
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out.push_back(char(c));
  } else if (c < 0x800) {
    out.push_back(char(0xc0 | c >> 6));
    out.push_back(char(0x80 | (c & 0x3f)));
  } else if (c < 0x10000) {
    out.push_back(char(0xe0 | c >> 12));
    out.push_back(char(0x80 | (c >> 6 & 0x3f)));
    out.push_back(char(0x80 | (c & 0x3f)));
  } else {
    out.push_back(char(0xf0 | c >> 18));
    out.push_back(char(0x80 | (c >> 12 & 0x3f)));
    out.push_back(char(0x80 | (c >> 6 & 0x3f)));
    out.push_back(char(0x80 | (c & 0x3f)));
  }
}

// Where a string of `encoding` that starts at `at` ends (at its terminator or at the end).
std::size_t TextEnd(const std::string& d, std::size_t at, int encoding) {
  const bool wide = encoding == 1 || encoding == 2;
  for (std::size_t i = at; i + (wide ? 1 : 0) < d.size(); i += wide ? 2 : 1)
    if (d[i] == '\0' && (!wide || d[i + 1] == '\0')) return i;
  return d.size();
}

// The first string of a text frame's body in UTF-8. UTF-16 without a byte-order mark is
// taken as little-endian, as the programs that write it mean it.
std::string FirstText(const std::string& body) {
  if (body.empty()) return {};
  const int encoding = static_cast<unsigned char>(body[0]);
  std::size_t at = 1;
  const std::size_t end = TextEnd(body, at, encoding);
  std::string out;
  if (encoding == 3) return body.substr(at, end - at);
  if (encoding != 1 && encoding != 2) {
    for (std::size_t i = at; i < end; ++i) AppendUtf8(out, static_cast<unsigned char>(body[i]));
    return out;
  }
  bool little = encoding == 1;
  if (end - at >= 2) {
    const uint32_t bom = Big(body, at, 2);
    if (bom == 0xfffe || bom == 0xfeff) {
      little = bom == 0xfffe;
      at += 2;
    }
  }
  uint32_t high = 0;
  for (std::size_t i = at; i < end && i + 1 < body.size(); i += 2) {
    const auto a = static_cast<unsigned char>(body[i]);
    const auto b = static_cast<unsigned char>(body[i + 1]);
    const uint32_t unit = little ? (b << 8 | a) : (a << 8 | b);
    if (unit >= 0xd800 && unit < 0xdc00) {
      high = unit;
      continue;
    }
    if (unit >= 0xdc00 && unit < 0xe000) {
      if (high) AppendUtf8(out, 0x10000 + ((high - 0xd800) << 10) + (unit - 0xdc00));
    } else {
      AppendUtf8(out, unit);
    }
    high = 0;
  }
  return out;
}

bool NameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Whether a 2.4 frame header, padding or the end of the tag could start at `at`.
bool FrameBoundary(const std::string& d, std::size_t at) {
  if (at == d.size() || (at < d.size() && d[at] == '\0')) return true;
  if (at + 4 > d.size()) return false;
  for (std::size_t i = at; i < at + 4; ++i)
    if (!NameChar(d[i])) return false;
  return true;
}

}  // namespace

TID3v2Frames::TID3v2Frames(const std::string& fileName) {
  // Non-blocking: a pipe named like a song must not hold the reader.
  const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  std::string tag(10, '\0');
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && pread(fd, tag.data(), 10, 0) == 10 &&
      tag.compare(0, 3, "ID3") == 0) {
    // A tag claims its size; the file says how much of it there is.
    const std::size_t size =
        std::min<std::size_t>(Syncsafe(tag, 6), static_cast<std::size_t>(st.st_size) - 10);
    if (size <= kMaxTagBytes) {
      tag.resize(10 + size);
      const ssize_t got = pread(fd, tag.data() + 10, size, 10);
      tag.resize(10 + static_cast<std::size_t>(got > 0 ? got : 0));
      close(fd);
      Walk(std::move(tag));
      return;
    }
  }
  close(fd);
}

void TID3v2Frames::Walk(std::string tag) {
  const int version = static_cast<unsigned char>(tag[3]);
  const int flags = static_cast<unsigned char>(tag[5]);
  // A 2.2 tag marked compressed has no defined compression: nothing in it can be read.
  if (version < 2 || version > 4 || (version == 2 && (flags & 0x40))) return;
  std::string d = tag.substr(10);
  tag.clear();
  if ((flags & 0x80) && version < 4) d = Resync(d);
  std::size_t at = 0;
  if (version > 2 && (flags & 0x40) && d.size() >= 4)
    at = version == 3 ? 4 + Big(d, 0, 4) : Syncsafe(d, 0);
  const std::size_t idLength = version == 2 ? 3 : 4;
  const std::size_t headerLength = version == 2 ? 6 : 10;
  while (at + headerLength <= d.size() && d[at] != '\0') {
    const std::string id = d.substr(at, idLength);
    std::size_t size = version == 2 ? Big(d, at + 3, 3) : Big(d, at + 4, 4);
    // Some writers put plain sizes into 2.4 tags: the syncsafe reading must land on a frame.
    if (version == 4) {
      const std::size_t syncsafe = Syncsafe(d, at + 4);
      if (FrameBoundary(d, at + headerLength + syncsafe) ||
          !FrameBoundary(d, at + headerLength + size))
        size = syncsafe;
    }
    const std::size_t body = at + headerLength;
    if (size > d.size() - body) break;
    const int frameFlags = version == 2 ? 0 : static_cast<unsigned char>(d[at + 9]);
    at = body + size;
    std::size_t skip = 0;
    if (version == 3) {
      if (frameFlags & 0xc0) continue;  // compressed or encrypted
      skip = (frameFlags & 0x20) ? 1 : 0;
    } else if (version == 4) {
      if (frameFlags & 0x0c) continue;
      skip = ((frameFlags & 0x40) ? 1 : 0) + ((frameFlags & 0x01) ? 4 : 0);
    }
    if (size <= skip) continue;  // empty frames carry nothing
    std::string data = d.substr(body + skip, size - skip);
    if (version == 4 && (frameFlags & 0x02)) data = Resync(data);
    Frame(id, std::move(data));
  }
}

void TID3v2Frames::Frame(const std::string& id, std::string body) {
  if ((id == "TIT2" || id == "TT2") && title_.empty()) title_ = FirstText(body);
  if (id == "APIC" || id == "PIC") Picture(body, id == "PIC");
}

// APIC: encoding, MIME type, picture type, description, data; 2.2's PIC has a three-letter
// format in place of the MIME type.
void TID3v2Frames::Picture(const std::string& body, bool oldStyle) {
  if (body.size() < 5) return;
  const int encoding = static_cast<unsigned char>(body[0]);
  std::size_t at = oldStyle ? 4 : TextEnd(body, 1, 0) + 1;
  if (at >= body.size()) return;
  const bool front = body[at] == 3;
  at = TextEnd(body, at + 1, encoding);
  at += encoding == 1 || encoding == 2 ? 2 : 1;
  if (at >= body.size()) return;
  if (!cover_.empty() && (frontCover_ || !front)) return;
  cover_ = body.substr(at);
  frontCover_ = front;
}
