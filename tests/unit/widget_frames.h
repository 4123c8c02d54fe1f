// Frame helpers shared by the widget, label and screen tests: a clean state
// with a framebuffer of a chosen size, pixel reads, and a comparison of what
// a widget drew against the same figures drawn with the raster primitives.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "screens/panel_ids.h"
#include "raster/raster.h"
#include "app/startup.h"
#include "widgets/label.h"
#include "widgets/widget_table.h"

namespace vusk::test {

constexpr uint32_t PAPER = 5;  // what the frame shows where nothing drew

inline void clear_frame() {
  fill_rect(PAPER, raster.frame_height, raster.frame_width, 0, 0);
  reset_dirty_rect();
  raster.redraw_pending = 0;
}

// Every subsystem reset, then a w x h frame filled with PAPER, an empty
// DirtyRect and no redraw pending.
inline void open_frame(uint16_t w = 1024, uint16_t h = 768) {
  reset_all_state();
  raster.frame_width = w;
  raster.frame_height = h;
  alloc_framebuffer();
  clear_frame();
}

inline uint32_t pixel(uint32_t y, uint32_t x) { return *pixel_address(y, x); }

inline std::vector<uint32_t> snapshot() {
  const uint32_t* p = raster.frame_pixels;
  return std::vector<uint32_t>(p, p + static_cast<size_t>(raster.frame_width) * raster.frame_height);
}

// The pixels of a region, top row first.
inline std::vector<uint32_t> region(uint32_t y, uint32_t x, uint32_t height, uint32_t width) {
  std::vector<uint32_t> out;
  for (uint32_t r = 0; r < height; ++r) {
    for (uint32_t i = 0; i < width; ++i) out.push_back(pixel(y + r, x + i));
  }
  return out;
}

// Draws `slot`, then the expected figures on a fresh frame, and compares
// the two frames pixel by pixel.
inline void expect_drawn_as(int32_t slot, const std::function<void()>& expected) {
  clear_frame();
  draw_widget(slot);
  const std::vector<uint32_t> drawn = snapshot();
  clear_frame();
  expected();
  const std::vector<uint32_t> wanted = snapshot();
  size_t differ = 0;
  for (size_t i = 0; i < drawn.size(); ++i) differ += drawn[i] != wanted[i];
  EXPECT_EQ(differ, 0u) << "pixels that differ from the expected drawing";
}

// Expected drawing of label text: each non-space character of `cells` as a
// glyph, 9 pixels apart from (x, y).
inline void glyphs(const char* cells, uint32_t colour, uint32_t y, uint32_t x) {
  for (uint32_t i = 0; cells[i] != 0; ++i) {
    if (cells[i] != ' ') draw_glyph(static_cast<uint8_t>(cells[i]), colour, y, x + 9 * i);
  }
}

// How many pixels of the h x w area at (y, x) show palette colour `colour`.
inline size_t pixels_in(uint32_t colour, uint32_t y, uint32_t x, uint32_t h, uint32_t w) {
  size_t n = 0;
  for (uint32_t dy = 0; dy < h; ++dy) {
    for (uint32_t dx = 0; dx < w; ++dx) n += pixel(y + dy, x + dx) == palette[colour];
  }
  return n;
}

// Places one widget in slot 0 (the table then holds only it).
inline int32_t single_widget(const uint8_t* label, uint16_t x, uint16_t y, uint16_t w, uint16_t h,
                             uint8_t colour = 10, uint8_t kind = WK_BUTTON, uint8_t flags = 0,
                             void* data = nullptr) {
  const PanelRecord record{label, WidgetData(data),        static_cast<int16_t>(x), static_cast<int16_t>(y),
                           static_cast<int16_t>(w), h, 0, 0, kind, colour, flags, 0, 0};
  fill_slot(0, record, PANEL_FILE_MENU);
  wt.widget_end = 4;
  return 0;
}

}  // namespace vusk::test
