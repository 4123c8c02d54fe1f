// The path prompt: where no file dialog can be shown (on Linux, without
// zenity), the path to open or to save under is typed into a field of the
// program's own, drawn and edited as the find field is; Enter takes it and
// Escape cancels. Screens layer: included by the panel tables, the File
// menu's bindings, the app (the window procedure hands it the field's Enter
// and Escape) and the tests.
#pragma once
#include <cstdint>

#include "widgets/input.h"

namespace vusk {

// The characters the prompt's field holds.
constexpr uint32_t PROMPT_PATH_CHARS = 64;
// The most characters of a reason shown: it must fit the least frame's
// status line.
constexpr uint32_t PROMPT_REASON_CHARS = 46;

// What the prompt asks for and what it has been given so far.
struct PathPromptState {
  char field[PROMPT_PATH_CHARS + 1];  // the field's text, padded with spaces
  uint8_t saving;                     // 1: Enter saves, 0: Enter opens (the caption's variable)
  uint8_t mode;                       // the file mode of that load or save
  char reason[PROMPT_REASON_CHARS + 1];  // why no dialog: the status message it posted
};
extern PathPromptState path_prompt;  // the one prompt

// An empty field, asking for a path to open as text.
void reset_path_prompt_state();

// Opens the prompt in place of the open (save false) or save dialog that
// could not be shown, for a load or a save in `mode`, and posts `reason` as
// the status message. When it fits, the field starts with file_path's
// folder and the caret after it (open), or with file_path and the caret at
// its start, where typing replaces it (save).
void ask_path_in_prompt(bool save, uint8_t mode, const char* reason);

// Acts on the Enter or Escape that route_input reported (its RouteResult
// bits) when the focus is on the prompt's field: Escape, or Enter on an
// empty field, closes the prompt and does nothing more; Enter on a path
// loads it (after asking about unsaved changes) or saves under it (after
// asking before replacing a file). True when the prompt took the key.
bool path_prompt_answered(RouteAction action);

}  // namespace vusk
