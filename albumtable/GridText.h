// The texts of a grid's cells, held compactly. A cell is one 64-bit word: empty, a plain
// number (the digits of a whole number, as the album table's disc and track columns hold,
// kept as the number itself), or the place of its text in one shared buffer. A text that is
// written over leaves its bytes behind until Collect packs the buffer.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

class TGridText {
 public:
  using TCell = std::uint64_t;
  static constexpr TCell kEmpty = 0;
  // Room to spell out the longest number a cell holds as a number.
  using TScratch = std::array<char, 16>;

  // A cell holding text; texts of 4 GiB and more are cut there.
  TCell Store(std::string_view text);
  // The cell's text is no longer used.
  void Release(TCell cell);
  // The text of cell: a view into the buffer (valid until the next Store or Collect), or
  // the number spelled out in scratch.
  std::string_view View(TCell cell, TScratch& scratch) const;

  static bool IsNumber(TCell cell) { return (cell & kNumberFlag) != 0; }
  static std::uint64_t Number(TCell cell) { return cell & ~kNumberFlag; }

  // Makes room for count more texts of bytes characters in all.
  void Reserve(std::size_t count, std::size_t bytes);
  // Packs the buffer when released texts take more of it than live ones. lists hold every
  // live cell; their text cells get their new places.
  void Collect(std::initializer_list<std::span<TCell>> lists);
  // Bytes the buffer holds, released ones included.
  std::size_t Size() const { return m_bytes.size(); }

 private:
  static constexpr TCell kNumberFlag = TCell(1) << 63;
  using TLength = std::uint32_t;

  std::vector<char> m_bytes;  // each text: its length, then its characters
  std::size_t m_released = 0;
};
