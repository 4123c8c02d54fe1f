// Writing bitmap rows into the frame, shared by the glyph drawing of the
// built-in, double-byte and Unicode fonts. Raster layer, private: only
// src/raster/*.cpp include it.
#pragma once
#include <bit>
#include <cstdint>

#include "raster/clip.h"
#include "raster/raster.h"

namespace vusk::glyph_bits {

// Writes colour c to the pixels of p[0..W) whose bit in `bits` is 1 (bit
// W-1 is p[0]) and leaves the others alone. Only the set bits are visited:
// stores alone run faster here than a read-and-blend of every pixel, whose
// loads keep colliding with the stores one frame row (4 KiB) apart.
template <int W>
inline void put_bits(uint32_t* p, uint32_t bits, uint32_t c) {
  for (; bits != 0; bits &= bits - 1) p[W - 1 - std::countr_zero(bits)] = c;
}

// Draws a W x H bitmap whose row r is row_bits(r) (bit W-1 leftmost) with its
// top-left corner at (x, y), clipped to the frame.
template <int W, int H, typename RowBits>
inline void blit(uint32_t c, uint32_t y, uint32_t x, RowBits row_bits) {
  const uint32_t fw = raster.frame_width;
  const uint32_t fh = raster.frame_height;
  if (x <= fw - W && fw >= W && y <= fh - H && fh >= H) {
    // Wholly inside: one start address, then a row step of -frame_width.
    uint32_t* p = raster.frame_pixels + (fh - 1 - y) * fw + x;
    for (int r = 0; r < H; ++r) {
      uint32_t* q = p - static_cast<int64_t>(r) * fw;
      put_bits<W>(q, row_bits(r), c);
    }
    return;
  }
  const clip::Span cols = clip::visible(x, W, fw);
  const clip::Span rows = clip::visible(y, H, fh);
  if (cols.empty() || rows.empty()) return;
  // Keep only the bits of the columns inside the frame.
  const int64_t x0 = static_cast<int32_t>(x);
  const int64_t y0 = static_cast<int32_t>(y);
  const int first_col = static_cast<int>(cols.first - x0);
  const int end_col = static_cast<int>(cols.last - x0);
  const uint32_t columns = ((1u << (end_col - first_col)) - 1) << (W - end_col);
  for (int64_t r = rows.first; r < rows.last; ++r) {
    uint32_t* row = clip::row_start(r);
    for (uint32_t bits = row_bits(static_cast<int>(r - y0)) & columns; bits != 0; bits &= bits - 1) {
      row[x0 + W - 1 - std::countr_zero(bits)] = c;
    }
  }
}

// Draws code point cp of glyph code UNICODE_GLYPH_BASE + cp in palette
// colour c (already looked up); the Unicode part of draw_glyph.
void draw_unicode_glyph(uint32_t cp, uint32_t c, uint32_t y, uint32_t x);

}  // namespace vusk::glyph_bits
