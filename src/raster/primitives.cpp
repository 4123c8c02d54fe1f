// Filled rectangles, solid and dotted lines, bevelled frames. Each figure is
// clipped to the frame once, up front; the DirtyRect grows by the figure's
// own extent, which the window procedure clamps before presenting.
#include <algorithm>

#include "raster/clip.h"
#include "raster/raster.h"

namespace vusk {

namespace {

// The first position of a run starting at `first` in steps of `step` that is
// not left of / above the frame, so that a dotted pattern stays anchored at
// its start.
int64_t first_in_frame(int64_t first, int64_t step) {
  return first < 0 ? first + (-first + step - 1) / step * step : first;
}

// Sets every step-th pixel of a line from `from` to `to` (inclusive) along
// one axis, at `across` on the other: row `across` of a horizontal line,
// column `across` of a vertical one. Pixels outside the frame are skipped.
void line_run(uint32_t c, bool vertical, uint32_t across, uint32_t from, uint32_t to, int64_t step) {
  const int64_t at = static_cast<int32_t>(across);
  const int64_t first = static_cast<int32_t>(from);
  const int64_t last = static_cast<int32_t>(to);
  const int64_t across_limit = vertical ? raster.frame_width : raster.frame_height;
  const int64_t along_limit = vertical ? raster.frame_height : raster.frame_width;
  if (last < first || at < 0 || at >= across_limit) return;
  const int64_t end = std::min<int64_t>(last, along_limit - 1);
  for (int64_t i = first_in_frame(first, step); i <= end; i += step) {
    if (vertical) {
      clip::row_start(i)[at] = c;
    } else {
      clip::row_start(at)[i] = c;
    }
  }
}

}  // namespace

// Fills width x height pixels from (x, y) with one palette colour.
void fill_rect(uint32_t colour, uint32_t height, uint32_t width, uint32_t y, uint32_t x) {
  clip::grow_dirty_min(x, y);
  clip::grow_dirty_max(x + width, y + height);
  const clip::Span cols = clip::visible(x, width, raster.frame_width);
  const clip::Span rows = clip::visible(y, height, raster.frame_height);
  if (cols.empty() || rows.empty()) return;
  const uint32_t c = clip::colour_of(colour);
  const int64_t count = cols.last - cols.first;
  for (int64_t r = rows.first; r < rows.last; ++r) std::fill_n(clip::row_start(r) + cols.first, count, c);
}

// A solid or dotted, horizontal or vertical line from (x, y) to `end`
// inclusive along its direction; other modes draw nothing.
void draw_line(uint32_t colour, uint32_t end, uint32_t y, uint32_t x, uint32_t mode) {
  clip::grow_dirty_min(x, y);
  const uint32_t c = clip::colour_of(colour);
  switch (mode) {
    case LINE_HORIZONTAL:
    case LINE_DOTTED_HORIZONTAL:
      line_run(c, false, y, x, end, mode == LINE_HORIZONTAL ? 1 : 2);
      clip::grow_dirty_max(end, y);
      break;
    case LINE_VERTICAL:
    case LINE_DOTTED_VERTICAL:
      // An end above y would be a negative length: nothing is drawn.
      line_run(c, true, x, y, end, mode == LINE_VERTICAL ? 1 : 2);
      clip::grow_dirty_max(x, end);
      break;
    default:
      clip::grow_dirty_max(x, y);
      break;
  }
}

// A two-pixel raised (sunken = 0) or sunken frame along the edges of the
// rectangle; its inside is left alone.
void draw_bevel(uint32_t sunken, uint32_t height, uint32_t width, uint32_t y, uint32_t x) {
  const uint32_t r = x + width - 1;
  const uint32_t b = y + height - 1;
  if (sunken == 0) {
    draw_line(1, r, b, x, LINE_HORIZONTAL);
    draw_line(1, b, y, r, LINE_VERTICAL);
    draw_line(4, r - 1, y, x, LINE_HORIZONTAL);
    draw_line(4, b - 1, y, x, LINE_VERTICAL);
    draw_line(2, r - 1, b - 1, x + 1, LINE_HORIZONTAL);
    draw_line(2, b - 1, y + 1, r - 1, LINE_VERTICAL);
  } else {
    draw_line(1, r, y, x, LINE_HORIZONTAL);
    draw_line(1, b, y, x, LINE_VERTICAL);
    draw_line(2, r, y + 1, x + 1, LINE_HORIZONTAL);
    draw_line(2, b, y + 1, x + 1, LINE_VERTICAL);
    draw_line(4, r, b, x + 1, LINE_HORIZONTAL);
    draw_line(4, b, y + 1, r, LINE_VERTICAL);
  }
}

}  // namespace vusk
