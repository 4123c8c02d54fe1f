// Process start-up, the command line, the message loop, and the reset of
// every subsystem's state. App layer, the top of the core: the start-up wires
// the lower layers' hooks to the higher ones. Included by the backends' entry
// points and the tests.
#pragma once
#include <cstdint>

namespace vusk {

// Where the command line is being read.
struct StartupState {
  const char* cmdline_cursor;  // where next_argument reads on
};
extern StartupState startup;  // the start-up's one state

// The longest command-line argument taken, in characters; a longer one is
// refused at start-up.
constexpr uint32_t LONGEST_ARGUMENT = 127;

// Start-up up to the message loop: the empty Document, the names, the
// window and its first frame, then the command line's file on screen.
void start_up_steps();
// The whole start-up: start_up_steps, the message loop, then quit().
[[noreturn]] void start_up();
// The command line just past the program's own path: where the arguments
// begin.
const char* skip_program_path();
// Copies the next command-line argument (at most LONGEST_ARGUMENT characters)
// into dest, terminated, and returns its length; 0 when there is none.
// Quotes group characters and are not copied; inside quotes a doubled quote
// is one quote character, and an argument holding one is refused at start-up,
// as one longer than the limit is.
uint32_t next_argument(char* dest);
// Whether the argument that next_argument read last is refused: longer than
// the limit, or holding a double quote.
bool last_argument_refused();
// Hands every platform message to the window until the quit message comes.
void message_loop();
// Ends the process with exit code 0.
[[noreturn]] void quit();

// Resets every subsystem's state, so that each test starts clean.
void reset_all_state();

}  // namespace vusk
