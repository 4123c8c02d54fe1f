// The painter of text rows: one row of document text with the Selection's
// highlight and, on the cursor's row, the cursor.
#include "editor/text_row.h"

#include "editor/sjis.h"
#include "editor/text_view.h"
#include "raster/raster.h"
#include "widgets/widget_table.h"

namespace vusk {

uint8_t colour_scheme[4] = {7, 13, 13, 7};

namespace {

constexpr uint32_t CELL = 9;
constexpr uint32_t CURSOR_COLOUR = 14;

// Whether the character that ends just before `past` is selected: its last
// byte lies in [sel_start, sel_end).
bool selected(const uint8_t* past) {
  const auto a = reinterpret_cast<uintptr_t>(past);
  return reinterpret_cast<uintptr_t>(view.sel_start) < a && a <= reinterpret_cast<uintptr_t>(view.sel_end);
}

// The row's characters from p, drawn from cx up to the last cell that
// starts before `limit`. A double-width character needs the next cell
// drawable too, and a line end is never taken for its trail byte.
void paint_characters(const uint8_t* p, uint32_t cx, uint32_t limit, uint32_t y, uint32_t h) {
  while (cx < limit) {
    const uint8_t ch = *p++;
    if (is_line_end(ch)) break;
    uint32_t width = CELL;
    uint32_t code = ch;
    if (is_lead_byte(ch)) {
      if (cx + CELL >= limit || is_line_end(*p)) break;
      code = pair_glyph(ch, *p++);
      width = 2 * CELL;
    }
    uint32_t colour = colour_scheme[0];
    if (selected(p)) {
      fill_rect(colour_scheme[3], h, width, y, cx);
      colour = colour_scheme[2];
    }
    if (code != 0x20) draw_glyph(code, colour, y, cx);
    cx += width;
  }
}

// The cursor in column cursor_col of the row at (x, y): an outline box in
// overwrite mode, a two-pixel underline in insert mode.
void paint_cursor(uint32_t x, uint32_t y, uint32_t h) {
  const uint32_t kx = x + CELL * view.cursor_col;
  const uint32_t kr = kx + 8;
  const uint32_t kb = y + h - 1;
  if (view.insert_mode == 0) {
    draw_line(CURSOR_COLOUR, kr, y, kx, LINE_HORIZONTAL);
    draw_line(CURSOR_COLOUR, kb, y, kx, LINE_VERTICAL);
    draw_line(CURSOR_COLOUR, kb, y, kr, LINE_VERTICAL);
    draw_line(CURSOR_COLOUR, kr, kb, kx, LINE_HORIZONTAL);
  } else {
    draw_line(CURSOR_COLOUR, kr, kb - 1, kx, LINE_HORIZONTAL);
    draw_line(CURSOR_COLOUR, kr, kb, kx, LINE_HORIZONTAL);
  }
}

}  // namespace

uint8_t text_row_background() { return colour_scheme[1]; }

void paint_text_row(int32_t slot) {
  const int32_t i = slot_index(slot);
  const uint32_t x = wt.w_x[i], y = wt.w_y[i], h = wt.w_height[i];
  const auto* rows = static_cast<uint8_t* const*>(wt.w_data[i].ptr);
  const uint8_t* p = rows != nullptr ? rows[wt.w_param[i]] : nullptr;
  if (p != nullptr) paint_characters(p, x + CELL * wt.w_value[i], x + wt.w_width[i] - CELL, y, h);
  if (wt.w_param[i] == view.cursor_row) paint_cursor(x, y, h);
}

}  // namespace vusk
