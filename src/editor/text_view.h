// The text view: the TextCursor, the Selection, the text-row widgets, the
// row pointers, the scroll thumb's place, scrolling, and mouse presses on
// the text. The screens lay the fixed panels out around the rows and bind
// the scroll buttons and the thumb to scroll_view and follow_thumb.
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

// Zeroes the view (in insert mode) and installs the text-row painter into
// the widget toolkit.
void reset_view_state();
// Makes the line number that the bottom bar shows follow top_line and the
// cursor's row; for the refresh before every full redraw.
void refresh_cursor_line();

// Fills the table afresh from slot 0 with the frame's text rows (16 pixels
// high), recording where they end; returns the y below the last row, where
// the screens put the bottom bar.
uint32_t layout_text_rows();
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
// Moves the view `lines` down and `columns` right (negative: up, left),
// within 0..last_line and never left of column 0, and redraws it.
void scroll_view(int32_t lines, int32_t columns);
// top_line follows the scroll thumb's top at `thumb_y` on its track; the row
// pointers are refreshed, the router redraws.
void follow_thumb(uint32_t thumb_y);
// A press on a text row (as the router leaves it): a press (phase 0) puts the cursor at the pressed cell
// and empties the Selection, a drag (phase 1) extends the Selection to it,
// a double-click (phase 2) selects the word there (word_at) with the cursor
// at its end; the row takes the focus and everything is redrawn. Other
// phases do nothing.
void place_cursor_by_mouse(uint32_t y, uint32_t x, uint32_t phase, int32_t slot);

// The bytes [start, end) of a run of characters.
struct CharSpan {
  uint8_t* start;
  uint8_t* end;
};
// The length of the character that starts at p, which is no line end: in
// UTF-8 mode its cell's bytes (a sequence with the zero-width marks that
// join it, or one invalid byte); in Shift_JIS mode a pair whose trail is no
// line end is two bytes, any other byte one. The word rule takes its steps
// through here.
uint32_t character_bytes(const uint8_t* p);
// Whether the character at p belongs to words: an ASCII letter or digit,
// '_', or any character whose first byte is 0x80 or above.
bool is_word_character(const uint8_t* p);
// The run of word characters around the content byte `at` of the line that
// starts at `line`, whole characters only; when the character holding `at`
// is no word character, that one character. Walks from the line's start.
CharSpan word_at(uint8_t* line, const uint8_t* at);

// Makes the four Selection pointers equal (nothing selected).
void empty_selection(uint8_t* at);

// Fills the Document's cursor-location record for screen row `row` (counted
// from top_line) and byte column `column`; COLUMN_LINE_END asks for the end
// of the line.
void locate_cursor(uint32_t row, uint32_t column);

}  // namespace vusk
