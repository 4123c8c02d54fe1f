// The painter of text rows: one row of document text with the Selection's
// highlight and, on the cursor's row, the cursor.
#include "editor/text_row.h"

#include <algorithm>

#include "editor/cells.h"
#include "editor/document.h"
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

// The zero-width followers of a cell, drawn over it.
void paint_followers(const uint8_t* p, const uint8_t* end, uint32_t colour, uint32_t y, uint32_t cx) {
  while (p < end) {
    const Utf8Char c = decode_utf8(p, end);
    if (c.bytes == 0) return;
    draw_glyph(UNICODE_GLYPH_BASE + c.cp, colour, y, cx);
    p += c.bytes;
  }
}

// One UTF-8 cell at cx: its background when selected, then its glyph, its
// followers, or, for a byte of no character, its hex digits.
void paint_cell(const uint8_t* p, const Cell& c, uint32_t width, uint32_t y, uint32_t h, uint32_t cx) {
  const bool chosen = selected(p + 1);
  const uint32_t colour = chosen ? colour_scheme[2] : colour_scheme[0];
  if (chosen) fill_rect(colour_scheme[3], h, width, y, cx);
  switch (c.kind) {
    case CELL_INVALID:
      // Distinct from any character: the selection's colours, inverted when selected.
      draw_hex_byte(c.cp, chosen ? colour_scheme[0] : colour_scheme[2], chosen ? colour_scheme[1] : colour_scheme[3],
                    y, cx);
      return;
    case CELL_TAB: break;
    case CELL_CHAR: draw_glyph(UNICODE_GLYPH_BASE + c.cp, colour, y, cx); break;
    case CELL_BYTE:
      if (c.cp != 0x20) draw_glyph(c.cp, colour, y, cx);
      break;
  }
  paint_followers(p + c.base_bytes, p + c.bytes, colour, y, cx);
}

// The row's UTF-8 cells from p, which stands at display column `column`,
// drawn from cx up to the last cell that starts before `limit`; a wide
// character needs its second cell drawable too, and a tab is cut at it.
void paint_cells(const uint8_t* p, uint32_t column, uint32_t cx, uint32_t limit, uint32_t y, uint32_t h) {
  while (cx < limit && !is_line_end(*p)) {
    const Cell c = cell_at(p, column);
    if (c.kind != CELL_TAB && c.width > 1 && cx + CELL * (c.width - 1) >= limit) break;
    const uint32_t width = std::min(CELL * c.width, limit + CELL - cx);
    paint_cell(p, c, width, y, h, cx);
    p += c.bytes;
    column += c.width;
    cx += CELL * c.width;
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
  if (p != nullptr) {
    const uint32_t from = x + CELL * wt.w_value[i], limit = x + wt.w_width[i] - CELL;
    if (doc.encoding == ENCODING_UTF8) {
      paint_cells(p, static_cast<uint32_t>(view.left_col) + wt.w_value[i], from, limit, y, h);
    } else {
      paint_characters(p, from, limit, y, h);
    }
  }
  if (wt.w_param[i] == view.cursor_row) paint_cursor(x, y, h);
}

}  // namespace vusk
