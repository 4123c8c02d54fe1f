// Placeholder until the raster primitives land.
#include "raster/raster.h"

#include <cstring>

#include "shell/platform.h"

namespace vusk {

RasterState raster;

void reset_raster_state() {
  free_block(raster.frame_pixels);
  std::memset(&raster, 0, sizeof raster);
}

const uint32_t palette[16] = {0x000000, 0x404040, 0x808080, 0xD0D0D0, 0xFFFFFF, 0x008000,
                              0x550055, 0xC04040, 0x8080C0, 0x80C080, 0xC08080, 0xC0A080,
                              0xC060C0, 0x101010, 0xC0E000, 0x000040};
const uint8_t builtin_font[256 * 13] = {};

void alloc_framebuffer() {}
void reset_dirty_rect() {}
void fill_rect(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void draw_line(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void draw_bevel(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void draw_glyph(uint32_t, uint32_t, uint32_t, uint32_t) {}
void draw_string(const char*, uint32_t, uint32_t, uint32_t) {}

}  // namespace vusk
