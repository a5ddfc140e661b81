#include "JpegCoefficients.h"

#include <jerror.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kBlockBytes = sizeof(JBLOCK);
// A packed block: a 64-bit mask of its non-zero coefficients, then those coefficients.
constexpr std::size_t kMaskBytes = sizeof(uint64_t);

// Arrays are left to libjpeg as long as they hold no more than this together: packing costs
// time (every row is packed again after each scan that changes it).
constexpr std::size_t kUnpackedBudget = 32u << 20;

[[noreturn]] void OutOfMemory(j_common_ptr cinfo) {
  ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 9);
  std::abort();  // error_exit never returns
}

// Calls visit(block, coefficient, its packed value) for each coefficient a packed row holds.
template <typename Visit>
void ForEachCoefficient(const unsigned char* packed, JDIMENSION width, Visit visit) {
  if (packed == nullptr) return;
  for (JDIMENSION b = 0; b < width; ++b) {
    uint64_t mask = 0;
    std::memcpy(&mask, packed, kMaskBytes);
    packed += kMaskBytes;
    for (; mask != 0; mask &= mask - 1, packed += sizeof(JCOEF))
      visit(b, __builtin_ctzll(mask), packed);
  }
}

}  // namespace

TJpegCoefficients* TJpegCoefficients::Of(j_common_ptr cinfo) {
  return static_cast<TJpegCoefficients*>(cinfo->client_data);
}

void TJpegCoefficients::Install(j_decompress_ptr cinfo) {
  original_ = *cinfo->mem;
  cinfo->mem->request_virt_barray = Request;
  cinfo->mem->realize_virt_arrays = Realize;
  cinfo->mem->access_virt_barray = Access;
  cinfo->mem->free_pool = FreePool;
  cinfo->mem->self_destruct = SelfDestruct;
}

void TJpegCoefficients::Release() {
  for (int i = 0; i < count_; ++i) {
    Array& a = arrays_[i];
    if (a.packed != nullptr)
      for (JDIMENSION row = 0; row < a.height; ++row) std::free(a.packed[row]);
    std::free(a.packed);
    std::free(a.rows);
    std::free(a.blocks);
    a = Array{};
  }
  count_ = 0;
  unpackedBytes_ = 0;
  std::free(scratch_);
  scratch_ = nullptr;
  scratchSize_ = 0;
}

TJpegCoefficients::Array* TJpegCoefficients::Own(jvirt_barray_ptr array) {
  auto* a = reinterpret_cast<Array*>(array);
  return a >= arrays_ && a < arrays_ + count_ ? a : nullptr;
}

jvirt_barray_ptr TJpegCoefficients::Request(j_common_ptr cinfo, int pool, boolean preZero,
                                            JDIMENSION width, JDIMENSION height,
                                            JDIMENSION access) {
  TJpegCoefficients* self = Of(cinfo);
  const std::size_t bytes = std::size_t{width} * height * kBlockBytes;
  if (pool != JPOOL_IMAGE || self->count_ == MAX_COMPONENTS ||
      self->unpackedBytes_ + bytes <= kUnpackedBudget) {
    if (pool == JPOOL_IMAGE) self->unpackedBytes_ += bytes;
    return self->original_.request_virt_barray(cinfo, pool, preZero, width, height, access);
  }
  Array& a = self->arrays_[self->count_++];
  a.width = width;
  a.height = height;
  a.window = std::min(std::max<JDIMENSION>(access, 1), height);
  return reinterpret_cast<jvirt_barray_ptr>(&a);
}

void TJpegCoefficients::Realize(j_common_ptr cinfo) {
  TJpegCoefficients* self = Of(cinfo);
  self->original_.realize_virt_arrays(cinfo);
  std::size_t widest = 0;
  for (int i = 0; i < self->count_; ++i) {
    Array& a = self->arrays_[i];
    if (a.blocks != nullptr) continue;
    a.blocks = static_cast<JBLOCK*>(std::calloc(std::size_t{a.window} * a.width, kBlockBytes));
    a.rows = static_cast<JBLOCKROW*>(std::malloc(a.window * sizeof(JBLOCKROW)));
    a.packed = static_cast<unsigned char**>(std::calloc(a.height, sizeof(unsigned char*)));
    if (a.blocks == nullptr || a.rows == nullptr || a.packed == nullptr) OutOfMemory(cinfo);
    for (JDIMENSION r = 0; r < a.window; ++r) a.rows[r] = a.blocks + std::size_t{r} * a.width;
    widest = std::max<std::size_t>(widest, a.width);
  }
  const std::size_t scratch = widest * (kMaskBytes + kBlockBytes);
  if (scratch > self->scratchSize_) {
    std::free(self->scratch_);
    self->scratch_ = static_cast<unsigned char*>(std::malloc(scratch));
    self->scratchSize_ = self->scratch_ != nullptr ? scratch : 0;
    if (self->scratch_ == nullptr) OutOfMemory(cinfo);
  }
}

