// Glyphs from the built-in 8x13 font and the optional 16x15 double-byte font,
// and strings of built-in glyphs. Only the pixels of 1 bits are written.
#include <bit>

#include "raster/clip.h"
#include "raster/raster.h"

namespace vusk {

namespace {

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

}  // namespace

// One glyph with its cell's top-left corner at (x, y): built-in glyph `code`
// below 256, double-byte glyph code - 256 otherwise (nothing without the font
// or past its last glyph).
void draw_glyph(uint32_t code, uint32_t colour, uint32_t y, uint32_t x) {
  clip::grow_dirty_min(x, y);
  if (y + 15 > raster.dirty_max_y) raster.dirty_max_y = y + 15;
  const uint32_t c = clip::colour_of(colour);
  if (code < 256) {
    if (x + 17 > raster.dirty_max_x) raster.dirty_max_x = x + 17;
    const uint8_t* glyph = builtin_font + 13 * code;
    blit<8, 13>(c, y, x, [glyph](int r) { return uint32_t{glyph[r]}; });
    return;
  }
  const uint32_t k = code - 256;
  if (raster.jis_font == nullptr || k >= JIS_GLYPHS) return;
  if (x + 17 > raster.dirty_max_x) raster.dirty_max_x = x + 17;
  const uint8_t* glyph = raster.jis_font + JIS_GLYPH_BYTES * k;
  blit<16, 15>(c, y, x, [glyph](int r) { return uint32_t{glyph[2 * r]} << 8 | glyph[2 * r + 1]; });
}

// The bytes of a zero-terminated string as built-in glyphs, 9 pixels apart.
void draw_string(const char* text, uint32_t colour, uint32_t y, uint32_t x) {
  raster.redraw_pending = 1;
  for (; *text != 0; ++text, x += 9) draw_glyph(static_cast<uint8_t>(*text), colour, y, x);
}

}  // namespace vusk
