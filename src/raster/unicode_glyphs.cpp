// Drawing Unicode code points from the glyph file, the replacement box of a
// code point without a glyph, and a byte as two small hex digits.
#include <algorithm>

#include "raster/clip.h"
#include "raster/glyph_bits.h"
#include "raster/raster.h"
#include "raster/unicode_font.h"
#include "raster/unicode_width.h"

namespace vusk {

namespace {

using glyph_bits::blit;

// A W x H bitmap of the file (rows of 1 or 2 bytes, high byte first).
template <int W, int H>
void draw_bitmap(const uint8_t* bits, uint32_t c, uint32_t y, uint32_t x) {
  if constexpr (W == 8) {
    blit<8, H>(c, y, x, [bits](int r) { return uint32_t{bits[r]}; });
  } else {
    blit<16, H>(c, y, x, [bits](int r) { return uint32_t{bits[2 * r]} << 8 | bits[2 * r + 1]; });
  }
}

// The replacement box: an outline of glyph size in one cell or across two,
// from row BOX_TOP to BOX_BOTTOM.
constexpr int BOX_TOP = 1;
constexpr int BOX_BOTTOM = 11;
template <int W>
void draw_box(uint32_t c, uint32_t y, uint32_t x, uint32_t edge, uint32_t sides) {
  blit<W, BOX_BOTTOM + 1>(c, y, x, [edge, sides](int r) {
    return r == BOX_TOP || r == BOX_BOTTOM ? edge : r > BOX_TOP && r < BOX_BOTTOM ? sides : 0u;
  });
}

// The hex digits 0..F, 3 pixels wide and 5 rows high: row 0 in bits 14..12.
constexpr uint16_t HEX_DIGITS[16] = {
    0b111'101'101'101'111, 0b010'110'010'010'111, 0b111'001'111'100'111, 0b111'001'111'001'111,
    0b101'101'111'001'001, 0b111'100'111'001'111, 0b111'100'111'101'111, 0b111'001'001'001'001,
    0b111'101'111'101'111, 0b111'101'111'001'111, 0b010'101'111'101'101, 0b110'101'110'101'110,
    0b011'100'100'100'011, 0b110'101'101'101'110, 0b111'100'111'100'111, 0b111'100'111'100'100,
};
constexpr int HEX_ROWS = 5;
constexpr uint32_t HEX_TOP = 5;  // the digits' first row in the cell, about the letters' middle

uint32_t digit_row(uint32_t digit, int r) { return HEX_DIGITS[digit] >> (3 * (HEX_ROWS - 1 - r)) & 7u; }

}  // namespace

namespace glyph_bits {

// The code point's glyph in its cells, or the replacement box when the file
// has none and the code point takes a cell.
void draw_unicode_glyph(uint32_t cp, uint32_t c, uint32_t y, uint32_t x) {
  if (y + TEXT_CELL_ROWS > raster.dirty_max_y) raster.dirty_max_y = y + TEXT_CELL_ROWS;
  const uint32_t width = unicode_cell_width(cp);
  const UnicodeGlyph glyph = unicode_glyph(cp);
  if (glyph.bits == nullptr) {
    if (width == 0) return;
    clip::grow_dirty_max(x + TEXT_CELL_WIDTH * width, 0);
    if (width == 1) {
      draw_box<8>(c, y, x, 0xFE, 0x82);
    } else {
      draw_box<16>(c, y, x, 0x7FFE, 0x4002);
    }
    return;
  }
  const uint32_t cells = std::max<uint32_t>(width, 1);
  clip::grow_dirty_max(x + std::max(TEXT_CELL_WIDTH * cells, unicode_glyph_shapes[glyph.kind].width), 0);
  switch (glyph.kind) {
    case UGK_8X13: draw_bitmap<8, 13>(glyph.bits, c, y, x); break;
    case UGK_16X15: draw_bitmap<16, 15>(glyph.bits, c, y, x); break;
    case UGK_8X16: draw_bitmap<8, 16>(glyph.bits, c, y, x); break;
    default: draw_bitmap<16, 16>(glyph.bits, c, y, x); break;
  }
}

}  // namespace glyph_bits

// The cell's background, then the high digit at columns 1..3 and the low
// one at columns 5..7.
void draw_hex_byte(uint32_t byte, uint32_t colour, uint32_t background, uint32_t y, uint32_t x) {
  raster.redraw_pending = 1;
  fill_rect(background, TEXT_CELL_ROWS, TEXT_CELL_WIDTH, y, x);
  const uint32_t high = byte >> 4 & 15u, low = byte & 15u;
  blit<8, HEX_ROWS>(clip::colour_of(colour), y + HEX_TOP, x,
                    [high, low](int r) { return digit_row(high, r) << 4 | digit_row(low, r); });
}

}  // namespace vusk
