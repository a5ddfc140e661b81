#include "StreamProbe.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace xaudio {

namespace {

// kbit/s by [MPEG-1 or not][layer - 1][index]
constexpr int kBitrates[2][3][15] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}}};
constexpr int kMpeg1Rates[3] = {44100, 48000, 32000};

// Longer than any frame of a known bit rate (MPEG-2.5 layer 3 at 160 kbit/s and 8 kHz).
constexpr int64_t kMaxFrame = 2881;
constexpr int64_t kTailWindow = 8192;
constexpr int kBitratePlaces = 8;

uint32_t Big(const unsigned char* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint32_t Little(const unsigned char* p) {
  return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

std::vector<unsigned char> ReadAt(int fd, int64_t at, int64_t bytes) {
  std::vector<unsigned char> data(static_cast<size_t>(std::max<int64_t>(bytes, 0)));
  const ssize_t got = data.empty() ? 0 : pread(fd, data.data(), data.size(), at);
  data.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return data;
}

}  // namespace

bool TFrameHeader::Parse(const unsigned char* h) {
  if (h[0] != 0xff || (h[1] & 0xe0) != 0xe0) return false;
  version = (h[1] >> 3) & 3;
  layer = 4 - ((h[1] >> 1) & 3);
  const int bitrateIndex = h[2] >> 4;
  rateIndex = (h[2] >> 2) & 3;
  if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
    return false;
  const bool mpeg1 = version == 3;
  bitrate = kBitrates[mpeg1][layer - 1][bitrateIndex];
  rate = kMpeg1Rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  samples = layer == 1 ? 384 : layer == 3 && !mpeg1 ? 576 : 1152;
  const int padding = (h[2] >> 1) & 1;
  bytes = layer == 1 ? (12000 * bitrate / rate + padding) * 4
                     : samples / 8 * 1000 * bitrate / rate + padding;
  return true;
}

TStreamProbe::TStreamProbe(int fd, int64_t size) : fd_(fd), end_(size) {
  std::vector<unsigned char> front = ReadAt(fd, 0, 10);
  if (front.size() == 10 && std::memcmp(front.data(), "ID3", 3) == 0)
    begin_ = 10 + ((front[6] & 0x7f) << 21 | (front[7] & 0x7f) << 14 | (front[8] & 0x7f) << 7 |
                   (front[9] & 0x7f));
  std::vector<unsigned char> back = ReadAt(fd, std::max<int64_t>(0, size - 160), 160);
  if (back.size() == 160 && std::memcmp(back.data() + 32, "TAG", 3) == 0) {
    end_ -= 128;
    back.resize(32);
  } else if (back.size() == 160) {
    std::memmove(back.data(), back.data() + 128, 32);
    back.resize(32);
  }
  // An APE tag before the end (and before any ID3v1 tag): its footer gives its size.
  if (back.size() == 32 && std::memcmp(back.data(), "APETAGEX", 8) == 0) {
    const bool header = (Little(back.data() + 20) & 0x80000000u) != 0;
    end_ -= int64_t{Little(back.data() + 12)} + (header ? 32 : 0);
  }
  begin_ = std::clamp<int64_t>(begin_, 0, size);
  end_ = std::clamp<int64_t>(end_, begin_, size);
  // Junk before the first frame is skipped, as the decoder skips it.
  firstFound_ = FrameNear(begin_, 65536, first_, begin_);
  if (firstFound_) ReadInfoFrame();
}

bool TStreamProbe::FrameNear(int64_t at, int64_t window, TFrameHeader& header,
                             int64_t& where) const {
  at = std::max(at, begin_);
  const std::vector<unsigned char> data =
      ReadAt(fd_, at, std::min(window + 2 * kMaxFrame, end_ - at));
  const auto size = static_cast<int64_t>(data.size());
  for (int64_t i = 0; i + 4 <= size && i <= window; ++i) {
    TFrameHeader h;
    if (!h.Parse(&data[i]) || (firstFound_ && !h.SameStream(first_))) continue;
    const int64_t next = i + h.bytes;
    TFrameHeader following;
    const bool last = at + next == end_;
    if (!last && (next + 4 > size || !following.Parse(&data[next]) || !following.SameStream(h)))
      continue;
    header = h;
    where = at + i;
    return true;
  }
  return false;
}

void TStreamProbe::ReadInfoFrame() {
  const std::vector<unsigned char> f = ReadAt(fd_, begin_, 200);
  if (f.size() < 200) return;
  const bool mono = (f[3] & 0xc0) == 0xc0;
  const size_t xing = 4 + (first_.version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17));
  if (std::memcmp(&f[xing], "Xing", 4) == 0 || std::memcmp(&f[xing], "Info", 4) == 0) {
    infoFrame_ = true;
    const uint32_t flags = Big(&f[xing + 4]);
    size_t at = xing + 8;
    if (flags & 1) claimedFrames_ = Big(&f[at]), at += 4;
    if (flags & 2) claimedBytes_ = Big(&f[at]), at += 4;
    if (flags & 4) at += 100;
    if (flags & 8) at += 4;
    // The LAME header: the encoder delay in the first 12 of three bytes at offset 21.
    if (at + 24 <= f.size()) delay_ = f[at + 21] << 4 | f[at + 22] >> 4;
  } else if (std::memcmp(&f[36], "VBRI", 4) == 0) {
    infoFrame_ = true;
    claimedBytes_ = Big(&f[36 + 10]);
    claimedFrames_ = Big(&f[36 + 14]);
  }
}

bool TStreamProbe::EndsInFrames() const {
  if (!firstFound_) return false;
  const int64_t window = std::min(kTailWindow, AudioBytes());
  TFrameHeader h;
  int64_t where = 0;
  return FrameNear(end_ - window, window, h, where);
}

bool TStreamProbe::ConstantBitrate() const {
  if (!firstFound_) return false;
  // Two frames in a row at each place.
  for (int k = 1; k < kBitratePlaces; ++k) {
    TFrameHeader h, next;
    int64_t where = 0;
    if (!FrameNear(begin_ + AudioBytes() * k / kBitratePlaces, kTailWindow, h, where) ||
        h.bitrate != first_.bitrate || !FrameNear(where + h.bytes, 0, next, where) ||
        next.bitrate != first_.bitrate)
      return false;
  }
  return true;
}

int64_t TStreamProbe::ConstantBitrateFrames() const {
  if (!firstFound_) return 0;
  const double frameBytes = first_.samples / 8.0 * 1000.0 * first_.bitrate / first_.rate;
  return static_cast<int64_t>(static_cast<double>(AudioBytes()) / frameBytes + 0.5);
}

}  // namespace xaudio
