// The text view: rows and the bottom bar for the frame size (and the row cap
// on very tall frames), row pointers, the scroll thumb both ways, the scroll
// handlers' limits and the cursor placed by the mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "commands/commands.h"
#include "editor/document.h"
#include "editor/text_row.h"
#include "editor/text_view.h"
#include "screens/screens.h"
#include "platform/platform.h"
#include "widget_frames.h"

using namespace vusk;
using namespace vusk::test;
using namespace std::string_literals;

namespace {

// Replaces the Document by `bytes` (end marker and dead bytes included).
void make_document(const std::string& bytes) {
  create_empty_document();
  free_block(doc.text_buffer);
  doc.text_capacity = static_cast<uint32_t>(bytes.size()) + 64;
  doc.text_buffer = static_cast<uint8_t*>(alloc_or_exit(doc.text_capacity));
  std::memcpy(doc.text_buffer, bytes.data(), bytes.size());
  doc.text_length = static_cast<uint32_t>(bytes.size());
  doc.last_line = static_cast<uint32_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  rebuild_line_table(0);
}

// A clean state with a w x h frame (pixels only when asked: the layout
// itself draws nothing), the Document, and the layout of start-up.
void lay_out(uint16_t w, uint16_t h, const std::string& text = "   \r", bool pixels = true) {
  if (pixels) {
    open_frame(w, h);
  } else {
    reset_all_state();
    raster.frame_width = w;
    raster.frame_height = h;
  }
  make_document(text);
  wt.default_focus = 0;
  layout_screen();
}

int32_t offset(const uint8_t* p) { return p == nullptr ? -1 : static_cast<int32_t>(p - doc.text_buffer); }

// The scroll button whose param is `param`.
int32_t step_button(uint8_t param) {
  for (int32_t s = view.text_rows_end; s < view.thumb_end; s += 4) {
    const int32_t i = slot_index(s);
    if (wt.w_kind[i] == WK_BUTTON && wt.w_data[i].handler == scroll_step_button && wt.w_param[i] == param) return s;
  }
  ADD_FAILURE() << "no scroll button with param " << int(param);
  return 0;
}

uint16_t thumb_y() { return wt.w_y[slot_index(view.thumb_slot)]; }

}  // namespace

TEST(TextViewLayout, RowsAndBottomBarFollowTheFrame) {
  lay_out(624, 288);
  EXPECT_EQ(view.visible_rows, 14u);
  EXPECT_EQ(view.visible_cols, 69u);
  EXPECT_EQ(wt.w_y[13], 244);
  const int32_t background = slot_index(view.top_bars_end);
  EXPECT_EQ(wt.w_y[background], 260);
  EXPECT_EQ(wt.w_height[background], 28);
  EXPECT_EQ(wt.w_width[background], 624);
  EXPECT_EQ(wt.focus_widget, 0);
  EXPECT_EQ(view.thumb_end, wt.widget_end);
}

TEST(TextViewLayout, RowsStopWhereEveryPanelStillFits) {
  lay_out(1024, 4000);
  const uint32_t rows = view.visible_rows;
  EXPECT_GT(rows, 100u);
  EXPECT_LE(rows, ROW_POINTERS);
  // Below the last row the bottom bar's background covers the frame.
  const int32_t background = slot_index(view.top_bars_end);
  EXPECT_EQ(wt.w_y[background], 36 + 16 * rows);
  EXPECT_EQ(wt.w_y[background] + wt.w_height[background], 4000);
  // Every drop-down, each opened somewhere else, fits the table beside the
  // rows; and the rows leave no slot unused for them.
  uint16_t apart = 0;
  for (uint32_t p = 0; p < PANEL_COUNT; ++p) {
    if (first_slot_of(p) != NO_SLOT) continue;  // a fixed panel, opened by the layout
    const int32_t first = wt.widget_end;
    EXPECT_TRUE(open_panel(0, 0, p)) << "panel " << int(p);
    apart = static_cast<uint16_t>(apart + 200);  // dragged away from (8, 56)
    for (int32_t s = first; s < wt.widget_end; s += 4) wt.w_y[slot_index(s)] += apart;
  }
  EXPECT_EQ(wt.widget_end, 4 * WIDGET_SLOTS);
  redraw_all_widgets();
  EXPECT_EQ(pixel(3990, 500), palette[0]);
  EXPECT_EQ(pixel(36 + 16 * rows, 500), palette[0]);

  // A frame so tall that the background's distance from the bottom edge does
  // not fit its record still gets the background from the rows' end down.
  lay_out(624, 40000, "   \r", false);
  EXPECT_EQ(wt.w_y[slot_index(view.top_bars_end)], 36 + 16 * view.visible_rows);
  EXPECT_EQ(wt.w_height[slot_index(view.top_bars_end)], 40000 - 36 - 16 * view.visible_rows);
}

