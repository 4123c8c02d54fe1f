// The input router: pointer and keyboard state, the command key table, hit
// testing, focus moves and the behaviour of every widget kind, and the
// result through which keys, presses and the wheel reach the editor.
// Widgets layer: includes raster and platform only; the layers above (the
// window procedure among them) include it.
#pragma once
#include <cstdint>

namespace vusk {

// What a routed message leaves to the caller (the window procedure), which
// acts on it: the router itself edits nothing and scrolls nothing.
enum RouteAction : uint8_t {
  ROUTE_NONE = 0,
  ROUTE_COMMAND,    // a key no widget uses: run `code`, a CommandCode
  ROUTE_SUBMITTED,  // Enter in a text field: the caller runs its search
  ROUTE_TEXT_ROW,   // a press (phase 0), drag (phase 1) or double-click (phase 2)
                    // on text row `slot`, at (y, x) relative to the row's top-left corner
  ROUTE_WHEEL,      // the mouse wheel: `code` is the message's whole first parameter
  ROUTE_CANCELLED,  // Escape in a text field with WF_ESCAPE_CANCELS
  ROUTE_SEQUENCE,   // a character of several bytes that no field took: the caller types it
};
struct RouteResult {
  RouteAction action;
  uint32_t code;
  uint32_t y, x, phase;
  int32_t slot;
};

// The router's state between messages.
struct InputState {
  int32_t press_x, press_y;    // position at the press (drag handles: previous move)
  int32_t drag_origin_value;   // w_value of the pressed widget at the press
  int32_t rdrag_widget;        // slot of a right-button panel drag, or -1
  int32_t rdrag_x, rdrag_y;    // previous position of that drag
  uint8_t shift_down, ctrl_down, alt_latched;
  uint8_t escape_closes;       // the character Escape asks the window to close
  uint8_t utf8_fields;         // text fields hold UTF-8: edits keep its characters whole
  RouteResult routed;          // what the message being routed leaves to the caller
};
extern InputState input;  // the router's one state

// No press, no drag, no modifier held; Escape closes, as for a window
// without flags.
void reset_input_state();

// Key-downs routed as CommandCodes, by virtual key: 1 routed, 0 ignored.
extern const uint8_t command_key_table[160];

// Routes one mouse or keyboard message at frame position (x, y) to the
// widgets and the focus; returns what is left for the caller to do.
RouteResult route_input(uint32_t y, uint32_t x, uintptr_t key, uint32_t message);
// Routes the n bytes of one typed character (UTF-8, 2 to 4 bytes): a focused
// text field takes them all or, when they would reach past its end, none;
// otherwise they are left to the caller as ROUTE_SEQUENCE.
RouteResult route_sequence(const uint8_t* bytes, uint32_t n);
// The topmost hittable slot whose rectangle (right and bottom edges
// included) holds the point, or -1.
int32_t hit_test(uint32_t y, uint32_t x);
// The Tab step: the focus moves one hittable slot on, or back while Shift is
// held, and falls to default_focus past either end.
void focus_next();

}  // namespace vusk
