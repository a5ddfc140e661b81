#include "StreamProbe.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

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
// Where frames are looked for: the tail, and each place the bit rate is read at.
constexpr int64_t kTailWindow = 4096;
// The first frame is looked for close to the tag first, then further on.
constexpr int64_t kNearWindow = 2048;
constexpr int64_t kFarWindow = 65536;
constexpr int kBitratePlaces = 8;

uint32_t Big(const unsigned char* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint32_t Little(const unsigned char* p) {
  return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// Up to `bytes` bytes at `at` into data (never initialised before: pread fills it).
int64_t ReadAt(int fd, int64_t at, int64_t bytes, std::unique_ptr<unsigned char[]>& data) {
  if (bytes <= 0) return 0;
  data.reset(new unsigned char[static_cast<size_t>(bytes)]);
  const ssize_t got = pread(fd, data.get(), static_cast<size_t>(bytes), at);
  return got > 0 ? got : 0;
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
  unsigned char front[10];
  if (pread(fd, front, sizeof front, 0) == sizeof front && std::memcmp(front, "ID3", 3) == 0)
    begin_ = 10 + ((front[6] & 0x7f) << 21 | (front[7] & 0x7f) << 14 | (front[8] & 0x7f) << 7 |
                   (front[9] & 0x7f));
  unsigned char back[160];
  if (size >= 160 && pread(fd, back, sizeof back, size - 160) == sizeof back) {
    const bool id3v1 = std::memcmp(back + 32, "TAG", 3) == 0;
    if (id3v1) end_ -= 128;
    // An APE tag before the end (and before any ID3v1 tag): its footer gives its size.
    const unsigned char* ape = id3v1 ? back : back + 128;
    if (std::memcmp(ape, "APETAGEX", 8) == 0) {
      const bool header = (Little(ape + 20) & 0x80000000u) != 0;
      end_ -= int64_t{Little(ape + 12)} + (header ? 32 : 0);
    }
  }
  begin_ = std::clamp<int64_t>(begin_, 0, size);
  end_ = std::clamp<int64_t>(end_, begin_, size);
  // Junk before the first frame is skipped, as the decoder skips it.
  firstFound_ = FrameNear(begin_, kNearWindow, kMaxFrame, first_, begin_) ||
                FrameNear(begin_ + kNearWindow, kFarWindow, kMaxFrame, first_, begin_);
  if (firstFound_) ReadInfoFrame();
}

bool TStreamProbe::FrameNear(int64_t at, int64_t window, int64_t reach, TFrameHeader& header,
                             int64_t& where, TFind find) const {
  at = std::max(at, begin_);
  std::unique_ptr<unsigned char[]> data;
  const int64_t size = ReadAt(fd_, at, std::min(window + 2 * reach + 4, end_ - at), data);
  for (int64_t i = 0; i + 4 <= size && i <= window; ++i) {
    TFrameHeader h;
    if (!h.Parse(&data[i]) || (firstFound_ && !h.SameStream(first_))) continue;
    const int64_t next = i + h.bytes;
    TFrameHeader following;
    const bool last = at + next == end_;
    if (!last && (next + 4 > size || !following.Parse(&data[next]) || !following.SameStream(h)))
      continue;
    if (find == TFind::SameBitrate && (last || following.bitrate != h.bitrate)) continue;
    if (find == TFind::ChainToEnd) {
      int64_t hop = i;
      TFrameHeader f;
      while (hop + 4 <= size && f.Parse(&data[hop]) && f.SameStream(h)) hop += f.bytes;
      if (at + hop != end_) return false;
    }
    header = h;
    where = at + i;
    return true;
  }
  return false;
}

void TStreamProbe::ReadInfoFrame() {
  unsigned char f[200];
  if (pread(fd_, f, sizeof f, begin_) != sizeof f) return;
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
    if (at + 24 <= sizeof f) delay_ = f[at + 21] << 4 | f[at + 22] >> 4;
  } else if (std::memcmp(&f[36], "VBRI", 4) == 0) {
    infoFrame_ = true;
    claimedBytes_ = Big(&f[36 + 10]);
    claimedFrames_ = Big(&f[36 + 14]);
  }
}

bool TStreamProbe::EndsWithWholeFrame() const {
  if (!firstFound_) return false;
  const int64_t window = std::min(kTailWindow, AudioBytes());
  TFrameHeader h;
  int64_t where = 0;
  return FrameNear(end_ - window, window, kMaxFrame, h, where, TFind::ChainToEnd);
}

bool TStreamProbe::ConstantBitrate() const {
  if (!firstFound_) return false;
  // Two frames in a row at each place. A frame longer than the first ones is not found,
  // which is as good an answer as a different bit rate.
  const int64_t reach = first_.bytes + 1;
  for (int k = 1; k < kBitratePlaces; ++k) {
    TFrameHeader h;
    int64_t where = 0;
    if (!FrameNear(begin_ + AudioBytes() * k / kBitratePlaces, reach, reach, h, where,
                   TFind::SameBitrate) ||
        h.bitrate != first_.bitrate)
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
