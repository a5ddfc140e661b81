#include "Utf8Text.h"

namespace {

// Length in bytes of the well-formed UTF-8 character at text[i], 0 when it is not one
// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t CharLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char c = byte(i);
  if (c < 0x80) return 1;
  std::size_t n;
  unsigned char low = 0x80, high = 0xbf;  // range of the second byte
  if (c >= 0xc2 && c <= 0xdf) {
    n = 2;
  } else if (c >= 0xe0 && c <= 0xef) {
    n = 3;
    if (c == 0xe0) low = 0xa0;
    if (c == 0xed) high = 0x9f;
  } else if (c >= 0xf0 && c <= 0xf4) {
    n = 4;
    if (c == 0xf0) low = 0x90;
    if (c == 0xf4) high = 0x8f;
  } else {
    return 0;
  }
  if (i + n > text.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < n; ++k) {
    if ((byte(i + k) & 0xc0) != 0x80) return 0;
  }
  return n;
}

}  // namespace

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = CharLength(text, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string Utf8Prefix(std::string_view text, std::size_t characters) {
  if (!IsUtf8(text)) return std::string(text.substr(0, characters));
  std::size_t end = 0;
  for (std::size_t count = 0; count < characters && end < text.size(); ++count)
    end += CharLength(text, end);
  return std::string(text.substr(0, end));
}
