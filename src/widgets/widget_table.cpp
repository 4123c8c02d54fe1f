// The live WidgetTable and the panel operations: opening a panel's records
// as slots (edge-relative geometry resolved against the frame), closing a
// panel with compaction, showing a panel with focus, and the two whole-table
// operations.
#include "widgets/widget_table.h"

#include "editor/text_view.h"
#include "raster/raster.h"
#include "widgets/label.h"

namespace vusk {

PanelRecord* panel_directory[PANEL_COUNT];
WidgetTableState wt;

void reset_widget_state() {
  wt = WidgetTableState{};
  wt.focus_widget = NO_SLOT;
  wt.default_focus = NO_SLOT;
  wt.pressed_widget = NO_SLOT;
}

namespace {

// Copies every field of slot index `from` to slot index `to`.
void move_slot(int32_t to, int32_t from) {
  wt.w_label[to] = wt.w_label[from];
  wt.w_data[to] = wt.w_data[from];
  wt.w_x[to] = wt.w_x[from];
  wt.w_y[to] = wt.w_y[from];
  wt.w_width[to] = wt.w_width[from];
  wt.w_height[to] = wt.w_height[from];
  wt.w_value[to] = wt.w_value[from];
  wt.w_param[to] = wt.w_param[from];
  wt.w_kind[to] = wt.w_kind[from];
  wt.w_panel[to] = wt.w_panel[from];
  wt.w_flags[to] = wt.w_flags[from];
  wt.w_colour[to] = wt.w_colour[from];
  wt.w_hotkey[to] = wt.w_hotkey[from];
}

// The first live slot opened from `panel`, or -1.
int32_t first_slot_of(uint32_t panel) {
  for (int32_t s = 0; s < wt.widget_end; s += 4) {
    if (wt.w_panel[slot_index(s)] == panel) return s;
  }
  return NO_SLOT;
}

// The first live slot standing exactly at (x, y), or -1.
int32_t slot_at(uint16_t x, uint16_t y) {
  for (int32_t s = 0; s < wt.widget_end; s += 4) {
    if (wt.w_x[slot_index(s)] == x && wt.w_y[slot_index(s)] == y) return s;
  }
  return NO_SLOT;
}

// The number of live slots that remain after every panel with a widget at
// (x, y) has been closed: what the replacement would leave.
int32_t slots_left_after_replacing(uint16_t x, uint16_t y) {
  bool replaced[256] = {};
  const int32_t live = slot_index(wt.widget_end);
  for (int32_t i = 0; i < live; ++i) {
    if (wt.w_x[i] == x && wt.w_y[i] == y) replaced[wt.w_panel[i]] = true;
  }
  int32_t left = 0;
  for (int32_t i = 0; i < live; ++i) left += replaced[wt.w_panel[i]] ? 0 : 1;
  return left;
}

}  // namespace

// Appends the panel's records as live slots, first closing every panel that
// has a widget exactly where the panel's first record stands. A panel that
// would not fit the table even after that replacement is refused before
// anything changes: the table, the focus and the frame stay as they were.
bool open_panel(int32_t y_offset, int32_t x_offset, uint32_t panel) {
  if (panel >= static_cast<uint32_t>(PANEL_COUNT) || panel_directory[panel] == nullptr) return false;
  const PanelRecord* records = panel_directory[panel];
  int32_t count = 0;
  while (records[count].label != nullptr) ++count;
  if (count == 0) return false;  // an empty list has no first record to place

  // Stored, unresolved, offsets not added: an edge-relative first record
  // reads as a large value that no on-screen widget has.
  const auto first_x = static_cast<uint16_t>(records[0].x);
  const auto first_y = static_cast<uint16_t>(records[0].y);
  if (slots_left_after_replacing(first_x, first_y) + count > WIDGET_SLOTS) return false;
  for (int32_t s = slot_at(first_x, first_y); s != NO_SLOT; s = slot_at(first_x, first_y)) close_panel(s);

  const int32_t fw = raster.frame_width;
  const int32_t fh = raster.frame_height;
  int32_t previous_bottom = 0;
  for (int32_t n = 0; n < count; ++n) {
    const PanelRecord& r = records[n];
    const int32_t i = slot_index(wt.widget_end);
    int32_t x = r.x;
    if (x < 0) x += fw;
    int32_t y = r.y;
    if (y == -1) {
      y = previous_bottom;
    } else if (y < -1) {
      y += fh;
    }
    wt.w_label[i] = r.label;
    wt.w_data[i] = r.data;
    wt.w_x[i] = static_cast<uint16_t>(x + x_offset);
    wt.w_y[i] = static_cast<uint16_t>(y + y_offset);
    wt.w_width[i] = r.width < 0 ? static_cast<uint16_t>(fw + r.width + 1 - wt.w_x[i]) : static_cast<uint16_t>(r.width);
    previous_bottom = y + r.height;
    wt.w_height[i] = r.height;
    wt.w_value[i] = r.value;
    wt.w_param[i] = r.param;
    wt.w_kind[i] = r.kind;
    wt.w_colour[i] = r.colour;
    wt.w_flags[i] = r.flags;
    wt.w_hotkey[i] = r.hotkey;
    wt.w_panel[i] = static_cast<uint8_t>(panel);
    wt.widget_end += 4;
  }
  return true;
}

// Removes every slot of the panel that `slot` belongs to, gives the focus to
// default_focus and redraws the whole table.
void close_panel(int32_t slot) {
  if (!is_live_slot(slot)) return;
  const uint8_t panel = wt.w_panel[slot_index(slot)];
  wt.focus_widget = wt.default_focus;
  const int32_t live = slot_index(wt.widget_end);
  int32_t kept = 0;
  for (int32_t i = 0; i < live; ++i) {
    if (wt.w_panel[i] == panel) continue;
    if (kept != i) move_slot(kept, i);
    ++kept;
  }
  wt.widget_end = 4 * kept;
  redraw_all_widgets();
}

// Button handler: opens the panel named by the button's value unless it is
// already open, and gives the focus to the panel's first slot. When the
// panel cannot be opened the focus returns to where it was.
void show_panel(int32_t slot) {
  const int32_t old = wt.focus_widget;
  wt.focus_widget = NO_SLOT;
  draw_widget(old);
  const uint32_t panel = wt.w_value[slot_index(slot)];
  int32_t first = first_slot_of(panel);
  if (first == NO_SLOT) {
    if (!open_panel(0, 0, panel)) {
      wt.focus_widget = old;
      draw_widget(old);
      return;
    }
    for (int32_t s = 0; s < wt.widget_end; s += 4) {
      if (wt.w_panel[slot_index(s)] == panel) draw_widget(s);
    }
    first = first_slot_of(panel);
  }
  wt.focus_widget = first;
  draw_widget(first);
}

// Draws every live slot, first to last, after refreshing the line number
// that the bottom bar shows.
void redraw_all_widgets() {
  view.cursor_abs_line = static_cast<uint32_t>(view.top_line) + view.cursor_row;
  for (int32_t s = 0; s < wt.widget_end; s += 4) paint_widget(s);
}

// Ends every press: clears WF_PRESSED on every live slot that has it and
// redraws those slots.
void release_pressed() {
  wt.pressed_widget = NO_SLOT;
  for (int32_t s = 0; s < wt.widget_end; s += 4) {
    const int32_t i = slot_index(s);
    if (wt.w_flags[i] & WF_PRESSED) {
      wt.w_flags[i] = static_cast<uint8_t>(wt.w_flags[i] & ~WF_PRESSED);
      draw_widget(s);
    }
  }
}

}  // namespace vusk
