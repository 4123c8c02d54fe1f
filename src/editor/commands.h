// The editing dispatcher run_command: CommandCodes, the F6 repeat memory,
// bookmarks and the insert/overwrite mode. Included by the input router, the
// text view, the transfer routines and the screens.
#pragma once
#include <cstdint>

namespace vusk {

constexpr uint32_t SYNTHETIC_FLAG = 0x100000;
constexpr uint32_t SYNTHETIC_CTRL = 0x200000;
constexpr uint32_t SYNTHETIC_SHIFT = 0x400000;
constexpr uint32_t COMMAND_KEY_MASK = 0xFFFFF;
constexpr uint32_t KEY_CODE_OFFSET = 0x100;  // CommandCode of a table key = 0x100 + VK

struct CommandState {
  uint8_t insert_mode;  // 1 insert, 0 overwrite
  uint32_t bookmark_line[2];
  uint32_t last_command;
  int32_t last_column;
  uint8_t last_shift, last_ctrl;
};
extern CommandState cmd;

void reset_command_state();

void run_command(uint32_t code);

}  // namespace vusk
