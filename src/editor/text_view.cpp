// The text view: the text-row widgets, the row pointers each row is drawn
// from, the scroll thumb's place, and scrolling by the wheel, the buttons and
// the thumb, and mouse presses on the text.
#include "editor/text_view.h"

#include "editor/cells.h"
#include "editor/document.h"
#include "editor/undo.h"
#include "editor/sjis.h"
#include "editor/text_row.h"
#include "platform/messages.h"
#include "raster/raster.h"
#include "widgets/input.h"
#include "widgets/label.h"
#include "widgets/status.h"
#include "widgets/widget_table.h"

namespace vusk {

ViewState view;

namespace {

constexpr uint32_t FIRST_ROW_Y = 36;
constexpr uint32_t THUMB_TRACK_MARGIN = 90;  // title and menu bars, buttons, thumb
constexpr uint8_t TEXT_ROW_LABEL[2] = {LC_TEXT_ROW, LC_END};
constexpr uint8_t TEXT_ROW_COLOUR = 13;
// The rows belong to the base panel, with the title bar.
constexpr uint8_t TEXT_ROW_PANEL = BASE_PANEL;

// Hands the widget toolkit the view's drawing of text rows.
void install_view_hooks() { text_row_painter = TextRowPainter{text_row_background, paint_text_row}; }

uint32_t panel_records(uint32_t panel) {
  uint32_t n = 0;
  const PanelRecord* r = panel_directory[panel];
  while (r != nullptr && r[n].label != nullptr) ++n;
  return n;
}

// The most text rows that leave room in the widget table for every panel,
// all opened at once (drop-downs dragged apart), and in the row pointers.
uint32_t row_limit() {
  uint32_t panels = 0;
  for (uint32_t p = 0; p < PANEL_COUNT; ++p) panels += panel_records(p);
  uint32_t rows = static_cast<uint32_t>(WIDGET_SLOTS) > panels ? WIDGET_SLOTS - panels : 0;
  return rows < ROW_POINTERS ? rows : ROW_POINTERS;
}

void clamp_top_line() {
  if (view.top_line < 0) view.top_line = 0;
  if (static_cast<uint32_t>(view.top_line) > doc.last_line) view.top_line = static_cast<int32_t>(doc.last_line);
}

}  // namespace

void reset_view_state() {
  view = ViewState{};
  view.insert_mode = 1;
  install_view_hooks();
}

void refresh_cursor_line() { view.cursor_abs_line = static_cast<uint32_t>(view.top_line) + view.cursor_row; }

void empty_selection(uint8_t* at) { view.sel_anchor = view.sel_head = view.sel_start = view.sel_end = at; }

void locate_cursor(uint32_t row, uint32_t column) { locate_line(static_cast<uint32_t>(view.top_line) + row, column); }

uint32_t create_text_rows(uint32_t row_height) {
  const uint32_t limit = row_limit();
  uint32_t rows = 0;
  uint32_t y = FIRST_ROW_Y;
  PanelRecord row{};
  row.label = TEXT_ROW_LABEL;
  row.data = WidgetData(static_cast<void*>(view.row_ptr));
  row.width = static_cast<int16_t>(raster.frame_width);
  row.height = static_cast<uint16_t>(row_height);
  row.kind = WK_TEXT_ROW;
  row.colour = TEXT_ROW_COLOUR;
  for (; y < raster.frame_height - row_height - 18u && rows < limit; y += row_height, ++rows) {
    row.y = static_cast<int16_t>(y);
    row.param = static_cast<uint8_t>(rows);
    fill_slot(static_cast<int32_t>(rows), row, TEXT_ROW_PANEL);
  }
  wt.widget_end = static_cast<int32_t>(4 * rows);
  view.visible_rows = rows;
  return y;
}

uint32_t layout_text_rows() {
  const uint32_t bottom = create_text_rows(16);
  view.visible_cols = raster.frame_width / 9u;
  status.status_state = STATUS_NONE;  // the rebuilt frame holds no message
  view.text_rows_end = static_cast<uint16_t>(wt.widget_end);
  return bottom;
}

void sync_scroll_thumb() {
  if (doc.last_line != 0 && view.thumb_end > view.thumb_slot) {
    // 64-bit, so that documents of millions of lines do not overflow.
    const uint64_t track = raster.frame_height - THUMB_TRACK_MARGIN;
    const uint64_t y = track * static_cast<uint32_t>(view.top_line) / doc.last_line + FIRST_ROW_Y;
    wt.w_y[slot_index(view.thumb_slot)] = static_cast<uint16_t>(y);
  }
  fill_row_pointers();
}

namespace {

// The Shift_JIS row pointer of line `line`: the byte at left_col, one on
// when that byte is a trail byte (*flag 1); null when left_col reaches past
// the text's used bytes.
uint8_t* byte_row_pointer(uint32_t line, uint16_t* flag) {
  const uint8_t* text_end = doc.text_buffer + doc.text_length;
  uint8_t* p = line_start(line);
  // Compared as a count first: a far left_col must not form a pointer
  // beyond the text block.
  if (static_cast<uint64_t>(view.left_col) >= static_cast<uint64_t>(text_end - p)) return nullptr;
  uint8_t* const target = p + view.left_col;
  // Walk to the first column shown. The row also ends at the end
  // marker, so that it never shows dead bytes or what lies past them.
  while (p < target && !is_line_end(*p)) {
    if (is_lead_byte(*p++)) {
      if (is_line_end(*p)) break;
      ++p;
    }
  }
  if (p == target + 1) *flag = 1;  // the column falls on a trail byte
  return p;
}

// The UTF-8 row pointer of line `line`: the first cell that starts at or
// after left_col (*flag: how many columns after), or the line's end.
uint8_t* cell_row_pointer(uint32_t line, uint16_t* flag) {
  const auto left = static_cast<uint32_t>(view.left_col);
  uint8_t* start = line_start(line);
  const CellPlace place = place_of_column(start, left);
  // As in Shift_JIS mode, no row pointer stands past the text's used bytes.
  if (place.pad != 0 && left >= static_cast<uint64_t>(doc.text_buffer + doc.text_length - start)) return nullptr;
  if (place.pad != 0 || place.column == left || is_line_end(*place.at)) return place.at;
  // A wide character or a tab that the left edge cuts is not shown.
  const Cell c = cell_at(place.at, place.column);
  *flag = static_cast<uint16_t>(place.column + c.width - left);
  return place.at + c.bytes;
}

}  // namespace

void fill_row_pointers() {
  for (uint32_t i = 0; i < view.visible_rows; ++i) {
    uint16_t flag = 0;
    const uint64_t line = static_cast<uint64_t>(view.top_line) + i;
    uint8_t* result = nullptr;
    if (line <= doc.last_line) {
      const auto k = static_cast<uint32_t>(line);
      result = doc.encoding == ENCODING_UTF8 ? cell_row_pointer(k, &flag) : byte_row_pointer(k, &flag);
    }
    view.row_ptr[i] = result;
    wt.w_value[i] = flag;
  }
}

void redraw_text_view() {
  for (int32_t s = 0; s < view.text_rows_end; s += 4) paint_widget(s);
  for (int32_t s = view.top_bars_end; s < wt.widget_end; s += 4) draw_widget(s);
}

void scroll_by_wheel(int32_t wheel) {
  view.top_line += wheel >= 0 ? -1 : 1;
  clamp_top_line();
  view.cursor_abs_line = static_cast<uint32_t>(view.top_line) + view.cursor_row;
  sync_scroll_thumb();
  redraw_text_view();
}

void scroll_view(int32_t lines, int32_t columns) {
  view.top_line += lines;
  clamp_top_line();
  view.left_col += columns;
  if (view.left_col < 0) view.left_col = 0;
  view.cursor_abs_line = static_cast<uint32_t>(view.top_line) + view.cursor_row;
  sync_scroll_thumb();
  redraw_text_view();
}

void follow_thumb(uint32_t thumb_y) {
  const uint32_t track = raster.frame_height - THUMB_TRACK_MARGIN;
  const uint32_t f = ((thumb_y - FIRST_ROW_Y) << 16) / track;
  uint32_t n = doc.last_line;
  uint32_t s = 16;
  while (n > 0xFFFF) {
    n >>= 1;
    --s;
  }
  view.top_line = static_cast<int32_t>(static_cast<uint32_t>(n * f) >> s);
  fill_row_pointers();
}

uint32_t character_bytes(const uint8_t* p) {
  if (doc.encoding == ENCODING_UTF8) return cell_at(p, 0).bytes;  // with the marks that join it
  return is_lead_byte(*p) && !is_line_end(p[1]) ? 2 : 1;
}

bool is_word_character(const uint8_t* p) {
  const uint8_t c = *p;
  return c >= 0x80 || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

CharSpan word_at(uint8_t* line, const uint8_t* at) {
  // Characters can only be told apart from the line's start on (a trail
  // byte may look like a lead byte), so one walk finds both the character
  // holding `at` and where the run of word characters before it began.
  uint8_t* run = line;
  uint8_t* p = line;
  uint8_t* next = p + character_bytes(p);
  while (next <= at) {
    if (!is_word_character(p)) run = next;
    p = next;
    next = p + character_bytes(p);
  }
  if (!is_word_character(p)) return CharSpan{p, next};
  while (!is_line_end(*next) && is_word_character(next)) next += character_bytes(next);
  return CharSpan{run, next};
}

namespace {

// A double-click on screen cell (row, column): the word or the one
// character there is selected, anchored at its start, with the cursor at
// its end (the view scrolls sideways to show it). In virtual space or on a
// line end nothing is selected and the cursor stays, as after a press.
// Returns the cursor's screen column.
uint32_t select_word_by_mouse(uint32_t row, uint32_t column) {
  locate_cursor(row, column + static_cast<uint32_t>(view.left_col));
  if (doc.pad_newlines != 0 || doc.pad_spaces != 0 || is_line_end(*doc.cursor_ptr)) {
    empty_selection(doc.cursor_ptr);
    return column;
  }
  uint8_t* const line = line_start(doc.cursor_line);
  const CharSpan word = word_at(line, doc.cursor_ptr);
  view.sel_anchor = view.sel_start = word.start;
  view.sel_head = view.sel_end = word.end;
  const uint32_t end = column_of(line, word.end);
  locate_cursor(row, end);
  const uint32_t last_col = view.visible_cols > 0 ? view.visible_cols - 1 : 0;
  if (end > static_cast<uint32_t>(view.left_col) + last_col) {
    view.left_col = static_cast<int32_t>(end - last_col);
    fill_row_pointers();
  }
  return end - static_cast<uint32_t>(view.left_col);
}

}  // namespace

void place_cursor_by_mouse(uint32_t, uint32_t x, uint32_t phase, int32_t slot) {
  uint32_t column = x / 9;
  const uint32_t row = wt.w_param[slot_index(slot)];
  if (phase == 2) {
    begin_command();
    column = select_word_by_mouse(row, column);
  } else if (phase == 0) {
    begin_command();  // a click ends a typing run, wherever it puts the cursor
    locate_cursor(row, column + static_cast<uint32_t>(view.left_col));
    empty_selection(doc.cursor_ptr);
  } else if (phase == 1) {
    locate_cursor(row, column + static_cast<uint32_t>(view.left_col));
    view.sel_head = view.sel_end = doc.cursor_ptr;
    view.sel_start = view.sel_anchor;
    if (view.sel_start >= view.sel_end) {
      view.sel_start = view.sel_end;
      view.sel_end = view.sel_anchor;
    }
  } else {
    return;
  }
  wt.focus_widget = slot;
  view.cursor_row = static_cast<uint8_t>(row);
  // A press inside a wide character or a tab stands at the cell's start.
  const auto left = static_cast<uint32_t>(view.left_col);
  view.cursor_col = static_cast<uint16_t>(doc.cursor_column > left ? doc.cursor_column - left : 0);
  redraw_all_widgets();
}

}  // namespace vusk
