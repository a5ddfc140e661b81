#include "GainTags.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace xaudio {

namespace {

constexpr float kLimitDb = 20.0f;
constexpr float kDamagedDb = 60.0f;
// Peaks above this are damage (full scale is 1.0).
constexpr float kLargestPeak = 100.0f;
// ReplayGain targets 89 dB SPL, about -18 LUFS; R128 gains aim at -23 LUFS.
constexpr float kR128ToReplayGain = 5.0f;

bool SameKey(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'a' && x <= 'z' ? x - 32 : x) == (y >= 'a' && y <= 'z' ? y - 32 : y);
         });
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\0'))
    s.remove_suffix(1);
  return s;
}

// A plain decimal number: sign, digits, an optional fraction. No exponents, inf or nan.
bool ParseDecimal(std::string_view s, double& value) {
  size_t i = 0;
  const bool negative = i < s.size() && s[i] == '-';
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  double v = 0, scale = 1;
  int digits = 0;
  bool fraction = false;
  for (; i < s.size(); ++i) {
    if (s[i] == '.' && !fraction) {
      fraction = true;
    } else if (s[i] >= '0' && s[i] <= '9' && digits < 12) {
      if (fraction) scale /= 10;
      v = fraction ? v + (s[i] - '0') * scale : v * 10 + (s[i] - '0');
      ++digits;
    } else {
      return false;
    }
  }
  value = negative ? -v : v;
  return digits > 0;
}

uint32_t BigEndian(const unsigned char* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
  return v;
}

uint32_t SyncSafe(const unsigned char* p) {
  return (p[0] & 0x7fu) << 21 | (p[1] & 0x7fu) << 14 | (p[2] & 0x7fu) << 7 | (p[3] & 0x7fu);
}

// A TXXX text (description, then value) in any ID3v2 encoding, reduced to its ASCII.
std::vector<std::string> TextParts(const unsigned char* p, size_t size) {
  std::vector<std::string> parts(1);
  if (size == 0) return parts;
  const bool wide = p[0] == 1 || p[0] == 2;
  const size_t step = wide ? 2 : 1;
  for (size_t i = 1; i + step <= size; i += step) {
    const unsigned a = p[i], b = wide ? p[i + 1] : 0;
    if (a == 0 && b == 0) {
      parts.emplace_back();
    } else if (wide) {
      const unsigned unit = p[0] == 2 || (p[1] == 0xfe && p[2] == 0xff) ? a << 8 | b : b << 8 | a;
      if (unit < 0x80) parts.back() += static_cast<char>(unit);
    } else {
      parts.back() += static_cast<char>(a);
    }
  }
  return parts;
}

}  // namespace

bool TGainTags::ParseGain(std::string_view text, float& db) {
  std::string_view s = Trim(text);
  if (s.size() >= 2 && SameKey(s.substr(s.size() - 2), "DB")) s = Trim(s.substr(0, s.size() - 2));
  double v = 0;
  if (!ParseDecimal(s, v) || std::abs(v) > kDamagedDb) return false;
  db = std::clamp(static_cast<float>(v), -kLimitDb, kLimitDb);
  return true;
}

bool TGainTags::ParsePeak(std::string_view text, float& peak) {
  double v = 0;
  if (!ParseDecimal(Trim(text), v) || v <= 0 || v > kLargestPeak) return false;
  peak = static_cast<float>(v);
  return true;
}

void TGainTags::AddTagValue(std::string_view key, std::string_view value) {
  float v = 0;
  if (SameKey(key, "REPLAYGAIN_TRACK_GAIN") && ParseGain(value, v)) trackGain = v;
  if (SameKey(key, "REPLAYGAIN_ALBUM_GAIN") && ParseGain(value, v)) albumGain = v;
  if (SameKey(key, "REPLAYGAIN_TRACK_PEAK") && ParsePeak(value, v)) trackPeak = v;
  if (SameKey(key, "REPLAYGAIN_ALBUM_PEAK") && ParsePeak(value, v)) albumPeak = v;
  const bool r128Track = SameKey(key, "R128_TRACK_GAIN");
  if (r128Track || SameKey(key, "R128_ALBUM_GAIN")) {
    double q = 0;
    const std::string_view digits = Trim(value);
    if (digits.find('.') != std::string_view::npos || !ParseDecimal(digits, q) || q < -32768 ||
        q > 32767)
      return;
    const float db =
        std::clamp(static_cast<float>(q / 256 + kR128ToReplayGain), -kLimitDb, kLimitDb);
    (r128Track ? trackGain : albumGain) = db;
  }
}

void TGainTags::AddComment(std::string_view comment) {
  const size_t equals = comment.find('=');
  if (equals != std::string_view::npos)
    AddTagValue(comment.substr(0, equals), comment.substr(equals + 1));
}

