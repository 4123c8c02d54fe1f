// The editing dispatcher run_command: CommandCodes, the F6 repeat memory,
// bookmarks and the insert/overwrite mode, and the table of services the
// dispatcher borrows from the layers above it (loading, search, transfer,
// status), which app installs at start-up. Editor layer: the editor, the
// files, the screens, the app and the backends may include it; the widgets
// reach run_command only through the command hook that app installs.
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
  uint8_t insert_mode;  // 1 insert, 0 overwrite
  uint32_t bookmark_line[2];
  uint32_t last_command;  // F6 repeats this key code (NO_COMMAND: none yet) ...
  int32_t last_column;    // ... from this screen column ...
  uint8_t last_shift, last_ctrl;  // ... with these modifiers
};
extern CommandState cmd;  // the dispatcher's one state

// The F6 memory before any command was recorded: no key code, so F6 does
// nothing (a code 0 would type a NUL byte into the next line).
constexpr uint32_t NO_COMMAND = UINT32_MAX;
static_assert(NO_COMMAND > COMMAND_KEY_MASK);

// What the dispatcher needs from the files and the window. Each entry may be
// null: the command that would use it then does nothing more than its own
// cursor and view work (the editor's unit tests run without them).
struct CommandServices {
  // Ctrl+F2: reloads the document in the other mode (text or hex listing)
  // and empties the Selection, whether or not the load succeeded.
  void (*reload_in_other_mode)();
  // Ctrl+F3 / Ctrl+F4: loads the file `step` (-1 or +1) entries away in the
  // file's folder, asking `may_replace` first when there is one to load;
  // true when one was loaded.
  bool (*step_directory)(int32_t step, bool (*may_replace)());
  // The find field's buffer, `find_pattern_chars` bytes padded with spaces;
  // Enter with the focus on the field that shows it searches.
  char* find_pattern;
  uint32_t find_pattern_chars;
  // F3 / F4: selects the next match of [pattern_start, pattern_end) from the
  // located cursor, forward (0) or backward (1); its line, or -1.
  int32_t (*find_text)(uint32_t direction, const uint8_t* pattern_end, const uint8_t* pattern_start);
  // Ctrl+V: inserts the clipboard's text at the located cursor; false when
  // there was none.
  bool (*paste_clipboard_text)();
  // Ctrl+Insert: copies the Selection to the transfer file; true when all
  // of it was written.
  bool (*copy_selection_to_transfer_file)();
  // Shift+Insert, first: reads the whole transfer file, so that one the
  // Document cannot take is refused (false, after telling the user) before
  // the Selection it would replace is deleted. No file reads as nothing.
  bool (*read_transfer_file)();
  // ... then inserts the bytes read at the located cursor.
  void (*insert_transfer_file)();
  // Ctrl+S: as the File menu's "Save".
  void (*save_document)();
  // Ctrl+O: as the File menu's "Open as text": the unsaved-changes
  // question, the dialog, the load and its redraw.
  void (*open_document)();
  // Before Ctrl+F2 and Ctrl+F3/F4 replace the Document: asks about unsaved
  // changes; false stops the command (Cancel, or a save that failed).
  bool (*settle_unsaved_changes)();
};
extern CommandServices command_services;  // filled by app at start-up

// Insert mode, no bookmarks, and an empty F6 memory.
void reset_command_state();

// Runs one CommandCode (a character, KEY_CODE_OFFSET + virtual key, or a
// synthetic code with its modifier bits) and redraws what it changed.
void run_command(uint32_t code);

}  // namespace vusk
