// Shift_JIS as the editor shows it: which bytes open a double-width
// character, and which double-byte glyph a pair shows. Editing and the
// cursor count bytes; display, row placement and where a match may start or
// end pair them. Editor layer, header only: the editor, the files and the
// layers above may include it.
#pragma once
#include <cstdint>

namespace vusk {

// Whether `c` is a Shift_JIS lead byte (0x81..0x9F or 0xE0..0xEF): with the
// byte after it, unless that byte ends the line, one double-width character.
constexpr bool is_lead_byte(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF); }

// Whether `c` ends a row of text: a line feed or the end marker.
constexpr bool is_line_end(uint8_t c) { return c == 0x0A || c == 0x0D; }

// The glyph code (256 + double-byte glyph index) of the pair lead, trail:
// for well-formed Shift_JIS, 256 plus the JIS X 0208 linear index. Other
// trail bytes give whatever index the same arithmetic gives (the raster
// draws nothing past the font's last glyph).
constexpr uint32_t pair_glyph(uint8_t lead, uint8_t trail) {
  const uint32_t row = lead <= 0x9F ? lead - 0x81u : lead - 0xC1u;
  uint32_t t = trail - 0x40u;
  if (t >= 63) t -= 1;
  return 256 + 188 * row + t;
}

}  // namespace vusk