void TGainTags::ReadMpeg(int fd) {
  unsigned char head[10] = {};
  long audioAt = 0;
  if (pread(fd, head, sizeof head, 0) == 10 &&
      std::string_view(reinterpret_cast<char*>(head), 3) == "ID3") {
    const uint32_t size = SyncSafe(head + 6);
    audioAt = 10 + static_cast<long>(size) + (head[5] & 0x10 ? 10 : 0);
    std::vector<unsigned char> tag(std::min<uint32_t>(size, 16u << 20));
    if (pread(fd, tag.data(), tag.size(), 10) == static_cast<ssize_t>(tag.size())) {
      // Whole-tag unsynchronisation: every 0xFF 0x00 stands for 0xFF.
      if (head[5] & 0x80)
        tag.erase(std::unique(tag.begin(), tag.end(),
                              [](unsigned char a, unsigned char b) { return a == 0xff && b == 0; }),
                  tag.end());
      size_t skip = 0;
      if ((head[5] & 0x40) && tag.size() >= 4)
        skip = head[3] == 4 ? SyncSafe(tag.data()) : BigEndian(tag.data(), 4) + 4;
      if (skip < tag.size() && (head[3] == 3 || head[3] == 4))
        ReadId3v2(tag.data() + skip, tag.size() - skip, head[3]);
    }
  }
  if (std::isnan(trackGain) || std::isnan(albumGain)) ReadLame(fd, audioAt);
}

void TGainTags::ReadId3v2(const unsigned char* tag, size_t size, int version) {
  std::vector<std::pair<const unsigned char*, size_t>> rva2;
  for (size_t at = 0; at + 10 <= size && tag[at] != 0;) {
    const size_t length = version == 4 ? SyncSafe(tag + at + 4) : BigEndian(tag + at + 4, 4);
    const std::string_view id(reinterpret_cast<const char*>(tag + at), 4);
    const unsigned char* body = tag + at + 10;
    if (length > size - at - 10) break;
    if (id == "TXXX") {
      const auto parts = TextParts(body, length);
      if (parts.size() >= 2) AddTagValue(parts[0], parts[1]);
    } else if (id == "RVA2") {
      rva2.emplace_back(body, length);
    }
    at += 10 + length;
  }
  for (const auto& [body, length] : rva2) ReadRva2(body, length);
}

void TGainTags::ReadRva2(const unsigned char* frame, size_t size) {
  const auto* end = static_cast<const unsigned char*>(std::memchr(frame, 0, size));
  if (end == nullptr) return;
  const std::string_view id(reinterpret_cast<const char*>(frame), end - frame);
  const bool album = SameKey(id, "album");
  float& gain = album ? albumGain : trackGain;
  float& peak = album ? albumPeak : trackPeak;
  // Channel 1 is the master volume: a signed 16-bit step of 1/512 dB, then its peak in as
  // many bits as the next byte says, full scale at the top bit of its whole bytes.
  for (size_t at = end - frame + 1; at + 4 <= size;) {
    const int type = frame[at];
    const auto step = static_cast<int16_t>(BigEndian(frame + at + 1, 2));
    const int peakBytes = (frame[at + 3] + 7) / 8;
    if (type == 1 && std::isnan(gain)) {
      gain = std::clamp(step / 512.0f, -kLimitDb, kLimitDb);
      if (peakBytes > 0 && peakBytes <= 4 && at + 4 + peakBytes <= size && std::isnan(peak)) {
        const float v = static_cast<float>(BigEndian(frame + at + 4, peakBytes)) /
                        static_cast<float>(uint64_t{1} << (8 * peakBytes - 1));
        if (v > 0 && v <= kLargestPeak) peak = v;
      }
    }
    at += 4 + peakBytes;
  }
}

void TGainTags::ReadLame(int fd, long at) {
  unsigned char frame[200] = {};
  if (pread(fd, frame, sizeof frame, at) != static_cast<ssize_t>(sizeof frame)) return;
  if (frame[0] != 0xff || (frame[1] & 0xe0) != 0xe0) return;
  const bool mpeg1 = (frame[1] & 0x18) == 0x18;
  const bool mono = (frame[3] & 0xc0) == 0xc0;
  const int xing = 4 + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
  const std::string_view magic(reinterpret_cast<char*>(frame + xing), 4);
  if (magic != "Xing" && magic != "Info") return;
  const uint32_t flags = BigEndian(frame + xing + 4, 4);
  const int lame = xing + 8 + (flags & 1 ? 4 : 0) + (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) +
                   (flags & 8 ? 4 : 0);
  if (lame + 19 > static_cast<int>(sizeof frame)) return;
  // The track's peak (1.0 = 2^23; 0 when the encoder did not measure it), then two 16-bit
  // fields: name (1 radio = track, 2 audiophile = album), originator, sign and tenths of a dB.
  const float peak = static_cast<float>(BigEndian(frame + lame + 11, 4)) / (1 << 23);
  for (int field = 0; field < 2; ++field) {
    const uint32_t v = BigEndian(frame + lame + 15 + 2 * field, 2);
    const uint32_t name = v >> 13, origin = v >> 10 & 7;
    if (origin == 0 || (name != 1 && name != 2)) continue;
    const float db = (v & 0x200 ? -1.0f : 1.0f) * static_cast<float>(v & 0x1ff) / 10;
    float& gain = name == 1 ? trackGain : albumGain;
    if (!std::isnan(gain)) continue;
    gain = std::clamp(db, -kLimitDb, kLimitDb);
    if (name == 1 && std::isnan(trackPeak) && peak > 0 && peak <= kLargestPeak) trackPeak = peak;
  }
}

}  // namespace xaudio
