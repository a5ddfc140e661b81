// The scans of a progressive JPEG file, walked marker by marker without decoding any. Decoded
// at a reduced DCT scale, a component's output block comes from only some of its 64
// coefficients (from the DC alone at one pixel a block); scans that carry nothing else can be
// left out, which spares the decoder a walk over every block of the picture per such scan.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TJpegScans {
 public:
  // A component of the frame: its identifier and the size of its output block in pixels each
  // way (8 at full scale).
  struct Component {
    int id;
    int blockSize;
  };

  // Walks jpeg (which must outlive the object) from its start marker to its end marker. A
  // file that breaks off or is not made of marker segments and scans is not walked.
  explicit TJpegScans(const std::string& jpeg);

  bool Walked() const { return walked_; }
  int Count() const { return int(scans_.size()); }

  // The file without the scans whose coefficients no component uses at its block size, every
  // other byte as it was (decoded at that scale it gives the same pixels); empty when the
  // file was not walked, leaves some coefficient inexact, or every scan is needed.
  std::string WithoutUnused(const std::vector<Component>& components) const;

 private:
  struct Scan {
    std::size_t begin, end;
    int component;    // of a scan of one component; -1 for an interleaved one
    int first, last;  // coefficients (zig-zag order)
  };

  bool Walk();
  std::size_t EntropyEnd(std::size_t at) const;

  const std::string& jpeg_;
  std::vector<Scan> scans_;
  // Per component identifier, the coefficients some scan sends exactly (bit k: zig-zag k).
  std::array<uint64_t, 256> exact_{};
  std::size_t end_ = 0;
  bool walked_ = false;
};