// Packs the rows unpacked back into their rows' storage when they may have changed, and
// leaves the window all zeros, touching only the coefficients that are not; false when
// memory ran out.
bool TJpegCoefficients::Evict(Array& a) {
  for (JDIMENSION r = 0; r < a.held; ++r) {
    JBLOCKROW row = a.rows[r];
    unsigned char*& packed = a.packed[a.first + r];
    if (!a.dirty) {
      ForEachCoefficient(packed, a.width,
                         [&](JDIMENSION b, int k, const unsigned char*) { row[b][k] = 0; });
      continue;
    }
    unsigned char* out = scratch_;
    bool any = false;
    for (JDIMENSION b = 0; b < a.width; ++b) {
      JCOEF* block = row[b];
      uint64_t mask = 0;
      unsigned char* values = out + kMaskBytes;
      // Four coefficients at a time: most are zero.
      for (int k = 0; k < DCTSIZE2; k += 4) {
        uint64_t four = 0;
        std::memcpy(&four, &block[k], sizeof four);
        if (four == 0) continue;
        for (int i = k; i < k + 4; ++i) {
          if (block[i] == 0) continue;
          mask |= uint64_t{1} << i;
          std::memcpy(values, &block[i], sizeof(JCOEF));
          values += sizeof(JCOEF);
          block[i] = 0;
        }
      }
      std::memcpy(out, &mask, kMaskBytes);
      out = values;
      any |= mask != 0;
    }
    std::free(packed);
    packed = nullptr;
    if (!any) continue;
    const auto bytes = static_cast<std::size_t>(out - scratch_);
    packed = static_cast<unsigned char*>(std::malloc(bytes));
    if (packed == nullptr) return false;
    std::memcpy(packed, scratch_, bytes);
  }
  a.dirty = false;
  return true;
}

// Fills the window (all zeros) with the rows from `first` on.
void TJpegCoefficients::Unpack(Array& a, JDIMENSION first) {
  a.first = first;
  a.held = std::min(a.window, a.height - first);
  for (JDIMENSION r = 0; r < a.held; ++r) {
    JBLOCKROW row = a.rows[r];
    ForEachCoefficient(a.packed[first + r], a.width,
                       [&](JDIMENSION b, int k, const unsigned char* value) {
                         std::memcpy(&row[b][k], value, sizeof(JCOEF));
                       });
  }
}

JBLOCKARRAY TJpegCoefficients::Access(j_common_ptr cinfo, jvirt_barray_ptr array, JDIMENSION start,
                                      JDIMENSION rows, boolean writable) {
  TJpegCoefficients* self = Of(cinfo);
  Array* a = self->Own(array);
  if (a == nullptr) return self->original_.access_virt_barray(cinfo, array, start, rows, writable);
  if (a->blocks == nullptr || rows > a->window || start + rows > a->height)
    ERREXIT(cinfo, JERR_BAD_VIRTUAL_ACCESS);
  if (a->held == 0 || start < a->first || start + rows > a->first + a->held) {
    if (!self->Evict(*a)) OutOfMemory(cinfo);
    // Rows are mostly taken in order: the window starts at the first row asked for.
    self->Unpack(*a, std::min(start, a->height - a->window));
  }
  if (writable) a->dirty = true;
  return a->rows + (start - a->first);
}

void TJpegCoefficients::FreePool(j_common_ptr cinfo, int pool) {
  TJpegCoefficients* self = Of(cinfo);
  if (pool == JPOOL_IMAGE) self->Release();
  self->original_.free_pool(cinfo, pool);
}

void TJpegCoefficients::SelfDestruct(j_common_ptr cinfo) {
  TJpegCoefficients* self = Of(cinfo);
  self->Release();
  self->original_.self_destruct(cinfo);
}