TEST(TextViewRows, PointersCutCharactersLineEndsAndTheEndMarker) {
  // Line 0: 'a' 'b', a double-byte character at columns 2-3, then 'c'.
  // Line 1 is shorter than the view's left column; line 2 ends in a lone
  // lead byte; the last line has dead bytes behind its end marker.
  lay_out(1024, 768, "ab\x88\x9F" "c\nx\nab\x88\nabcd\r\r\0\0\0\0\0"s);
  doc.encoding = ENCODING_SHIFT_JIS;
  view.left_col = 3;
  fill_row_pointers();
  EXPECT_EQ(offset(view.row_ptr[0]), 4);  // 'c', one cell to the right
  EXPECT_EQ(wt.w_value[0], 1);
  EXPECT_EQ(offset(view.row_ptr[1]), 7);  // line 1's 0x0A: an empty row
  EXPECT_EQ(wt.w_value[1], 0);
  EXPECT_EQ(offset(view.row_ptr[2]), 11);  // the lone lead byte's 0x0A
  EXPECT_EQ(offset(view.row_ptr[3]), 15);  // 'd'
  EXPECT_EQ(view.row_ptr[4], nullptr);     // below the last line
  EXPECT_EQ(view.row_ptr[43], nullptr);

  // A left column past the last line's end but inside its dead bytes shows
  // the end marker, never the dead bytes; past all used bytes, nothing.
  view.left_col = 6;
  fill_row_pointers();
  EXPECT_EQ(offset(view.row_ptr[3]), 16);
  view.left_col = 0x7FFFFFFF;
  fill_row_pointers();
  for (int r = 0; r < 4; ++r) EXPECT_EQ(view.row_ptr[r], nullptr) << r;

  // The row draws from the cut flag's cell onwards.
  view.left_col = 3;
  view.cursor_row = 5;
  fill_row_pointers();
  clear_frame();
  draw_widget(0);
  const auto blank = [](const std::vector<uint32_t>& cell) {
    return std::all_of(cell.begin(), cell.end(), [](uint32_t p) { return p == palette[13]; });
  };
  EXPECT_TRUE(blank(region(36, 0, 16, 9)));
  EXPECT_FALSE(blank(region(36, 9, 16, 9)));  // 'c'
  EXPECT_TRUE(blank(region(36, 18, 16, 9)));
}

