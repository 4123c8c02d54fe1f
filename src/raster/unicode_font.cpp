// The check of a Unicode glyph file and the lookup of a code point's glyph.
#include "raster/unicode_font.h"

#include <cstring>

#include "raster/raster.h"

namespace vusk {

namespace {

uint32_t read16(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }
uint32_t read32(const uint8_t* p) { return read16(p) | read16(p + 2) << 16; }

// The glyph count of `kind` in the file's header.
uint32_t kind_count(const uint8_t* image, uint32_t kind) { return read32(image + 12 + 4 * kind); }

uint32_t glyph_bytes(uint32_t kind) { return unicode_glyph_shapes[kind].height * unicode_glyph_shapes[kind].row_bytes; }

}  // namespace

bool unicode_font_accepts(const uint8_t* image, uint64_t bytes) {
  const uint64_t fixed = UNICODE_FONT_HEADER_BYTES + UNICODE_FONT_INDEX_BYTES;
  if (image == nullptr || bytes < fixed || bytes > UNICODE_FONT_MAX_BYTES) return false;
  if (std::memcmp(image, UNICODE_FONT_MAGIC, sizeof UNICODE_FONT_MAGIC) != 0) return false;
  if (read32(image + 8) != UNICODE_FONT_VERSION || read32(image + 28) != 0) return false;
  uint64_t glyphs = 0, length = fixed;
  for (uint32_t kind = 0; kind < UGK_KINDS; ++kind) {
    const uint64_t count = kind_count(image, kind);
    glyphs += count;
    length += count * glyph_bytes(kind);
  }
  if (glyphs > UNICODE_NO_GLYPH || length != bytes) return false;
  const uint8_t* index = image + UNICODE_FONT_HEADER_BYTES;
  for (uint32_t cp = 0; cp < UNICODE_FONT_INDEXED; ++cp) {
    const uint32_t n = read16(index + 2 * cp);
    if (n != UNICODE_NO_GLYPH && n >= glyphs) return false;
  }
  return true;
}

UnicodeGlyph unicode_glyph(uint32_t cp) {
  const uint8_t* image = raster.unicode_font;
  if (image == nullptr || cp >= UNICODE_FONT_INDEXED) return {UGK_8X13, nullptr};
  uint32_t n = read16(image + UNICODE_FONT_HEADER_BYTES + 2 * cp);
  if (n == UNICODE_NO_GLYPH) return {UGK_8X13, nullptr};
  // The bitmaps of the kinds follow one another; walk to the one holding n.
  const uint8_t* bits = image + UNICODE_FONT_HEADER_BYTES + UNICODE_FONT_INDEX_BYTES;
  for (uint32_t kind = 0; kind < UGK_KINDS; ++kind) {
    const uint32_t count = kind_count(image, kind);
    if (n < count) return {kind, bits + n * glyph_bytes(kind)};
    n -= count;
    bits += count * glyph_bytes(kind);
  }
  return {UGK_8X13, nullptr};  // not reached for an accepted file
}

}  // namespace vusk
