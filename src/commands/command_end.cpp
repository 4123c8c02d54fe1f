// The common end of every editing command: the cursor clamped into the view
// (which scrolls to it), the Selection rule, the cursor stored, and a redraw
// of exactly what changed.
#include <cstring>
#include <initializer_list>

#include "commands/command_work.h"
#include "editor/cells.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "widgets/label.h"
#include "widgets/widget_table.h"

namespace vusk {

namespace {

int32_t row_slot(int32_t row) { return 4 * row; }

void draw_range(int32_t from, int32_t to) {
  for (int32_t s = from; s < to; s += 4) draw_widget(s);
}

// A deletion on the last line moves its end marker back, so an anchor set
// before it may now lie on a dead byte: the selection would take in the
// marker. Such an anchor goes back to the marker.
void keep_before_end_marker(uint8_t** anchor) {
  uint8_t* line = line_start(doc.last_line);
  auto* marker = static_cast<uint8_t*>(std::memchr(line, END_MARKER, static_cast<size_t>(doc.text_buffer + doc.text_length - line)));
  if (marker != nullptr && *anchor > marker) *anchor = marker;
}

void order_selection() {
  view.sel_start = view.sel_anchor;
  view.sel_end = view.sel_head;
  if (view.sel_start >= view.sel_end) {
    view.sel_start = view.sel_head;
    view.sel_end = view.sel_anchor;
  }
}

void collapse_selection(Work& w) {
  view.sel_head = view.sel_anchor;
  if (view.sel_start == view.sel_end) return;
  w.full_redraw = true;
  order_selection();
}

// Brings a screen coordinate back into 0..count-1 by moving the view's
// origin along the same axis.
void clamp_into_view(int32_t& position, int32_t& origin, uint32_t count) {
  const auto n = static_cast<int32_t>(count);
  if (position < 0) {
    origin += position;
    position = 0;
  }
  if (position >= n) {
    origin += position - n + 1;
    position = n - 1;
  }
}

// The row is not corrected when top_line is limited: the cursor may stand
// on lines below the last one.
void clamp_work(Work& w) {
  clamp_into_view(w.col, view.left_col, view.visible_cols);
  clamp_into_view(w.row, view.top_line, view.visible_rows);
  if (view.left_col < 0) view.left_col = 0;
  if (view.top_line < 0) view.top_line = 0;
  if (static_cast<uint32_t>(view.top_line) > doc.last_line) view.top_line = static_cast<int32_t>(doc.last_line);
}

// A movement without Shift keeps a Selection that only the search set
// (anchor and head left alone), else collapses it; with Shift it extends
// the Selection from where the cursor stood to where it is now.
void movement_rule(Work& w) {
  if (w.shift) {
    locate_work(w);
    if (view.sel_anchor == view.sel_head) view.sel_anchor = doc.text_buffer + w.before;
    view.sel_head = doc.cursor_ptr;
    if (w.deleted) keep_before_end_marker(&view.sel_anchor);
    order_selection();
  } else if (view.sel_anchor == view.sel_head) {
    // A match the search selected may reach rows the redraw below would
    // not touch.
    if (view.sel_start != view.sel_end) w.full_redraw = true;
    order_selection();
  } else {
    collapse_selection(w);
  }
}

void apply_selection_rule(Work& w) {
  switch (w.rule) {
    case SelectionRule::MOVEMENT: movement_rule(w); break;
    case SelectionRule::TYPING: collapse_selection(w); break;
    case SelectionRule::SKIP: break;
  }
}

void store_cursor(const Work& w) {
  view.cursor_col = static_cast<uint16_t>(w.col);
  view.cursor_row = static_cast<uint8_t>(w.row);
  view.cursor_abs_line = static_cast<uint32_t>(view.top_line + w.row);
}

// The whole text view when the view moved or the line count changed; else
// the rows the cursor left and entered, and the groups over them.
void redraw_changes(Work& w) {
  if (doc.last_line != w.entry_last || view.left_col != w.entry_left || view.top_line != w.entry_top ||
      w.full_redraw) {
    sync_scroll_thumb();
    redraw_text_view();
    return;
  }
  // A deletion can turn a NUL that now opens a line into filler, which moves
  // that line's start: the rows are drawn from fresh pointers.
  if (w.deleted) fill_row_pointers();
  if (w.row != w.entry_row) {
    draw_widget(row_slot(w.entry_row));
    draw_widget(row_slot(w.row));
    w.groups |= GROUP_BOTTOM | GROUP_OVERLAY;
  } else if (w.col != w.entry_col || w.row_redraw) {
    draw_widget(row_slot(w.row));
    w.groups |= GROUP_OVERLAY;
  }
  if (w.groups & GROUP_BOTTOM) draw_range(view.top_bars_end, view.thumb_end);
  if (w.groups & GROUP_OVERLAY) draw_range(view.thumb_end, wt.widget_end);
}

}  // namespace

void rebase_selection(const Work& w) {
  if (w.loaded || doc.text_buffer == w.entry_buffer) return;
  const auto old_base = reinterpret_cast<uintptr_t>(w.entry_buffer);
  for (uint8_t** p : {&view.sel_anchor, &view.sel_head, &view.sel_start, &view.sel_end}) {
    if (*p == nullptr) continue;
    uintptr_t offset = reinterpret_cast<uintptr_t>(*p) - old_base;
    if (offset > doc.text_length) offset = doc.text_length;
    *p = doc.text_buffer + offset;
  }
}

namespace {

// In UTF-8 mode a column inside a wide character or a tab stands at the
// cell's start; on a virtual line or beyond the line's end every column is
// a cell of its own.
void snap_to_cell(Work& w) {
  const int64_t line = int64_t{view.top_line} + w.row;
  const int64_t column = int64_t{view.left_col} + w.col;
  if (doc.encoding != ENCODING_UTF8 || line < 0 || line > doc.last_line || column <= 0) return;
  const CellPlace place = place_of_column(line_start(static_cast<uint32_t>(line)), static_cast<uint32_t>(column));
  w.col = static_cast<int32_t>(place.column + place.pad) - view.left_col;
}

}  // namespace

void common_end(Work& w) {
  snap_to_cell(w);
  clamp_work(w);
  apply_selection_rule(w);
  store_cursor(w);
  redraw_changes(w);
}

}  // namespace vusk
