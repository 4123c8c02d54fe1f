// The WidgetTable (160 live slots as parallel arrays), the static PanelRecord
// and DragDescriptor formats, the PanelDirectory, and the panel operations.
// A widget is named by its WidgetSlot: 4 times its index, -1 for none.
// Widgets layer: includes raster only; anyone above (editor, files,
// commands, screens, app, backends) may include it.
#pragma once
#include <cstdint>

namespace vusk {

constexpr int32_t WIDGET_SLOTS = 160;  // slots in the table
constexpr int32_t NO_SLOT = -1;        // the WidgetSlot of no widget
constexpr int32_t PANEL_COUNT = 12;    // entries in the PanelDirectory

// Panel 0 is the base panel: always open, it carries the text rows too, and
// has no hotkeys. What the other panel numbers name is the screens' business.
constexpr uint8_t BASE_PANEL = 0;

// A button's handler or a drag descriptor's routine, called with the slot.
using WidgetHandler = void (*)(int32_t slot);

// The kind-specific data of a widget: a handler for buttons, otherwise the
// address of a variable, buffer, row-pointer array or DragDescriptor.
union WidgetData {
  void* ptr;
  WidgetHandler handler;
  constexpr WidgetData() : ptr(nullptr) {}
  constexpr WidgetData(void* p) : ptr(p) {}
  constexpr WidgetData(WidgetHandler h) : handler(h) {}
};

// What a widget is, and so how the router treats it.
enum WidgetKind : uint8_t {
  WK_STATIC = 0,
  WK_TOGGLE = 1,
  WK_SLIDER = 2,
  WK_BUTTON = 3,
  WK_CYCLE = 4,
  WK_TEXT_ROW = 5,
  WK_TEXT_INPUT = 6,
  WK_DRAG_HANDLE = 7,
};

// Bits of w_flags.
enum WidgetFlags : uint8_t {
  WF_PRESSED = 0x01,
  WF_MOVABLE = 0x02,
  WF_ENTER = 0x04,
  WF_ARROWS_ACROSS = 0x08,
  WF_ARROWS_DOWN = 0x10,
  WF_REDRAW_ALL = 0x20,
  WF_ESCAPE_CANCELS = 0x40,  // a text field: Escape is a cancel, not a character
  WF_UTF8_TEXT = 0x80,       // the label's text is UTF-8: each valid sequence draws as its character
};

// One static widget record; a list ends with a record whose label is null.
struct PanelRecord {
  const uint8_t* label;
  WidgetData data;
  int16_t x, y, width;
  uint16_t height, value;
  uint8_t param, kind, colour, flags, hotkey, pad;
};

// The limits of a drag handle and the routine that follows each move.
struct DragDescriptor {
  int16_t min_x, min_y, max_x, max_y;  // negative: from the right / bottom edge
  WidgetHandler on_move;
};

// Panel id -> its record list. The screens install the application's panels;
// tests may install their own.
extern PanelRecord* panel_directory[PANEL_COUNT];

// The live widgets, one column per field, and the table's focus and press.
struct WidgetTableState {
  const uint8_t* w_label[WIDGET_SLOTS];
  WidgetData w_data[WIDGET_SLOTS];
  uint16_t w_x[WIDGET_SLOTS], w_y[WIDGET_SLOTS];
  uint16_t w_width[WIDGET_SLOTS], w_height[WIDGET_SLOTS];
  uint16_t w_value[WIDGET_SLOTS];
  uint8_t w_param[WIDGET_SLOTS], w_kind[WIDGET_SLOTS], w_panel[WIDGET_SLOTS];
  uint8_t w_flags[WIDGET_SLOTS], w_colour[WIDGET_SLOTS], w_hotkey[WIDGET_SLOTS];
  int32_t widget_end;      // one past the last live slot
  int32_t focus_widget;    // slot with the keyboard focus, or -1
  int32_t default_focus;   // takes the focus when a panel closes
  int32_t pressed_widget;  // slot the left button went down on, or -1
  uint8_t alt_panel;       // the panel whose first slot Alt focuses (the menu bar)
};
extern WidgetTableState wt;  // the one WidgetTable

// Empties the table: no live slot, no focus, no default focus, no press.
void reset_widget_state();

// Runs first thing in redraw_all_widgets, so that whoever owns a value that
// the bars show can refresh it; null for none. Installed by the editor.
extern void (*before_redraw_all)();

// Index of a WidgetSlot in the arrays.
constexpr int32_t slot_index(int32_t slot) { return slot >> 2; }
// Whether `slot` names a live slot (-1 and slots at widget_end do not).
inline bool is_live_slot(int32_t slot) { return slot >= 0 && slot < wt.widget_end; }

// Writes every column of slot `index` from `record`, taking x, y and width
// as already resolved screen values, and marks the slot as `panel`'s.
void fill_slot(int32_t index, const PanelRecord& record, uint8_t panel);
// Slot `index` read back as a record (its panel is w_panel[index]).
PanelRecord slot_record(int32_t index);
// The first live slot opened from `panel`, or -1.
int32_t first_slot_of(uint32_t panel);
// The WidgetSlot of record `record` of the open panel `panel`, counted from
// the panel's first slot that is not a text row (the rows carry the base
// panel's id too); NO_SLOT when the panel is not open or has no such record.
int32_t panel_slot(uint32_t panel, uint32_t record);

// Appends the panel's records as live slots; false (and nothing opened) when
// they would not fit the table.
bool open_panel(int32_t y_offset, int32_t x_offset, uint32_t panel);
// Removes every slot of the panel that `slot` belongs to, gives the focus to
// default_focus and redraws the whole table.
void close_panel(int32_t slot);
// Button handler: opens the panel named by the button's value unless it is
// open, and focuses the panel's first slot.
void show_panel(int32_t slot);
// Opens `panel` unless it is open, and focuses its first slot (show_panel's
// work, for callers that name the panel themselves, such as a key).
void show_panel_by_id(uint32_t panel);
// Draws every live slot, first to last, after calling before_redraw_all.
void redraw_all_widgets();
// Ends every press: clears WF_PRESSED wherever it is set and redraws those slots.
void release_pressed();

}  // namespace vusk
