// The File menu's bindings and the redraws after a load or a save.
#include "screens/file_menu.h"

#include <cstring>

#include "editor/text_view.h"
#include "files/load_save.h"
#include "platform/platform.h"
#include "raster/raster.h"
#include "commands/unsaved.h"
#include "widgets/widget_table.h"

namespace vusk {

namespace {

constexpr uint32_t REFUSE_READ_ONLY = 0x8000;
constexpr uint32_t ASK_BEFORE_OVERWRITE = 0x0002;

// After a dialog that returned no name: a failure (not a cancel) is shown in
// the "error!?" box with whatever file_path holds.
void report_dialog_failure() {
  if (file_dialog_error() != 0) show_message(files.file_path, ERROR_CAPTION);
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

// Loads file_path in `mode` and shows it; a failed load keeps everything.
void load_and_show(uint8_t mode) {
  if (load_in_mode(mode) == 0) show_loaded_document();
}

// The open dialog, once unsaved changes are settled; a chosen file is
// loaded in `mode`.
void open_with_dialog(uint8_t mode) {
  if (!settle_unsaved_changes()) return;
  if (file_dialog(false, REFUSE_READ_ONLY, files.file_path)) {
    load_and_show(mode);
  } else {
    report_dialog_failure();
  }
}

}  // namespace

void open_file_dialog(int32_t slot) { open_with_dialog(mode_of(slot)); }

void open_as_text() { open_with_dialog(FILE_MODE_TEXT); }

// The dialog writes its answer into file_path: a save that does not happen
// gives the previous path back, so that "Save" and Ctrl+F2 still find the
// Document's file.
void save_file_dialog(int32_t slot) {
  char previous[PATH_BYTES];
  std::memcpy(previous, files.file_path, PATH_BYTES);
  bool saved = false;
  if (file_dialog(true, REFUSE_READ_ONLY | ASK_BEFORE_OVERWRITE, files.file_path)) {
    saved = save_in_mode(mode_of(slot));
    if (saved) show_saved_document();
  } else {
    report_dialog_failure();
  }
  if (!saved) std::memcpy(files.file_path, previous, PATH_BYTES);
}

void load_with_mode(int32_t slot) { load_and_show(mode_of(slot)); }

void save_with_mode(int32_t slot) {
  if (save_in_mode(mode_of(slot))) show_saved_document();
}

void save_under_file_name(int32_t) { save_in_place(); }

void save_in_place() {
  if (save_to_origin()) show_saved_document();
}

}  // namespace vusk