// Which bytes open a double-width character, asked alike of the row pointers
// (left column 1, just after the byte) and of the drawn row: each byte
// before a letter, before a line end and before the end marker.
TEST(TextViewRows, LeadBytesPairAlikeInRowPointersAndDrawnRows) {
  struct Case {
    uint8_t byte;
    int32_t jis_row;  // the pair's row in the double-byte font; -1: not a lead byte
  };
  const Case cases[] = {{0x80, -1}, {0x81, 0},  {0x9F, 30}, {0xA0, -1}, {0xDF, -1},
                        {0xE0, 31}, {0xEF, 46}, {0xF0, -1}, {0xFC, -1}};
  const std::string followers[] = {"x\n\r", "\n\r", "\r"};
  // Glyph k shows k in its first row, so that a wrong code shows.
  std::vector<uint8_t> font(JIS_FONT_BYTES);
  for (uint32_t k = 0; k < JIS_GLYPHS; ++k) {
    font[30 * k] = static_cast<uint8_t>(k >> 8);
    font[30 * k + 1] = static_cast<uint8_t>(k);
  }
  for (const Case& c : cases) {
    for (const std::string& rest : followers) {
      SCOPED_TRACE(testing::Message() << std::hex << int(c.byte) << " before " << int(rest[0]));
      const bool pair = c.jis_row >= 0 && rest[0] == 'x';
      lay_out(1024, 768, std::string(1, static_cast<char>(c.byte)) + rest);
      doc.encoding = ENCODING_SHIFT_JIS;
      view.cursor_row = 5;
      view.left_col = 1;
      fill_row_pointers();
      EXPECT_EQ(offset(view.row_ptr[0]), pair ? 2 : 1);
      EXPECT_EQ(wt.w_value[0], pair ? 1 : 0);

      // The first byte alone is selected: a single cell shows it even where
      // its glyph is blank; a pair's lead byte alone does not.
      view.left_col = 0;
      view.sel_start = doc.text_buffer;
      view.sel_end = doc.text_buffer + 1;
      fill_row_pointers();
      raster.jis_font = font.data();
      clear_frame();
      draw_widget(0);
      const std::vector<uint32_t> drawn = region(36, 0, 16, 45);  // left of the scroll buttons
      clear_frame();
      fill_rect(colour_scheme[1], 16, 1024, 36, 0);
      if (pair) {
        draw_glyph(256 + 188 * c.jis_row + ('x' - 0x40), colour_scheme[0], 36, 0);
      } else if (c.jis_row < 0) {
        fill_rect(colour_scheme[3], 16, 9, 36, 0);
        draw_glyph(c.byte, colour_scheme[2], 36, 0);
        if (rest[0] == 'x') draw_glyph('x', colour_scheme[0], 36, 9);
      }  // a lead byte before a line end ends the row: nothing is drawn
      EXPECT_EQ(drawn, region(36, 0, 16, 45));
      raster.jis_font = nullptr;
    }
  }
}

TEST(TextViewThumb, FollowsTheViewInSixtyFourBits) {
  lay_out(1024, 768);
  // With a single line the thumb is left where it stands.
  wt.w_y[slot_index(view.thumb_slot)] = 300;
  sync_scroll_thumb();
  EXPECT_EQ(thumb_y(), 300);

  // 1.5 million lines on a tall frame: the track times top_line overflows
  // 32 bits.
  lay_out(1024, 4000, std::string(1500000, '\n') + "\r", false);
  view.top_line = 1500000;
  sync_scroll_thumb();
  EXPECT_EQ(thumb_y(), 4000 - 54);
  view.top_line = 750000;
  sync_scroll_thumb();
  EXPECT_EQ(thumb_y(), 36 + 3910 / 2);
}

TEST(TextViewThumb, DraggingMapsTheTrackOntoTheLines) {
  lay_out(1024, 768, std::string(100, '\n') + "\r", false);
  const int32_t thumb = view.thumb_slot;
  wt.w_y[slot_index(thumb)] = 768 - 54;
  drag_scroll_thumb(thumb);
  EXPECT_EQ(view.top_line, 100);
  wt.w_y[slot_index(thumb)] = 36 + 678 / 2;
  drag_scroll_thumb(thumb);
  EXPECT_EQ(view.top_line, 50);
  EXPECT_EQ(offset(view.row_ptr[0]), 50);  // the rows follow
  wt.w_y[slot_index(thumb)] = 36;
  drag_scroll_thumb(thumb);
  EXPECT_EQ(view.top_line, 0);

  // Above 0xFFFF lines the count is halved once: the bottom of the track
  // reaches the last line rounded down to an even number.
  lay_out(1024, 768, std::string(0x1FFFF, '\n') + "\r", false);
  wt.w_y[slot_index(thumb)] = 768 - 54;
  drag_scroll_thumb(thumb);
  EXPECT_EQ(view.top_line, 0x1FFFE);
}

