// The working values of one editing command, shared by the dispatcher
// (commands.cpp), its common end (command_end.cpp) and the bars' commands
// (bar_commands.cpp). Commands layer, private to those three files.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vusk {

// How the common end treats the Selection after a command.
enum class SelectionRule { MOVEMENT, TYPING, SKIP };

// Slot ranges a command may have to redraw besides the text rows.
enum RedrawGroup : uint8_t { GROUP_BOTTOM = 1, GROUP_OVERLAY = 2 };

// The working values of one command: the cursor it moves, what it found on
// entry, and what the common end must do.
struct Work {
  bool shift, ctrl;
  int32_t col, row;
  uint16_t entry_col;
  uint8_t entry_row;
  int32_t entry_top, entry_left;
  uint32_t entry_last;
  bool full_redraw;
  bool row_redraw;  // the cursor row must be redrawn even if the cursor stays
  bool deleted;     // bytes were deleted at the cursor (the end marker may have moved back)
  bool repeated;    // F6 has moved the cursor one line down already
  uint8_t groups;   // RedrawGroup bits
  SelectionRule rule;
  size_t before;    // cursor offset when the command began
  bool loaded;      // a load replaced the Document
  uint8_t* entry_buffer;
  uint32_t result;  // CommandResult bits: what the caller is left to do
};

// Fills the Document's location record for the command's row and column.
void locate_work(const Work& w);
// When an insertion moved the text block, points the Selection at the same
// offsets of the new one.
void rebase_selection(const Work& w);
// Clamps the cursor into the view, applies the selection rule, stores the
// cursor and redraws what the command changed.
void common_end(Work& w);

// The cursor goes to line `line`: on its row when the line is in view, else
// with the view centred on it, as a search hit is placed.
void show_line(Work& w, int32_t line);
// F3 (direction 0) or F4: the find field's pattern searched from the
// Selection or the cursor, or from `origin` when that is 0 or more; the
// match becomes the Selection. False when the pattern is empty, or when
// nothing matched ("Search string not found" posted).
bool search(Work& w, uint32_t direction, int64_t origin = -1);

// The replace bar and the go-to bar (bar_commands.cpp): whether `code` is
// one of their CODE_ codes, and running it. Returns whether the common end
// follows.
bool is_bar_command(uint32_t code);
bool run_bar_command(Work& w, uint32_t code);

}  // namespace vusk
