// The text view: the TextCursor, the Selection, the text-row widgets and the
// fixed panels around them, the row pointers, the scroll thumb, and the
// handlers of the scroll buttons, wheel and mouse presses.
// Editor layer: the editor and every layer above may include it; the widgets reach the view only through the painter it
// installs, and the window hands it what the router leaves.
#pragma once
#include <cstdint>

namespace vusk {

// The most row pointers the view keeps; the row count is also capped so that
// rows, fixed panels and every drop-down fit the widget table.
constexpr uint32_t ROW_POINTERS = 256;

// The TextCursor, the Selection and the view's place in the widget table.
struct ViewState {
  int32_t top_line;          // line shown in row 0, 0..last_line
  int32_t left_col;          // first column shown, >= 0
  uint8_t cursor_row;        // screen row of the cursor
  uint16_t cursor_col;       // screen column of the cursor
  uint32_t cursor_abs_line;  // top_line + cursor_row
  uint32_t visible_rows;     // text rows in the widget table
  uint32_t visible_cols;     // whole 9-pixel columns across the frame
  uint8_t insert_mode;       // 1 insert, 0 overwrite: Insert toggles it, the cursor shows it
  uint8_t* row_ptr[ROW_POINTERS];  // first byte shown per row, or null

  uint8_t* sel_anchor;  // the end that stays while extending
  uint8_t* sel_head;    // the end that follows the cursor
  uint8_t* sel_start;   // sel_start <= sel_end; selected bytes [start, end)
  uint8_t* sel_end;

  // WidgetSlot boundaries of the fixed groups, in slot order.
  uint16_t text_rows_end, top_bars_end, bottom_bar_end, thumb_slot, thumb_end;
};
extern ViewState view;  // the one view

// Zeroes the view (in insert mode) and installs its hooks into the widget
// toolkit: the text-row painter and the refresh before full redraws.
void reset_view_state();

// Lays the table out afresh for the frame: the text rows, then the fixed
// panels (title, menu bar, bottom bar, thumb), recording their boundaries.
void layout_text_view();
// Fills the table from slot 0 with as many text rows of `row_height` as the
// frame, the table and the row pointers allow; returns the y below the last.
uint32_t create_text_rows(uint32_t row_height);
// Moves the scroll thumb to where top_line stands among the lines (it stays
// put while there is only one line), then refreshes the row pointers.
void sync_scroll_thumb();
// Points each row at the first byte it shows from left_col on (null below
// the last line; a row whose line is shorter shows its line end). In
// Shift_JIS mode a row is also null when left_col reaches past the text's
// used bytes, and its w_value is 1 where that column falls on the second
// half of a double-byte character; in UTF-8 mode w_value counts the columns
// of a wide character or tab that the left edge cuts, which the row skips.
void fill_row_pointers();
// Repaints the text rows, then every widget from the menu bar on, so that
// the panels over the rows stay on top.
void redraw_text_view();
// The wheel (as the router leaves it): scrolls one line up for a forward turn (wheel >= 0), else one
// line down, within 0..last_line, and redraws the view.
void scroll_by_wheel(int32_t wheel);
// Scroll-button handler: the button's w_param 0 or 2 moves the view a line up
// or down, 4 or 6 a column left or right (never left of column 0).
void scroll_step_button(int32_t slot);
// Drag routine of the scroll thumb: top_line follows the thumb's place on its
// track; the row pointers are refreshed, the router redraws.
void drag_scroll_thumb(int32_t slot);
// A press on a text row (as the router leaves it): a press (phase 0) puts the cursor at the pressed cell
// and empties the Selection, a drag (phase 1) extends the Selection to it;
// the row takes the focus and everything is redrawn. Other phases do nothing.
void place_cursor_by_mouse(uint32_t y, uint32_t x, uint32_t phase, int32_t slot);

// Makes the four Selection pointers equal (nothing selected).
void empty_selection(uint8_t* at);

// Fills the Document's cursor-location record for screen row `row` (counted
// from top_line) and byte column `column`; COLUMN_LINE_END asks for the end
// of the line.
void locate_cursor(uint32_t row, uint32_t column);

}  // namespace vusk
