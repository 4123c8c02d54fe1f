// Placeholder until the widget table lands.
#include "widgets/widget_table.h"

#include <cstring>

namespace vusk {

PanelRecord* panel_directory[PANEL_COUNT];
WidgetTableState wt;

void reset_widget_state() {
  wt = WidgetTableState{};
  wt.focus_widget = NO_SLOT;
  wt.default_focus = NO_SLOT;
  wt.pressed_widget = NO_SLOT;
}

bool open_panel(int32_t, int32_t, uint32_t) { return false; }
void close_panel(int32_t) {}
void show_panel(int32_t) {}
void redraw_all_widgets() {}
void release_pressed() {}

}  // namespace vusk
