// Glyphs from the built-in 8x13 font and the optional 16x15 double-byte font,
// the dispatch of Unicode glyph codes, and strings of built-in glyphs. Only
// the pixels of 1 bits are written.
#include "raster/clip.h"
#include "raster/glyph_bits.h"
#include "raster/raster.h"

namespace vusk {

using glyph_bits::blit;

// One glyph with its cell's top-left corner at (x, y): built-in glyph `code`
// below 256, a Unicode code point from UNICODE_GLYPH_BASE on, double-byte
// glyph code - 256 otherwise (nothing without the font or past its last
// glyph).
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
  if (code - UNICODE_GLYPH_BASE < UNICODE_CODE_POINTS) {
    glyph_bits::draw_unicode_glyph(code - UNICODE_GLYPH_BASE, c, y, x);
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
