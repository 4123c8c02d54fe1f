// Placeholder until the input router lands.
#include "widgets/input.h"

#include <cstring>

#include "widgets/widget_table.h"

namespace vusk {

InputState input;
const uint8_t command_key_table[160] = {};

void reset_input_state() {
  std::memset(&input, 0, sizeof input);
  input.rdrag_widget = NO_SLOT;
}

void route_input(uint32_t, uint32_t, uintptr_t, uint32_t) {}
int32_t hit_test(uint32_t, uint32_t) { return NO_SLOT; }
void focus_next() {}

}  // namespace vusk
