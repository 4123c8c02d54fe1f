// The File menu's bindings and the redraws after a load or a save.
#include "screens/file_menu.h"

#include <cstring>

#include "editor/text_view.h"
#include "files/load_save.h"
#include "platform/platform.h"
#include "raster/raster.h"
#include "commands/unsaved.h"
#include "screens/path_prompt.h"
#include "widgets/widget_table.h"

namespace vusk {

namespace {

constexpr uint32_t REFUSE_READ_ONLY = 0x8000;
constexpr uint32_t ASK_BEFORE_OVERWRITE = 0x0002;

// After a dialog that returned no name: one that could not be shown at all
// says why and asks for the path in the prompt instead; any other failure
// (not a cancel) is shown in the "error!?" box with whatever file_path holds.
void report_dialog_failure(bool save, uint8_t mode) {
  const uint32_t error = file_dialog_error();
  if (error == DIALOG_UNAVAILABLE) {
    ask_path_in_prompt(save, mode, file_dialog_unavailable_reason());
  } else if (error != 0) {
    show_message(files.file_path, ERROR_CAPTION);
  }
}

// The file mode that an entry's value names.
uint8_t mode_of(int32_t slot) { return static_cast<uint8_t>(wt.w_value[slot_index(slot)]); }

// A save put a new name into the title label: the bars show it at once.
void show_saved_document() { redraw_all_widgets(); }

}  // namespace

void show_loaded_document() {
  view.top_line = 0;
  sync_scroll_thumb();
  redraw_all_widgets();
  present_now();
}

namespace {

// What names the Document before a dialog writes its choice into file_path:
// a name that neither loads nor saves is given back, so that file_path goes
// on naming the Document shown.
struct KeptName {
  char path[PATH_BYTES];
  uint8_t mode;
};

KeptName keep_name() {
  KeptName kept;
  std::memcpy(kept.path, files.file_path, PATH_BYTES);
  kept.mode = files.file_mode;
  return kept;
}

void give_back(const KeptName& kept) {
  std::memcpy(files.file_path, kept.path, PATH_BYTES);
  files.file_mode = kept.mode;
}

// The load or save of the name that file_path now holds; true when it happened.
bool take_chosen(bool save, uint8_t mode) {
  if (save) {
    if (!save_in_mode(mode)) return false;
    show_saved_document();
    return true;
  }
  if (load_in_mode(mode) != 0) return false;
  show_loaded_document();
  return true;
}

// The open dialog, once unsaved changes are settled; a chosen file is
// loaded in `mode`.
void open_with_dialog(uint8_t mode) {
  if (!settle_unsaved_changes()) return;
  const KeptName kept = keep_name();
  if (file_dialog(false, REFUSE_READ_ONLY, files.file_path)) {
    if (take_chosen(false, mode)) return;
  } else {
    report_dialog_failure(false, mode);
  }
  give_back(kept);
}

}  // namespace

void take_chosen_path(const char* path, bool save, uint8_t mode) {
  const KeptName kept = keep_name();
  std::memcpy(files.file_path, path, std::strlen(path) + 1);
  if (!take_chosen(save, mode)) give_back(kept);
}

void open_dropped_file(const char* path) {
  // file_path cannot hold a longer name: it is refused before anything is asked.
  if (std::strlen(path) >= PATH_BYTES) {
    show_message(path, ERROR_CAPTION);
    return;
  }
  if (settle_unsaved_changes()) take_chosen_path(path, false, FILE_MODE_TEXT);
}

void open_file_dialog(int32_t slot) { open_with_dialog(mode_of(slot)); }

void open_as_text() { open_with_dialog(FILE_MODE_TEXT); }

// The dialog writes its answer into file_path: a save that does not happen
// gives the previous path back, so that "Save" and Ctrl+F2 still find the
// Document's file.
void save_file_dialog(int32_t slot) {
  const KeptName kept = keep_name();
  if (file_dialog(true, REFUSE_READ_ONLY | ASK_BEFORE_OVERWRITE, files.file_path)) {
    if (take_chosen(true, mode_of(slot))) return;
  } else {
    report_dialog_failure(true, mode_of(slot));
  }
  give_back(kept);
}

void load_with_mode(int32_t slot) { take_chosen(false, mode_of(slot)); }

bool save_with_mode(int32_t slot) { return take_chosen(true, mode_of(slot)); }

void save_under_file_name(int32_t) { save_in_place(); }

void save_in_place() {
  if (save_to_origin()) show_saved_document();
}

}  // namespace vusk
