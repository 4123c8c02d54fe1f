// The editing dispatcher run_command: CommandCodes, the F6 repeat memory
// and the bookmarks. It calls the editor and the files directly, and hands
// what belongs to the screens (Ctrl+S, Ctrl+O) back as its result. Commands
// layer: the commands, the screens, the app and the backends may include it.
#pragma once
#include <cstdint>

namespace vusk {

constexpr uint32_t SYNTHETIC_FLAG = 0x100000;   // a code from a menu entry or a button
constexpr uint32_t SYNTHETIC_CTRL = 0x200000;   // ... to be run with Ctrl
constexpr uint32_t SYNTHETIC_SHIFT = 0x400000;  // ... to be run with Shift
constexpr uint32_t COMMAND_KEY_MASK = 0xFFFFF;  // the key code of any CommandCode
constexpr uint32_t KEY_CODE_OFFSET = 0x100;     // CommandCode of a table key = 0x100 + VK

// What the dispatcher keeps between commands.
struct CommandState {
  uint32_t bookmark_line[2];
  uint32_t last_command;  // F6 repeats this key code (NO_COMMAND: none yet) ...
  int32_t last_column;    // ... from this screen column ...
  uint8_t last_shift, last_ctrl;  // ... with these modifiers
  char replaced_message[32];      // "N replaced.": the status line points at it
  uint8_t typed[4];               // the bytes of the character CHAR_SEQUENCE types next ...
  uint8_t typed_length;
  uint8_t repeat_typed[4];        // ... and of the one F6 types again
  uint8_t repeat_typed_length;
};
extern CommandState cmd;  // the dispatcher's one state

// The F6 memory before any command was recorded: no key code, so F6 does
// nothing (a code 0 would type a NUL byte into the next line).
constexpr uint32_t NO_COMMAND = UINT32_MAX;
static_assert(NO_COMMAND > COMMAND_KEY_MASK);

// What run_command leaves to its caller: the window-level commands whose
// dialogs, panels and redraws belong to the screens.
enum CommandResult : uint32_t {
  COMMAND_DONE = 0,
  COMMAND_SAVE = 0x01,  // Ctrl+S: as the File menu's "Save"
  COMMAND_OPEN = 0x02,  // Ctrl+O: as "Open as text": the question, the dialog, the load
  COMMAND_FIND = 0x04,  // Ctrl+F: the find bar opens
  COMMAND_REPLACE = 0x08,  // Ctrl+H: the replace bar opens
  COMMAND_GO_TO = 0x10,    // Ctrl+G: the go-to bar opens
};

// The go-to bar's field: a line number, or a byte offset in a hex listing
// (decimal, or hex after 0x). Space-padded, then 0, as the find field.
constexpr uint32_t GOTO_FIELD_CHARS = 12;
extern char goto_field[GOTO_FIELD_CHARS + 1];

// No bookmarks, an empty F6 memory and an empty go-to field.
void reset_command_state();

// The code that types the character of several bytes given to
// run_typed_sequence: one command, so that F6 repeats the whole character.
constexpr uint32_t CHAR_SEQUENCE = 0x200;
static_assert(CHAR_SEQUENCE >= KEY_CODE_OFFSET + 0x100 && CHAR_SEQUENCE < SYNTHETIC_FLAG);

// Types the `n` bytes (2 to 4) of one character as one command, CHAR_SEQUENCE;
// returns the CommandResult bits, as run_command.
uint32_t run_typed_sequence(const uint8_t* bytes, uint32_t n);

// Runs one CommandCode (a character, KEY_CODE_OFFSET + virtual key, or a
// synthetic code with its modifier bits) and redraws what it changed;
// returns the CommandResult bits of what is left to the caller.
uint32_t run_command(uint32_t code);

}  // namespace vusk
