#include "JpegScans.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Coefficient k of a block in zig-zag order is at row kNatural[k] / 8, column kNatural[k] % 8.
constexpr int kNatural[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                              12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                              35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                              58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

constexpr uint64_t kAll = ~uint64_t(0);

// The coefficients (bit k for zig-zag index k) an output block of the given size is computed
// from. One pixel is the block's average, the DC. Two pixels each way are the averages of the
// block's halves, which the even frequencies but the DC do not change; the reduced transform
// reads exactly rows and columns 0, 1, 3, 5 and 7. Larger blocks use about all of them.
uint64_t Used(int blockSize) {
  if (blockSize == 1) return 1;
  if (blockSize != 2) return kAll;
  uint64_t used = 0;
  for (int k = 0; k < 64; ++k) {
    const int row = kNatural[k] / 8, column = kNatural[k] % 8;
    const bool odd = (row == 0 || row % 2 == 1) && (column == 0 || column % 2 == 1);
    if (odd) used |= uint64_t(1) << k;
  }
  return used;
}

uint64_t Band(int first, int last) {
  const uint64_t upTo = last >= 63 ? kAll : (uint64_t(1) << (last + 1)) - 1;
  return upTo & ~((uint64_t(1) << first) - 1);
}

unsigned Byte(const std::string& d, std::size_t at) { return static_cast<unsigned char>(d[at]); }

// The first 0xFF byte from at on; npos when there is none.
std::size_t NextFF(const std::string& d, std::size_t at) {
  if (at >= d.size()) return std::string::npos;
  const void* ff = std::memchr(d.data() + at, 0xFF, d.size() - at);
  return ff ? std::size_t(static_cast<const char*>(ff) - d.data()) : std::string::npos;
}

bool IsRestart(unsigned marker) { return marker >= 0xD0 && marker <= 0xD7; }

}  // namespace

TJpegScans::TJpegScans(const std::string& jpeg) : jpeg_(jpeg) { walked_ = Walk(); }

bool TJpegScans::Walk() {
  const std::string& d = jpeg_;
  if (d.size() < 4 || Byte(d, 0) != 0xFF || Byte(d, 1) != 0xD8) return false;
  std::size_t at = 2;
  for (;;) {
    // The decoder skips stray bytes before a marker; so does the walk.
    at = NextFF(d, at);
    if (at == std::string::npos || at + 2 > d.size()) return false;
    const unsigned marker = Byte(d, at + 1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD9) {
      end_ = at + 2;
      return true;
    }
    // Every other marker outside a scan begins a segment that states its length.
    if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || IsRestart(marker)) return false;
    if (at + 4 > d.size()) return false;
    const std::size_t length = Byte(d, at + 2) << 8 | Byte(d, at + 3);
    const std::size_t next = at + 2 + length;
    if (length < 2 || next > d.size()) return false;
    if (marker != 0xDA) {
      at = next;
      continue;
    }
    const std::size_t count = length < 3 ? 0 : Byte(d, at + 4);
    if (count == 0 || length != 6 + 2 * count) return false;
    const std::size_t spectral = at + 5 + 2 * count;
    const int first = int(Byte(d, spectral)), last = int(Byte(d, spectral + 1));
    const std::size_t end = EntropyEnd(next);
    if (end == 0) return false;
    scans_.push_back({at, end, count == 1 ? int(Byte(d, at + 5)) : -1, first, last});
    // A scan down to bit 0 leaves its coefficients exact.
    if ((Byte(d, spectral + 2) & 15) == 0 && first <= last && last <= 63) {
      for (std::size_t c = 0; c < count; ++c) exact_[Byte(d, at + 5 + 2 * c)] |= Band(first, last);
    }
    at = end;
  }
}

// Where the entropy-coded data from `at` ends: at the first marker that is neither a stuffed
// zero nor a restart marker. 0 when the file ends first.
std::size_t TJpegScans::EntropyEnd(std::size_t at) const {
  const std::string& d = jpeg_;
  for (;;) {
    at = NextFF(d, at);
    if (at == std::string::npos || at + 1 >= d.size()) return 0;
    const unsigned next = Byte(d, at + 1);
    if (next == 0x00 || IsRestart(next)) {
      at += 2;
    } else if (next == 0xFF) {
      ++at;  // fill bytes before a marker
    } else {
      return at;
    }
  }
}

std::string TJpegScans::WithoutUnused(const std::vector<Component>& components) const {
  if (!walked_) return {};
  // A picture the file leaves unfinished is decoded whole: there the decoder's smoothing
  // guesses the missing coefficients from the blocks around, the DC included, from whatever
  // the file does send.
  for (const Component& c : components) {
    if (exact_[c.id & 255] != kAll) return {};
  }
  // Coefficients kept per component identifier: those its output uses, and then every one a
  // kept scan brings, so that no kept scan refines a coefficient whose first scan was left out.
  uint64_t kept[256];
  std::fill(std::begin(kept), std::end(kept), kAll);
  for (const Component& c : components) kept[c.id & 255] = 0;
  for (const Component& c : components) kept[c.id & 255] |= Used(c.blockSize);
  std::vector<bool> keep(scans_.size(), false);
  for (bool grew = true; grew;) {
    grew = false;
    for (std::size_t i = 0; i < scans_.size(); ++i) {
      const Scan& s = scans_[i];
      if (keep[i]) continue;
      // DC scans (and anything the decoder will question anyway) stay.
      if (s.first == 0 || s.component < 0 || s.first > s.last || s.last > 63) {
        keep[i] = true;
        continue;
      }
      const uint64_t band = Band(s.first, s.last);
      if (!(kept[s.component] & band)) continue;
      keep[i] = true;
      grew |= (kept[s.component] | band) != kept[s.component];
      kept[s.component] |= band;
    }
  }
  std::string out;
  std::size_t from = 0;
  for (std::size_t i = 0; i < scans_.size(); ++i) {
    if (keep[i]) continue;
    out.append(jpeg_, from, scans_[i].begin - from);
    from = scans_[i].end;
  }
  if (from == 0) return {};
  out.append(jpeg_, from, end_ - from);
  return out;
}
