// The coefficient arrays of a progressive JPEG picture kept compact. libjpeg holds every
// coefficient of such a picture while it reads its scans, 128 bytes for each 8 x 8 block
// (about 120 MB for a 6300 x 6300 photograph), though most of them are zero, and at a
// reduced scale all but the few that scale shows stay zero. Here every row of blocks is
// kept packed (its non-zero coefficients only) and unpacked into a window of a few rows
// while libjpeg works on them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// After <cstdio>: jpeglib.h needs size_t and FILE.
#include <jpeglib.h>

// Plain data throughout: libjpeg leaves its callbacks by longjmp.
class TJpegCoefficients {
 public:
  // Makes cinfo keep its coefficient arrays here; call right after jpeg_create_decompress.
  // cinfo->client_data must point at an object whose first member is this one.
  void Install(j_decompress_ptr cinfo);
  // Frees every array (libjpeg's own end of the picture does it too).
  void Release();

 private:
  struct Array {
    JDIMENSION width = 0;   // blocks per row
    JDIMENSION height = 0;  // rows of blocks
    JDIMENSION window = 0;  // rows unpacked at a time
    JDIMENSION first = 0;   // the first row unpacked
    JDIMENSION held = 0;    // rows unpacked now
    bool dirty = false;
    JBLOCKROW* rows = nullptr;
    JBLOCK* blocks = nullptr;
    unsigned char** packed = nullptr;  // per row; null for a row of zeros
  };

  static TJpegCoefficients* Of(j_common_ptr cinfo);
  Array* Own(jvirt_barray_ptr array);
  bool Evict(Array& a);
  void Unpack(Array& a, JDIMENSION first);

  static jvirt_barray_ptr Request(j_common_ptr cinfo, int pool, boolean preZero, JDIMENSION width,
                                  JDIMENSION height, JDIMENSION access);
  static void Realize(j_common_ptr cinfo);
  static JBLOCKARRAY Access(j_common_ptr cinfo, jvirt_barray_ptr array, JDIMENSION start,
                            JDIMENSION rows, boolean writable);
  static void FreePool(j_common_ptr cinfo, int pool);
  static void SelfDestruct(j_common_ptr cinfo);

  jpeg_memory_mgr original_{};
  Array arrays_[MAX_COMPONENTS];
  int count_ = 0;
  // Bytes of the arrays left to libjpeg.
  std::size_t unpackedBytes_ = 0;
  unsigned char* scratch_ = nullptr;
  std::size_t scratchSize_ = 0;
};
