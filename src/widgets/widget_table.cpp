// The live WidgetTable and the panel operations: opening a panel's records
// as slots (edge-relative geometry resolved against the frame), closing a
// panel with compaction, showing a panel with focus, and the two whole-table
// operations.
#include "widgets/widget_table.h"

#include "raster/raster.h"
#include "widgets/label.h"

namespace vusk {

PanelRecord* panel_directory[PANEL_COUNT];
WidgetTableState wt;
void (*before_redraw_all)() = nullptr;

void reset_widget_state() {
  wt = WidgetTableState{};
  wt.focus_widget = NO_SLOT;
  wt.default_focus = NO_SLOT;
  wt.pressed_widget = NO_SLOT;
}

void fill_slot(int32_t index, const PanelRecord& record, uint8_t panel) {
  wt.w_label[index] = record.label;
  wt.w_data[index] = record.data;
  wt.w_x[index] = static_cast<uint16_t>(record.x);
  wt.w_y[index] = static_cast<uint16_t>(record.y);
  wt.w_width[index] = static_cast<uint16_t>(record.width);
  wt.w_height[index] = record.height;
  wt.w_value[index] = record.value;
  wt.w_param[index] = record.param;
  wt.w_kind[index] = record.kind;
  wt.w_colour[index] = record.colour;
  wt.w_flags[index] = record.flags;
  wt.w_hotkey[index] = record.hotkey;
  wt.w_panel[index] = panel;
}

PanelRecord slot_record(int32_t index) {
  return PanelRecord{wt.w_label[index],  wt.w_data[index],
                     static_cast<int16_t>(wt.w_x[index]), static_cast<int16_t>(wt.w_y[index]),
                     static_cast<int16_t>(wt.w_width[index]), wt.w_height[index],
                     wt.w_value[index], wt.w_param[index], wt.w_kind[index], wt.w_colour[index],
                     wt.w_flags[index], wt.w_hotkey[index], 0};
}

int32_t first_slot_of(uint32_t panel) {
  for (int32_t s = 0; s < wt.widget_end; s += 4) {
    if (wt.w_panel[slot_index(s)] == panel) return s;
  }
  return NO_SLOT;
}

int32_t panel_slot(uint32_t panel, uint32_t record) {
  int32_t first = 0;
  while (first < slot_index(wt.widget_end) && (wt.w_panel[first] != panel || wt.w_kind[first] == WK_TEXT_ROW)) {
    ++first;
  }
  const int64_t index = int64_t{first} + record;
  if (index >= slot_index(wt.widget_end) || wt.w_panel[index] != panel || wt.w_kind[index] == WK_TEXT_ROW) {
    return NO_SLOT;
  }
  return static_cast<int32_t>(4 * index);
}

namespace {

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

// The record as it stands on the current frame: edge-relative x, y and width
// resolved and the offsets added. `previous_bottom` is the bottom of the
// record before it (for y = -1), without y_offset; it becomes this record's.
PanelRecord resolved(const PanelRecord& r, int32_t y_offset, int32_t x_offset, int32_t& previous_bottom) {
  const int32_t fw = raster.frame_width;
  const int32_t fh = raster.frame_height;
  int32_t x = r.x;
  if (x < 0) x += fw;
  int32_t y = r.y;
  if (y == -1) {
    y = previous_bottom;
  } else if (y < -1) {
    y += fh;
  }
  previous_bottom = y + r.height;
  PanelRecord out = r;
  const auto screen_x = static_cast<uint16_t>(x + x_offset);
  out.x = static_cast<int16_t>(screen_x);
  out.y = static_cast<int16_t>(y + y_offset);
  if (r.width < 0) out.width = static_cast<int16_t>(fw + r.width + 1 - screen_x);
  return out;
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

  int32_t previous_bottom = 0;
  for (int32_t n = 0; n < count; ++n) {
    fill_slot(slot_index(wt.widget_end), resolved(records[n], y_offset, x_offset, previous_bottom),
              static_cast<uint8_t>(panel));
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
    if (kept != i) fill_slot(kept, slot_record(i), wt.w_panel[i]);
    ++kept;
  }
  wt.widget_end = 4 * kept;
  redraw_all_widgets();
}

// Button handler: opens the panel named by the button's value unless it is
// already open, and gives the focus to the panel's first slot. When the
// panel cannot be opened the focus returns to where it was.
void show_panel(int32_t slot) { show_panel_by_id(wt.w_value[slot_index(slot)]); }

void show_panel_by_id(uint32_t panel) {
  const int32_t old = wt.focus_widget;
  wt.focus_widget = NO_SLOT;
  draw_widget(old);
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

// Draws every live slot, first to last, after letting the owners of the
// values the bars show refresh them (the editor: the cursor's line).
void redraw_all_widgets() {
  if (before_redraw_all != nullptr) before_redraw_all();
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