TEST(TextViewScroll, TheCursorKeepsItsScreenRowAndTheRowsFollow) {
  lay_out(1024, 768, "a\nb\nc\r");
  view.cursor_row = 5;
  for (int i = 0; i < 4; ++i) scroll_by_wheel(-120 * 65536);  // towards the user
  EXPECT_EQ(view.top_line, 2);
  EXPECT_EQ(view.cursor_abs_line, 7u);
  EXPECT_EQ(offset(view.row_ptr[0]), 4);
  scroll_step_button(step_button(0));
  EXPECT_EQ(view.cursor_abs_line, 6u);
  EXPECT_EQ(offset(view.row_ptr[0]), 2);
  for (int i = 0; i < 300; ++i) scroll_step_button(step_button(6));
  EXPECT_EQ(view.left_col, 300);  // no right limit
  EXPECT_EQ(view.row_ptr[0], nullptr);
}

TEST(TextViewMouse, PressPlacesTheCursorAndDragSelects) {
  lay_out(1024, 768, "ab\ncd\r");
  view.sel_start = doc.text_buffer;  // a selection to drop
  view.sel_end = doc.text_buffer + 2;
  // Below the last line: virtual space, an empty Selection at the end
  // marker; the column is not clamped.
  place_cursor_by_mouse(3, 1020, 0, 4 * 5);
  EXPECT_EQ(view.cursor_row, 5);
  EXPECT_EQ(view.cursor_col, 113);
  EXPECT_EQ(view.cursor_abs_line, 5u);
  EXPECT_EQ(wt.focus_widget, 4 * 5);
  for (uint8_t* p : {view.sel_anchor, view.sel_head, view.sel_start, view.sel_end}) EXPECT_EQ(offset(p), 5);

  view.left_col = 1;
  place_cursor_by_mouse(0, 0, 0, 0);  // column 0 of the view = 'b'
  place_cursor_by_mouse(0, 0, 1, 4);  // forwards to 'd'
  EXPECT_EQ(offset(view.sel_start), 1);
  EXPECT_EQ(offset(view.sel_end), 4);
  place_cursor_by_mouse(0, 0, 1, 0);  // back over the anchor: still ordered
  EXPECT_EQ(offset(view.sel_start), 1);
  EXPECT_EQ(offset(view.sel_end), 1);
  view.left_col = 0;
  place_cursor_by_mouse(0, 0, 1, 0);
  EXPECT_EQ(offset(view.sel_start), 0);
  EXPECT_EQ(offset(view.sel_end), 1);
  EXPECT_EQ(offset(view.sel_anchor), 1);
  EXPECT_EQ(offset(view.sel_head), 0);
  // Any phase past the double-click's changes nothing.
  place_cursor_by_mouse(0, 90, 3, 8);
  EXPECT_EQ(view.cursor_row, 0);
  EXPECT_EQ(offset(view.sel_start), 0);
}

TEST(TextViewMouse, BookmarkButtonsJumpThroughTheDispatcher) {
  lay_out(1024, 768, std::string(200, '\n') + "\r");
  cmd.bookmark_line[1] = 150;
  int32_t second = NO_SLOT;
  for (int32_t s = view.top_bars_end; s < view.bottom_bar_end; s += 4) {
    if (wt.w_data[slot_index(s)].handler == bookmark_button && wt.w_param[slot_index(s)] == 1) second = s;
  }
  ASSERT_NE(second, NO_SLOT);
  bookmark_button(second);
  EXPECT_EQ(view.cursor_abs_line, 150u);
  EXPECT_EQ(view.top_line, 150 - 22);
}
