// The path prompt that stands in for a file dialog that cannot be shown.
#include "screens/path_prompt.h"

#include <cstring>

#include "commands/unsaved.h"
#include "screens/panel_ids.h"
#include "files/load_save.h"
#include "platform/platform.h"
#include "screens/file_menu.h"
#include "widgets/input.h"
#include "widgets/label.h"
#include "widgets/status.h"
#include "widgets/widget_table.h"

namespace vusk {

PathPromptState path_prompt;

void reset_path_prompt_state() {
  path_prompt = PathPromptState{};
  std::memset(path_prompt.field, ' ', PROMPT_PATH_CHARS);
}

namespace {

constexpr char REPLACE_END[] = " exists. Replace it?";

// The length of the folder part of `path`, its last separator included.
size_t folder_length(const char* path) {
  size_t n = 0;
  for (size_t i = 0; path[i] != 0; ++i) {
    if (is_path_separator(path[i])) n = i + 1;
  }
  return n;
}

// Puts the first `length` bytes of `text` into the field, padded with
// spaces (nothing when they do not fit); returns how many it put there.
uint32_t fill_field(const char* text, size_t length) {
  std::memset(path_prompt.field, ' ', PROMPT_PATH_CHARS);
  if (length > PROMPT_PATH_CHARS) length = 0;
  std::memcpy(path_prompt.field, text, length);
  return static_cast<uint32_t>(length);
}

// The field's first text for a request: to open, the current file's folder
// with the caret after it, so that a name typed there names a file beside
// it; to save, the current path with the caret at its start, where the
// first character typed replaces it all, as a dialog's selected name is
// replaced. Returns the caret.
uint32_t suggest(bool save) {
  const char* current = files.file_path;
  if (save) {
    fill_field(current, std::strlen(current));
    return 0;
  }
  return fill_field(current, folder_length(current));
}

// Whether `slot` is the prompt's field (and not the find field).
bool is_prompt_field(int32_t slot) {
  return is_live_slot(slot) && wt.w_kind[slot_index(slot)] == WK_TEXT_INPUT &&
         wt.w_data[slot_index(slot)].ptr == path_prompt.field;
}

// The field's text without its trailing spaces, into `path` (PATH_BYTES).
void take_field_text(char* path) {
  size_t n = PROMPT_PATH_CHARS;
  while (n > 0 && path_prompt.field[n - 1] == ' ') --n;
  std::memcpy(path, path_prompt.field, n);
  path[n] = 0;
}

// Before a save over an existing file, asks as the save dialog does; true
// when the save may go on.
bool may_replace(const char* path) {
  if (file_kind(path) != FILE_KIND_REGULAR) return true;  // nothing to lose, or a refusal to come
  char text[PATH_BYTES + sizeof REPLACE_END];
  const size_t n = std::strlen(path);
  std::memcpy(text, path, n);
  std::memcpy(text + n, REPLACE_END, sizeof REPLACE_END);
  return ask_question(text, QUESTION_CAPTION, QUESTION_YES_NO) == ANSWER_YES;
}

// Enter in the field: the prompt closes, then a path is loaded or saved to
// as a dialog's choice would be. An empty field is a cancel.
void accept(int32_t slot) {
  char path[PATH_BYTES];
  take_field_text(path);
  close_panel(slot);
  if (path[0] == 0) return;
  if (path_prompt.saving != 0) {
    if (!may_replace(path)) return;
    take_chosen_path(path, true, path_prompt.mode);
    return;
  }
  // The Document may have changed while the prompt stood open.
  if (!settle_unsaved_changes()) return;
  take_chosen_path(path, false, path_prompt.mode);
}

}  // namespace

void ask_path_in_prompt(bool save, uint8_t mode, const char* reason) {
  path_prompt.saving = save ? 1 : 0;
  path_prompt.mode = mode;
  std::strncpy(path_prompt.reason, reason, PROMPT_REASON_CHARS);
  path_prompt.reason[PROMPT_REASON_CHARS] = 0;
  post_status(path_prompt.reason);
  const uint32_t caret = suggest(save);
  show_panel_by_id(PANEL_PATH_PROMPT);
  const int32_t slot = first_slot_of(PANEL_PATH_PROMPT);
  if (!is_prompt_field(slot)) return;
  wt.w_value[slot_index(slot)] = static_cast<uint16_t>(caret);
  draw_widget(slot);  // the caption and the text of this request
}

bool path_prompt_answered(RouteAction action) {
  const int32_t slot = wt.focus_widget;
  if ((action != ROUTE_SUBMITTED && action != ROUTE_CANCELLED) || !is_prompt_field(slot)) return false;
  if (action == ROUTE_SUBMITTED) {
    accept(slot);
  } else {
    close_panel(slot);
  }
  return true;
}

}  // namespace vusk
