// The Framebuffer, the DirtyRect, the Palette, the fonts and the drawing
// primitives. Owns every pixel write except the image and waveform
// opcodes of the label interpreter, which use the same addressing.
// Raster layer: includes the platform only; the widgets and every layer
// above may include it.
#pragma once
#include <cstdint>

namespace vusk {

// The Framebuffer, the DirtyRect and the font images.
struct RasterState {
  uint32_t* frame_pixels;  // bottom-up rows of 0x00RRGGBB words
  uint16_t frame_width;
  uint16_t frame_height;
  uint8_t frame_ready;     // 1 while frame_pixels is valid
  uint32_t dirty_min_x, dirty_min_y, dirty_max_x, dirty_max_y;
  uint8_t redraw_pending;  // something drew since the last presentation
  const uint8_t* jis_font; // the double-byte font image, or null
  const uint8_t* unicode_font;  // an accepted Unicode glyph file (unicode_font.h), or null
};
extern RasterState raster;  // the one frame

// Frees the frame and zeroes the state (the font images are owned by the window).
void reset_raster_state();

// The double-byte font: 8836 glyphs of 16 x 15 pixels, 30 bytes each.
constexpr uint32_t JIS_GLYPHS = 8836;
constexpr uint32_t JIS_GLYPH_BYTES = 30;
constexpr uint32_t JIS_FONT_BYTES = JIS_GLYPHS * JIS_GLYPH_BYTES;  // 265080

// A text cell: 9 pixels across (8 of glyph, 1 of gap), 16 rows down.
constexpr uint32_t TEXT_CELL_WIDTH = 9;
constexpr uint32_t TEXT_CELL_ROWS = 16;

// Glyph code UNICODE_GLYPH_BASE + cp draws Unicode code point cp (below
// UNICODE_CODE_POINTS) from the Unicode glyph file, far above the built-in
// codes 0..255 and the double-byte codes 256..256+8835.
constexpr uint32_t UNICODE_GLYPH_BASE = 0x01000000;
constexpr uint32_t UNICODE_CODE_POINTS = 0x110000;

// The 16 fixed colours, 0x00RRGGBB, by palette index.
extern const uint32_t palette[16];
// The built-in 8x13 font: 13 rows of 8 pixels per glyph code, high bit left.
extern const uint8_t builtin_font[256 * 13];

// The lines draw_line draws: solid or every other pixel, across or down.
enum LineMode : uint32_t {
  LINE_HORIZONTAL = 0,
  LINE_VERTICAL = 1,
  LINE_DOTTED_HORIZONTAL = 2,
  LINE_DOTTED_VERTICAL = 3,
};

// The word of pixel (x, y): rows are stored bottom-up.
inline uint32_t* pixel_address(uint32_t y, uint32_t x) {
  return raster.frame_pixels + (static_cast<uint32_t>(raster.frame_height) - 1 - y) * raster.frame_width + x;
}

// (Re)allocates frame_pixels for frame_width x frame_height; the DirtyRect
// then covers the whole frame.
void alloc_framebuffer();
// Sets the DirtyRect to its empty state.
void reset_dirty_rect();
// Repaints the whole window from the frame at once (the platform's
// invalidate_now of everything), for long operations that show progress.
void present_now();

// The primitives. Colours are palette indices; every figure is clipped to the
// frame (a coordinate of 2^31 or more counts as negative), while the
// DirtyRect grows by the whole figure; the presentation clamps it.

// Fills width x height pixels from (x, y).
void fill_rect(uint32_t colour, uint32_t height, uint32_t width, uint32_t y, uint32_t x);
// A solid or dotted line (LineMode) from (x, y) to `end` inclusive along its
// direction; nothing when `end` lies before the start or the mode is unknown.
void draw_line(uint32_t colour, uint32_t end, uint32_t y, uint32_t x, uint32_t mode);
// A two-pixel raised (sunken = 0) or sunken frame; the inside is left alone.
void draw_bevel(uint32_t sunken, uint32_t height, uint32_t width, uint32_t y, uint32_t x);
// Built-in glyph `code` (< 256), double-byte glyph code - 256, or code point
// code - UNICODE_GLYPH_BASE, with its cell's top-left corner at (x, y); only
// pixels of 1 bits are written. A code point takes unicode_cell_width(cp)
// cells of TEXT_CELL_WIDTH x TEXT_CELL_ROWS; a zero-width one is drawn over
// the cell at x as it stands (a combining mark over the character before).
// A code point of one or two cells without a glyph (or without the file)
// draws a replacement box in its cells; a zero-width one then draws nothing.
void draw_glyph(uint32_t code, uint32_t colour, uint32_t y, uint32_t x);
// One text cell at (x, y) filled with `background`, with the two hex digits
// of `byte` (its low 8 bits) small in `colour`: how a byte that is no
// character shows; sets redraw_pending.
void draw_hex_byte(uint32_t byte, uint32_t colour, uint32_t background, uint32_t y, uint32_t x);
// A zero-terminated string of built-in glyphs, 9 pixels apart; sets
// redraw_pending.
void draw_string(const char* text, uint32_t colour, uint32_t y, uint32_t x);

}  // namespace vusk
