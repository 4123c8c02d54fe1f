// Placeholder until the editing dispatcher lands.
#include "editor/commands.h"

#include <cstring>

namespace vusk {

CommandState cmd;

void reset_command_state() {
  std::memset(&cmd, 0, sizeof cmd);
  cmd.insert_mode = 1;
}

void run_command(uint32_t) {}

}  // namespace vusk
