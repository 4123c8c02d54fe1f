// Placeholder until the text view lands.
#include "editor/text_view.h"

#include <cstring>

namespace vusk {

ViewState view;

void reset_view_state() { std::memset(&view, 0, sizeof view); }

void layout_text_view() {}
uint32_t create_text_rows(uint32_t) { return 0; }
void sync_scroll_thumb() {}
void fill_row_pointers() {}
void redraw_text_view() {}
void scroll_by_wheel(int32_t) {}
void scroll_step_button(int32_t) {}
void drag_scroll_thumb(int32_t) {}
void bookmark_button(int32_t) {}
void place_cursor_by_mouse(uint32_t, uint32_t, uint32_t, int32_t) {}
void empty_selection(uint8_t* at) { view.sel_anchor = view.sel_head = view.sel_start = view.sel_end = at; }

}  // namespace vusk
