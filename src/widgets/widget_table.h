// The WidgetTable (160 live slots as parallel arrays), the static PanelRecord
// and DragDescriptor formats, the PanelDirectory, and the panel operations.
// A widget is named by its WidgetSlot: 4 times its index, -1 for none.
// Included by the widget toolkit, the editor's text view and the screens.
#pragma once
#include <cstdint>

namespace vusk {

constexpr int32_t WIDGET_SLOTS = 160;
constexpr int32_t NO_SLOT = -1;
constexpr int32_t PANEL_COUNT = 9;

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

enum WidgetFlags : uint8_t {
  WF_PRESSED = 0x01,
  WF_MOVABLE = 0x02,
  WF_ENTER = 0x04,
  WF_ARROWS_ACROSS = 0x08,
  WF_ARROWS_DOWN = 0x10,
  WF_REDRAW_ALL = 0x20,
};

// One static widget record; a list ends with a record whose label is null.
struct PanelRecord {
  const uint8_t* label;
  WidgetData data;
  int16_t x, y, width;
  uint16_t height, value;
  uint8_t param, kind, colour, flags, hotkey, pad;
};

struct DragDescriptor {
  int16_t min_x, min_y, max_x, max_y;  // negative: from the right / bottom edge
  WidgetHandler on_move;
};

// Panel id -> its record list. The screens install the application's panels;
// tests may install their own.
extern PanelRecord* panel_directory[PANEL_COUNT];

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
};
extern WidgetTableState wt;

void reset_widget_state();

// Index of a WidgetSlot in the arrays.
constexpr int32_t slot_index(int32_t slot) { return slot >> 2; }
inline bool is_live_slot(int32_t slot) { return slot >= 0 && slot < wt.widget_end; }

// Appends the panel's records as live slots; false (and nothing opened) when
// they would not fit the table.
bool open_panel(int32_t y_offset, int32_t x_offset, uint32_t panel);
void close_panel(int32_t slot);
void show_panel(int32_t slot);
void redraw_all_widgets();
void release_pressed();

}  // namespace vusk
