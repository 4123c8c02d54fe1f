// Placeholder until the screens land.
#include "screens/screens.h"

namespace vusk {

uint8_t colour_scheme[4] = {7, 13, 13, 7};

void reset_screen_state() {
  colour_scheme[0] = 7;
  colour_scheme[1] = 13;
  colour_scheme[2] = 13;
  colour_scheme[3] = 7;
}

void select_colour_scheme(int32_t) {}
void run_benchmark(int32_t) {}
void open_file_dialog(int32_t) {}
void save_file_dialog(int32_t) {}
void no_action(int32_t) {}

}  // namespace vusk
