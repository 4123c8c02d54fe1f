// Clipping and DirtyRect helpers shared by the primitives. Coordinates reach
// the primitives as unsigned 32-bit values; a figure that starts left of or
// above the frame arrives with a huge x or y, so positions are read as two's
// complement. Raster layer, private: only src/raster/*.cpp include it.
#pragma once
#include <cstdint>

#include "raster/raster.h"

namespace vusk::clip {

// A run of frame positions first <= p < last along one axis; empty when
// first >= last.
struct Span {
  int64_t first, last;
  bool empty() const { return first >= last; }
};

// The part of the run of `length` positions from `start` that lies in
// 0 <= p < limit.
inline Span visible(uint32_t start, uint64_t length, uint32_t limit) {
  const int64_t s = static_cast<int32_t>(start);
  const int64_t e = s + static_cast<int64_t>(length);
  return {s < 0 ? 0 : s, e > limit ? int64_t{limit} : e};
}

// The palette colour of an index; indices wrap at 16 so that a bad index
// still names a colour instead of reading past the palette.
inline uint32_t colour_of(uint32_t index) { return palette[index & 15u]; }

// Lowers the DirtyRect's left and top (unsigned comparisons).
inline void grow_dirty_min(uint32_t x, uint32_t y) {
  if (x < raster.dirty_min_x) raster.dirty_min_x = x;
  if (y < raster.dirty_min_y) raster.dirty_min_y = y;
}

// Raises the DirtyRect's right and bottom.
inline void grow_dirty_max(uint32_t right, uint32_t bottom) {
  if (right > raster.dirty_max_x) raster.dirty_max_x = right;
  if (bottom > raster.dirty_max_y) raster.dirty_max_y = bottom;
}

// The first word of frame row y (0 <= y < frame_height).
inline uint32_t* row_start(int64_t y) {
  return raster.frame_pixels + (static_cast<int64_t>(raster.frame_height) - 1 - y) * raster.frame_width;
}

}  // namespace vusk::clip
