// The input router: pointer and keyboard state, the command key table, hit
// testing, focus moves and the behaviour of every widget kind. Included by
// the window procedure, the editor and the screens.
#pragma once
#include <cstdint>

namespace vusk {

struct InputState {
  int32_t press_x, press_y;    // position at the press (drag handles: previous move)
  int32_t drag_origin_value;   // w_value of the pressed widget at the press
  int32_t rdrag_widget;        // slot of a right-button panel drag, or -1
  int32_t rdrag_x, rdrag_y;    // previous position of that drag
  uint8_t shift_down, ctrl_down, alt_latched;
};
extern InputState input;

void reset_input_state();

extern const uint8_t command_key_table[160];

void route_input(uint32_t y, uint32_t x, uintptr_t key, uint32_t message);
int32_t hit_test(uint32_t y, uint32_t x);
void focus_next();

}  // namespace vusk
