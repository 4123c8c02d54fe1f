// The Unicode glyph file "unicodefont.bin": its format, the check a file must
// pass before it is used, and the lookup of a code point's glyph in the image
// that raster.unicode_font points to. tools/make_unicode_font.cpp writes the
// file at build time from the misc-fixed 8x13, k14 and GNU Unifont fonts
// (see FONT-NOTE.md). Raster layer: includes nothing; the window (which
// loads the file), the drawing and the generator include it.
//
// Format, every number little-endian:
//   bytes 0..7     the magic "VUSKGLYF"
//   bytes 8..11    the format version, 1
//   bytes 12..27   the glyph count of each of the four kinds below, in order
//   bytes 28..31   zero
//   bytes 32..     the index: 65536 16-bit glyph numbers, one per code point
//                  U+0000..U+FFFF; 0xFFFF for a code point without a glyph
//   then           the bitmaps in glyph-number order: glyphs 0 .. count[0]-1
//                  are of kind 0, the next count[1] of kind 1, and so on.
// The file is exactly that long; every index entry names an existing glyph.
// A bitmap is its rows, top row first, each row 1 byte (8 pixels wide) or
// 2 bytes high byte first (16 wide), the leftmost pixel in the highest bit.
// Each glyph is drawn with its top-left corner at the cell's top-left corner:
//   UGK_8X13   misc-fixed 8x13, as the built-in font's glyphs (same rows)
//   UGK_16X15  wide, as a glyph of jisfont.bin: k14 at column 1, row 0
//   UGK_8X16   GNU Unifont, one cell
//   UGK_16X16  GNU Unifont, two cells
#pragma once
#include <cstdint>

namespace vusk {

constexpr char UNICODE_FONT_NAME[] = "unicodefont.bin";
constexpr char UNICODE_FONT_MAGIC[8] = {'V', 'U', 'S', 'K', 'G', 'L', 'Y', 'F'};
constexpr uint32_t UNICODE_FONT_VERSION = 1;
constexpr uint32_t UNICODE_FONT_HEADER_BYTES = 32;
constexpr uint32_t UNICODE_FONT_INDEXED = 0x10000;  // code points U+0000..U+FFFF
constexpr uint32_t UNICODE_FONT_INDEX_BYTES = 2 * UNICODE_FONT_INDEXED;
constexpr uint16_t UNICODE_NO_GLYPH = 0xFFFF;  // also the limit of glyph numbers

// The kinds of glyph bitmap, in file order.
enum UnicodeGlyphKind : uint32_t { UGK_8X13, UGK_16X15, UGK_8X16, UGK_16X16, UGK_KINDS };
struct UnicodeGlyphShape {
  uint32_t width, height, row_bytes;  // pixels, rows, bytes per row
};
constexpr UnicodeGlyphShape unicode_glyph_shapes[UGK_KINDS] = {{8, 13, 1}, {16, 15, 2}, {8, 16, 1}, {16, 16, 2}};

// The largest file the format allows: every glyph number used, at the
// largest bitmap.
constexpr uint32_t UNICODE_FONT_MAX_BYTES = UNICODE_FONT_HEADER_BYTES + UNICODE_FONT_INDEX_BYTES + 0xFFFFu * 32;

// Whether image[0..bytes) is a whole, consistent glyph file: the magic, the
// version, a length that matches the counts, and an index whose every entry
// names a glyph. Only an accepted image may become raster.unicode_font.
bool unicode_font_accepts(const uint8_t* image, uint64_t bytes);

// One glyph of the loaded file: its kind and its bitmap.
struct UnicodeGlyph {
  uint32_t kind;        // a UnicodeGlyphKind
  const uint8_t* bits;  // null: no glyph (or no file)
};
// The glyph of code point cp in raster.unicode_font; bits is null without a
// file, past U+FFFF and for code points the file has no glyph for.
UnicodeGlyph unicode_glyph(uint32_t cp);

}  // namespace vusk
