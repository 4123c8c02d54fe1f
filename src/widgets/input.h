// The input router: pointer and keyboard state, the command key table, hit
// testing, focus moves and the behaviour of every widget kind, and the hooks
// through which keys and presses reach the editor. Widgets layer: includes
// raster and platform only; the editor, the screens and the app (the window
// procedure) include it.
#pragma once
#include <cstdint>

namespace vusk {

// The router's state between messages.
struct InputState {
  int32_t press_x, press_y;    // position at the press (drag handles: previous move)
  int32_t drag_origin_value;   // w_value of the pressed widget at the press
  int32_t rdrag_widget;        // slot of a right-button panel drag, or -1
  int32_t rdrag_x, rdrag_y;    // previous position of that drag
  uint8_t shift_down, ctrl_down, alt_latched;
  uint8_t escape_closes;       // the character Escape asks the window to close
};
extern InputState input;  // the router's one state

// No press, no drag, no modifier held; Escape closes, as for a window
// without flags.
void reset_input_state();

// Key-downs routed as CommandCodes, by virtual key: 1 routed, 0 ignored.
extern const uint8_t command_key_table[160];

// Where the router sends what the widgets do not take; each is installed by
// a higher layer at start-up, and a null one drops the call.
// The editing dispatcher: every key that no widget uses, as a CommandCode.
extern void (*run_command_hook)(uint32_t code);
// A press (phase 0) or a drag (phase 1) on a text row, in pixels relative to
// the row's top-left corner.
extern void (*text_row_press_hook)(uint32_t y, uint32_t x, uint32_t phase, int32_t slot);
// The mouse wheel, with the whole first parameter of its message.
extern void (*wheel_hook)(int32_t wheel);

// Bits of route_input's result, for its caller to act on.
enum RouteResult : uint32_t {
  ROUTE_SUBMITTED = 0x01,  // Enter in a text field: the caller runs its search
  ROUTE_CANCELLED = 0x02,  // Escape in a text field with WF_ESCAPE_CANCELS
};

// Routes one mouse or keyboard message at frame position (x, y) to the
// widgets, the focus or the hooks; returns RouteResult bits (0 for none).
uint32_t route_input(uint32_t y, uint32_t x, uintptr_t key, uint32_t message);
// The topmost hittable slot whose rectangle (right and bottom edges
// included) holds the point, or -1.
int32_t hit_test(uint32_t y, uint32_t x);
// The Tab step: the focus moves one hittable slot on, or back while Shift is
// held, and falls to default_focus past either end.
void focus_next();

}  // namespace vusk
