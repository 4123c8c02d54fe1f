// The raster state, the Palette, the allocation of the Framebuffer, and its
// immediate presentation.
#include <algorithm>
#include <cstring>

#include "raster/raster.h"
#include "platform/platform.h"

namespace vusk {

RasterState raster;

// Colours are 0x00RRGGBB, the byte order of a 32-bit DIB; never changed.
constexpr uint32_t palette[16] = {
    // value      index  look
    0x000000,  //  0  black
    0x404040,  //  1  dark grey
    0x808080,  //  2  grey
    0xD0D0D0,  //  3  light grey
    0xFFFFFF,  //  4  white
    0x008000,  //  5  green
    0x550055,  //  6  dark purple
    0xC04040,  //  7  brick red
    0x8080C0,  //  8  lavender
    0x80C080,  //  9  light green
    0xC08080,  // 10  pink
    0xC0A080,  // 11  tan
    0xC060C0,  // 12  orchid
    0x101010,  // 13  near black
    0xC0E000,  // 14  yellow-green
    0x000040,  // 15  navy
};
static_assert(sizeof palette / sizeof palette[0] == 16, "colour indices are 0..15");
// Only black is 0: a missing entry would leave the last one 0.
static_assert(std::all_of(palette + 1, palette + 16, [](uint32_t value) { return value != 0; }),
              "every colour but black is set");

// Frees the frame and zeroes the state; the font image belongs to the window.
void reset_raster_state() {
  free_block(raster.frame_pixels);
  std::memset(&raster, 0, sizeof raster);
}

// Sets the DirtyRect to empty: left/top past the frame, right/bottom at 0.
void reset_dirty_rect() {
  raster.dirty_min_x = raster.frame_width;
  raster.dirty_min_y = raster.frame_height;
  raster.dirty_max_x = 0;
  raster.dirty_max_y = 0;
}

void present_now() { invalidate_now(nullptr); }

// Replaces the pixel block with an uncleared one of frame_width x
// frame_height words and marks the whole frame dirty; ends the process when
// the memory cannot be had.
void alloc_framebuffer() {
  raster.frame_ready = 0;
  const uint64_t bytes = uint64_t{raster.frame_width} * raster.frame_height * 4;
  free_block(raster.frame_pixels);
  raster.frame_pixels = nullptr;
  // A block this size cannot be asked for at all; it counts as refused.
  if (bytes > UINT32_MAX) exit_process(1);
  raster.frame_pixels = static_cast<uint32_t*>(alloc_or_exit(static_cast<uint32_t>(bytes)));
  raster.frame_ready = 1;
  raster.dirty_min_x = 0;
  raster.dirty_min_y = 0;
  raster.dirty_max_x = raster.frame_width - 1u;
  raster.dirty_max_y = raster.frame_height - 1u;
}

}  // namespace vusk
