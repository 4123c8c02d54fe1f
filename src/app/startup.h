// Process start-up, the command line and the message loop.
// Included by the backends' entry points and the tests.
#pragma once
#include <cstdint>

namespace vusk {

struct StartupState {
  const char* cmdline_cursor;
};
extern StartupState startup;

constexpr uint32_t LONGEST_ARGUMENT = 127;

// Steps 1 to 12 of start-up: state, window, first frame, command-line file.
void start_up_steps();
// The whole start-up: the steps, the message loop, then quit().
[[noreturn]] void start_up();
const char* reset_widget_table();
// Copies the next command-line argument (at most LONGEST_ARGUMENT characters)
// into dest, terminated, and returns its length; 0 when there is none.
// Quotes group characters and are not copied; inside quotes a doubled quote
// is one quote character, and an argument holding one is refused at start-up,
// as one longer than the limit is.
uint32_t next_argument(char* dest);
void message_loop();
[[noreturn]] void quit();

// Resets every subsystem's state, so that each test starts clean.
void reset_all_state();

}  // namespace vusk
