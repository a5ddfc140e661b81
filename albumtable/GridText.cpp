#include "GridText.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace {

// Numbers kept as numbers: the digits of a whole number without a leading zero, short
// enough to be exact as a double.
constexpr std::size_t kMaxDigits = 15;

bool IsPlainNumber(std::string_view text) {
  if (text.empty() || text.size() > kMaxDigits || (text[0] == '0' && text.size() > 1)) {
    return false;
  }
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TGridText::TCell TGridText::Store(std::string_view text) {
  if (text.empty()) return kEmpty;
  if (IsPlainNumber(text)) {
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return kNumberFlag | value;
  }
  const TLength length =
      TLength(std::min<std::size_t>(text.size(), std::numeric_limits<TLength>::max()));
  const std::size_t at = m_bytes.size();
  // The text may be one this buffer holds, which growing it would move.
  const bool inside =
      !m_bytes.empty() && text.data() >= m_bytes.data() && text.data() < m_bytes.data() + at;
  const std::size_t from = inside ? std::size_t(text.data() - m_bytes.data()) : 0;
  m_bytes.resize(at + sizeof length + length);
  std::memcpy(m_bytes.data() + at, &length, sizeof length);
  std::memcpy(m_bytes.data() + at + sizeof length, inside ? m_bytes.data() + from : text.data(),
              length);
  // Offsets count from 1, so no text cell is ever empty.
  return TCell(at) + 1;
}

void TGridText::Release(TCell cell) {
  if (cell == kEmpty || IsNumber(cell)) return;
  TLength length;
  std::memcpy(&length, m_bytes.data() + cell - 1, sizeof length);
  m_released += sizeof length + length;
}

std::string_view TGridText::View(TCell cell, TScratch& scratch) const {
  if (cell == kEmpty) return {};
  if (IsNumber(cell)) {
    const auto end =
        std::to_chars(scratch.data(), scratch.data() + scratch.size(), Number(cell)).ptr;
    return {scratch.data(), std::size_t(end - scratch.data())};
  }
  TLength length;
  std::memcpy(&length, m_bytes.data() + cell - 1, sizeof length);
  return {m_bytes.data() + cell - 1 + sizeof length, length};
}

void TGridText::Reserve(std::size_t count, std::size_t bytes) {
  m_bytes.reserve(m_bytes.size() + count * sizeof(TLength) + bytes);
}

void TGridText::Collect(std::initializer_list<std::span<TCell>> lists) {
  // Small buffers are not worth the pass over every cell.
  constexpr std::size_t kMinReleased = 1 << 16;
  if (m_released < kMinReleased || m_released * 2 < m_bytes.size()) return;
  std::vector<char> packed;
  packed.reserve(m_bytes.size() - m_released);
  for (std::span<TCell> list : lists) {
    for (TCell& cell : list) {
      if (cell == kEmpty || IsNumber(cell)) continue;
      TLength length;
      std::memcpy(&length, m_bytes.data() + cell - 1, sizeof length);
      const char* from = m_bytes.data() + cell - 1;
      cell = TCell(packed.size()) + 1;
      packed.insert(packed.end(), from, from + sizeof length + length);
    }
  }
  m_bytes = std::move(packed);
  m_released = 0;
}
